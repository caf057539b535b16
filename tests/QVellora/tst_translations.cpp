// SPDX-License-Identifier: MIT
#include "AnsweredDialogs.h"
#include "CatePage/QCatePage.h"
#include "EditPage/QCullingKeys.h"
#include "EditPage/QEditPage.h"
#include "EditPageActions.h"
#include "Editing/QSelectionEditor.h"
#include "InitPage/QInitPage.h"
#include "OtherWidget/CSharedPixmap.h"
#include "OtherWidget/QDrawImageButton.h"
#include "OtherWidget/QOutPutImageWidget.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewImageDlg.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Records/CProgramOptions.h"
#include "Records/CUiLanguage.h"
#include "Selection/CSelection.h"
#include "mainwindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QDomDocument>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

// The English translation is whole, the language follows the choice and the desktop, and the
// choice is the only thing the language changes on disk.
class tst_Translations : public QObject
{
    Q_OBJECT
private slots:
    void everyTextOfTheSourcesIsTranslated();
    void languageFollowsChoiceThenDesktop_data();
    void languageFollowsChoiceThenDesktop();
    void windowInEnglish();
    void choiceIsKeptForTheNextStart();
    void editAndCategoryPagesShowNoChineseInEnglish();
    void keysAreListedWhereTheUserReadsThem();
};

namespace {

QSet<QString> placeholders(const QString& text)
{
    QSet<QString> found;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("%\\d+")).globalMatch(text);
    while (it.hasNext())
        found.insert(it.next().captured());
    return found;
}

QAction* actionNamed(QWidget* window, const QString& text)
{
    for (QAction* action : window->findChildren<QAction*>())
        if (action->text() == text)
            return action;
    return nullptr;
}

bool hasChinese(const QString& text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        // CJK punctuation, ideographs and full-width forms.
        if ((u >= 0x3000 && u <= 0x303F) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

void checkText(QStringList& found, const QObject* where, const QString& what, const QString& text)
{
    if (hasChinese(text))
        found << QStringLiteral("%1 (%2) %3: %4")
                     .arg(where->objectName(), QString::fromLatin1(where->metaObject()->className()), what,
                          text);
}

// Every text a user can see or hear on the visible widgets under root: labels, buttons, fields,
// list entries, tooltips, accessible names, dock titles, the rows of item views. The folder
// views show the disk as it is (user data) and are not read.
QStringList chineseTexts(QWidget* root)
{
    QStringList found;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        if (!widget->isVisibleTo(root->window()))
            continue;
        checkText(found, widget, QStringLiteral("tooltip"), widget->toolTip());
        checkText(found, widget, QStringLiteral("accessible name"), widget->accessibleName());
        checkText(found, widget, QStringLiteral("accessible description"), widget->accessibleDescription());
        if (auto* label = qobject_cast<QLabel*>(widget))
            checkText(found, widget, QStringLiteral("text"), label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            checkText(found, widget, QStringLiteral("text"), button->text());
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            checkText(found, widget, QStringLiteral("text"), line->text());
            checkText(found, widget, QStringLiteral("placeholder"), line->placeholderText());
        }
        if (auto* box = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < box->count(); ++i)
                checkText(found, widget, QStringLiteral("entry"), box->itemText(i));
        }
        if (auto* dock = qobject_cast<QDockWidget*>(widget))
            checkText(found, widget, QStringLiteral("title"), dock->windowTitle());
        for (QAction* action : widget->actions()) {
            checkText(found, action, QStringLiteral("action"), action->text());
            checkText(found, action, QStringLiteral("action tooltip"), action->toolTip());
        }
        auto* view = qobject_cast<QAbstractItemView*>(widget);
        if (view && view->model() && !qobject_cast<QFileSystemModel*>(view->model())) {
            const QAbstractItemModel* model = view->model();
            for (int row = 0; row < model->rowCount(); ++row) {
                const QModelIndex index = model->index(row, 0);
                for (int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole), int(Qt::AccessibleTextRole)})
                    checkText(found, widget, QStringLiteral("row %1").arg(row), index.data(role).toString());
            }
        }
    }
    return found;
}

QPixmap* scanCard()
{
    return CSharedPixmap::get(QStringLiteral(":/image/new_button/select_scan.png"));
}

void removeTranslators()
{
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace

void tst_Translations::everyTextOfTheSourcesIsTranslated()
{
    // lupdate over the sources, into a copy of the translation: a text in the code that the
    // translation lacks comes back unfinished, one it no longer has comes back vanished.
    QTemporaryDir dir;
    const QString copy = dir.filePath("vellora_en.ts");
    QVERIFY(QFile::copy(QStringLiteral(VELLORA_TRANSLATION), copy));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(VELLORA_SOURCE_DIR));
    lupdate.start(QStringLiteral(VELLORA_LUPDATE),
                  {QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-source-language"),
                   QStringLiteral("zh_CN"), QStringLiteral("-target-language"), QStringLiteral("en"),
                   QStringLiteral("QVellora"), QStringLiteral("common"), QStringLiteral("-ts"), copy});
    QVERIFY(lupdate.waitForFinished(120000));
    QCOMPARE(lupdate.exitCode(), 0);

    QFile file(copy);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QDomDocument document;
    QVERIFY(document.setContent(&file));
    const QDomNodeList messages = document.elementsByTagName(QStringLiteral("message"));
    QVERIFY(messages.count() > 0);
    QStringList faults;
    for (int i = 0; i < messages.count(); ++i) {
        const QDomElement message = messages.at(i).toElement();
        const QString source = message.firstChildElement(QStringLiteral("source")).text();
        const QDomElement translation = message.firstChildElement(QStringLiteral("translation"));
        const QString type = translation.attribute(QStringLiteral("type"));
        if (type == QLatin1String("vanished") || type == QLatin1String("obsolete"))
            faults << QStringLiteral("no longer in the code: ") + source;
        else if (type == QLatin1String("unfinished") || translation.text().trimmed().isEmpty())
            faults << QStringLiteral("not translated: ") + source;
        else if (placeholders(source) != placeholders(translation.text()))
            faults << QStringLiteral("placeholders differ: ") + source;
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void tst_Translations::languageFollowsChoiceThenDesktop_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QStringList>("desktop");
    QTest::addColumn<QString>("language");
    QTest::newRow("Chinese desktop") << "system" << QStringList{"zh-CN", "zh"} << "zh";
    QTest::newRow("English desktop") << "system" << QStringList{"en-GB", "en"} << "en";
    QTest::newRow("German desktop reads English") << "system" << QStringList{"de-DE", "de"} << "en";
    QTest::newRow("Chinese after an unset C locale") << "system" << QStringList{"C", "zh-TW"} << "zh";
    QTest::newRow("C locale keeps the program's own") << "system" << QStringList{"C"} << "zh";
    QTest::newRow("chosen English on a Chinese desktop") << "en" << QStringList{"zh-CN"} << "en";
    QTest::newRow("chosen Chinese on an English desktop") << "zh" << QStringList{"en-US"} << "zh";
    QTest::newRow("unknown stored word follows the desktop") << "klingon" << QStringList{"en-US"} << "en";
}

void tst_Translations::languageFollowsChoiceThenDesktop()
{
    QFETCH(QString, choice);
    QFETCH(QStringList, desktop);
    QFETCH(QString, language);
    QCOMPARE(CUiLanguage::resolve(choice, desktop), language);
}

void tst_Translations::windowInEnglish()
{
    QTemporaryDir records;
    AnsweredDialogs dialogs(records.path());
    QVERIFY(CUiLanguage::install(QCoreApplication::instance(), CUiLanguage::english));
    {
        MainWindow window;
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Ready"));
        auto* languages = window.menuBar()->findChild<QMenu*>(QStringLiteral("languageMenu"));
        QVERIFY(languages);
        QCOMPARE(languages->title(), QStringLiteral("Interface language"));
        QVERIFY(actionNamed(&window, QStringLiteral("Follow the system")));
        // The start card's artwork holds "扫描照片": in English the caption is written over it.
        const QImage card = window.initPage()->GetScanButton()->picture()->toImage();
        QCOMPARE(card.size(), scanCard()->size());
        QVERIFY(card != scanCard()->toImage());
    }
    // Back to the source language for the other cases of this program.
    removeTranslators();
    MainWindow window;
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("就绪"));
    QCOMPARE(window.initPage()->GetScanButton()->picture(), scanCard()); // the artwork as drawn
}

void tst_Translations::choiceIsKeptForTheNextStart()
{
    QTemporaryDir records;
    AnsweredDialogs dialogs(records.path());
    {
        MainWindow window;
        QAction* english = actionNamed(&window, QStringLiteral("English"));
        QVERIFY(english && english->isCheckable());
        QVERIFY(actionNamed(&window, QStringLiteral("跟随系统"))->isChecked()); // the default
        english->trigger();
        QCOMPARE(dialogs.notices.size(), 1);
        QVERIFY2(dialogs.notices.first().contains(QStringLiteral("下次启动")),
                 qPrintable(dialogs.notices.first()));
        QCOMPARE(CProgramOptions::read().language, CUiLanguage::english);
    }
    // The next start shows the choice; the options keep their other keys untouched.
    MainWindow window;
    QVERIFY(actionNamed(&window, QStringLiteral("English"))->isChecked());
    QVERIFY(CProgramOptions::read().thumbnailCache);
}

void tst_Translations::editAndCategoryPagesShowNoChineseInEnglish()
{
    // A real scan and real drags in English: two categories filled, one named, one left with the
    // default name, which the records must keep in the source language.
    QTemporaryDir dir;
    AnsweredDialogs dialogs(dir.filePath(QStringLiteral("records")));
    QVERIFY(CUiLanguage::install(QCoreApplication::instance(), CUiLanguage::english));
    {
        MainWindow window;
        window.resize(1280, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QStringList photos = TestSupport::writePhotos(dir.filePath(QStringLiteral("photos")), 5);
        QCOMPARE(photos.size(), 5);
        dialogs.folder = dir.filePath(QStringLiteral("photos"));
        QTest::mouseClick(window.initPage()->GetScanButton(), Qt::LeftButton);
        QEditPage* edit = window.editPage();
        auto* grid = PageParts::find<QPhotoViewListWidget>(edit, "photoList");
        QTRY_COMPARE_WITH_TIMEOUT(grid->count(), 5, 20000);
        QStringList firstTwo{grid->PathAt(0), grid->PathAt(1)};
        firstTwo.sort();
        QVERIFY(EditPageActions::dragTicked(*edit, {0, 1}, 0));
        QVERIFY(EditPageActions::dragTicked(*edit, {2}, 1));
        QLineEdit* name = CategoryParts::nameBox(CategoryParts::row(edit, 1))->lineEdit();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Beach"));

        const CSelection* selection = edit->findChild<QSelectionEditor*>()->selection();
        QCOMPARE(selection->at(0).name, QStringLiteral("点击命名")); // what the records keep
        QCOMPARE(selection->at(1).name, QStringLiteral("Beach"));
        QCOMPARE(CategoryParts::name(CategoryParts::row(edit, 0)), QStringLiteral("Click to name"));
        QVERIFY(window.undoAction()->text().startsWith(QStringLiteral("Undo ")));

        QStringList found = chineseTexts(edit);
        QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("edit page:\n") + found.join(QLatin1Char('\n'))));

        QTest::mouseClick(PageParts::find<QOutPutImageWidget>(edit, "buttonBar")->GetNextPageButton(),
                          Qt::LeftButton);
        QCOMPARE(window.pageStack()->currentIndex(), 2);
        QCatePage* cate = window.catePage();
        QCOMPARE(CategoryParts::rowCount(cate), 2);
        QStringList shown = CategoryParts::paths(CategoryParts::row(cate, 0));
        shown.sort();
        QCOMPARE(shown, firstTwo);
        found = chineseTexts(cate);
        QVERIFY2(found.isEmpty(),
                 qPrintable(QStringLiteral("category page:\n") + found.join(QLatin1Char('\n'))));
    }
    removeTranslators();
}

namespace {

// How a key reads in the README's table and in the English tooltips: a run of digit keys as one
// range ("1 … 9" or "1–9"), Return as Enter.
QStringList keyForms(const QAction* action)
{
    QStringList forms;
    for (const QKeySequence& key : action->shortcuts()) {
        QString text = key.toString(QKeySequence::PortableText);
        if (text == QLatin1String("Return"))
            continue; // Enter is listed with it
        if (text == QLatin1String("Left") || text == QLatin1String("Right"))
            text = QStringLiteral("(Left|Right|←|→)");
        else if (QRegularExpression(QStringLiteral("^(Shift\\+)?[1-9]$")).match(text).hasMatch())
            text = QLatin1String(text.startsWith(QLatin1String("Shift")) ? "Shift\\+" : "") +
                   QStringLiteral("1 ?[…–] ?9");
        else
            text = QRegularExpression::escape(text);
        forms << text;
    }
    return forms;
}

} // namespace

void tst_Translations::keysAreListedWhereTheUserReadsThem()
{
    // The sorting keys are the 编辑 menu's actions; the README's key table and the tooltips of
    // the grid and the viewer must name every one of them.
    QFile readme(QStringLiteral(VELLORA_SOURCE_DIR "/README.md"));
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const int from = text.indexOf(QStringLiteral("\n## Keys"));
    QVERIFY(from >= 0);
    const QString table = text.mid(from, text.indexOf(QStringLiteral("\n## "), from + 1) - from);

    QTemporaryDir records;
    AnsweredDialogs dialogs(records.path());
    QVERIFY(CUiLanguage::install(QCoreApplication::instance(), CUiLanguage::english));
    {
        QEditPage page;
        const QCullingKeys* keys = page.GetCullingKeys();
        auto* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
        const QString gridTip = grid->toolTip();
        const QString viewerTip = grid->GetViewImageDlg()->toolTip();
        QVERIFY(!keys->gridActions().isEmpty());
        QVERIFY(!keys->viewerActions().isEmpty());
        const auto check = [&](const QList<QAction*>& actions, const QString& tip, const QString& where) {
            for (const QAction* action : actions) {
                for (const QString& form : keyForms(action)) {
                    const QRegularExpression key(QStringLiteral("(^|[^A-Za-z+])") + form +
                                                 QStringLiteral("($|[^A-Za-z0-9])"));
                    QVERIFY2(key.match(table).hasMatch(),
                             qPrintable(action->text() + " not in the README: " + form));
                    QVERIFY2(key.match(tip).hasMatch(),
                             qPrintable(action->text() + " not in the " + where + " tooltip: " + form));
                }
            }
        };
        check(keys->gridActions(), gridTip, QStringLiteral("grid's"));
        check(keys->viewerActions(), viewerTip, QStringLiteral("viewer's"));
    }
    removeTranslators();
}

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"
