// SPDX-License-Identifier: MIT
#include "AnsweredDialogs.h"
#include "EditPageActions.h"
#include "Editing/QSelectionEditor.h"
#include "Records/CUiLanguage.h"
#include "mainwindow.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolTip>
#include <QTranslator>
#include <QtTest>

// What a screen reader finds: every control it can press or fill says what it is.
class tst_Accessibility : public QObject
{
    Q_OBJECT
private slots:
    void everyControlOfTheStartPageHasAName();
    void namesFollowTheLanguage();
    void tilesAndRowsNameTheirCategories_data();
    void tilesAndRowsNameTheirCategories();
};

namespace {

bool isControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
        return true;
    default:
        return false;
    }
}

// Names of the visible controls under `root`, and the ones without a name (by class and place).
void walk(QAccessibleInterface* node, QStringList* named, QStringList* unnamed)
{
    if (!node || node->state().invisible)
        return;
    if (isControl(node->role())) {
        const QString name = node->text(QAccessible::Name).trimmed();
        if (name.isEmpty())
            *unnamed << QString::fromLatin1(node->object() ? node->object()->metaObject()->className() : "?");
        else
            *named << name;
    }
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), named, unnamed);
}

// The accessible names of the children of a view (its cells), in order.
QStringList childNames(QAccessibleInterface* view)
{
    QStringList names;
    for (int i = 0; view && i < view->childCount(); ++i)
        names << (view->child(i) ? view->child(i)->text(QAccessible::Name) : QString());
    return names;
}

QAccessibleInterface* childNamed(QAccessibleInterface* view, const QString& start)
{
    for (int i = 0; view && i < view->childCount(); ++i) {
        if (view->child(i) && view->child(i)->text(QAccessible::Name).startsWith(start))
            return view->child(i);
    }
    return nullptr;
}

void removeTranslators()
{
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

// Takes the language installed by a test away again, also when the test fails.
struct TranslatorsGo
{
    ~TranslatorsGo() { removeTranslators(); }
};

} // namespace

void tst_Accessibility::everyControlOfTheStartPageHasAName()
{
    QTemporaryDir records;
    AnsweredDialogs dialogs(records.path());
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QStringList named;
    QStringList unnamed;
    walk(QAccessible::queryAccessibleInterface(window.pageStack()->currentWidget()), &named, &unnamed);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
    for (const QString& card : {QStringLiteral("选择文件夹扫描照片"), QStringLiteral("继续上次的工作"),
                                QStringLiteral("浏览已导出的照片"), QStringLiteral("上传照片")})
        QVERIFY2(named.contains(card), qPrintable(named.join(QLatin1String(", "))));
}

void tst_Accessibility::namesFollowTheLanguage()
{
    QTemporaryDir records;
    AnsweredDialogs dialogs(records.path());
    QVERIFY(CUiLanguage::install(QCoreApplication::instance(), CUiLanguage::english));
    QStringList named;
    QStringList unnamed;
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        walk(QAccessible::queryAccessibleInterface(window.pageStack()->currentWidget()), &named, &unnamed);
    }
    removeTranslators();
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
    QVERIFY2(named.contains(QStringLiteral("Scan a folder for pictures")),
             qPrintable(named.join(QLatin1String(", "))));
    QVERIFY2(named.contains(QStringLiteral("Upload pictures")), qPrintable(named.join(QLatin1String(", "))));
}

void tst_Accessibility::tilesAndRowsNameTheirCategories_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("names");
    // The grid's tiles, then the last one again once it joined the renamed category.
    QTest::addColumn<QStringList>("tiles");
    QTest::addColumn<QString>("categoriesLine");
    QTest::addColumn<QStringList>("rowDescriptions");
    QTest::newRow("中文") << QString() << QStringList{"海边", "山", "高山"}
                          << QStringList{"more，文件夹", "p0000.jpg，1 / 3，类别：海边",
                                         "p0001.jpg，2 / 3，已勾选，类别：海边、山", "p0002.jpg，3 / 3",
                                         "p0002.jpg，3 / 3，类别：高山"}
                          << "类别：海边、山"
                          << QStringList{"1 张照片，打印尺寸 A4", "2 张照片，打印尺寸 A4"};
    QTest::newRow("English") << CUiLanguage::english << QStringList{"Seaside", "Hills", "High hills"}
                             << QStringList{"more, folder", "p0000.jpg, 1 / 3, Categories: Seaside",
                                            "p0001.jpg, 2 / 3, ticked, Categories: Seaside, Hills",
                                            "p0002.jpg, 3 / 3", "p0002.jpg, 3 / 3, Categories: High hills"}
                             << "Categories: Seaside, Hills"
                             << QStringList{"1 picture, print size A4", "2 pictures, print size A4"};
}

// A screen reader tells the tiles and the category rows apart by what they say, not by colour:
// each tile its file, its place among the pictures, its tick and its categories by name; each row
// its name, its count and its print size, kept current as they change.
void tst_Accessibility::tilesAndRowsNameTheirCategories()
{
    QFETCH(QString, language);
    QFETCH(QStringList, names);
    QFETCH(QStringList, tiles);
    QFETCH(QString, categoriesLine);
    QFETCH(QStringList, rowDescriptions);
    QTemporaryDir dir;
    AnsweredDialogs dialogs(dir.filePath("records"));
    const TranslatorsGo translatorsGo;
    if (!language.isEmpty())
        QVERIFY(CUiLanguage::install(QCoreApplication::instance(), language));
    const QStringList pictures = EditPageActions::writePictures(dir.path(), "trip", 3, QSize(64, 48));
    QCOMPARE(EditPageActions::writePictures(dir.path(), "trip/more", 1).size(), 1);
    QCOMPARE(pictures.size(), 3);

    QEditPage page;
    page.resize(1300, 800);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.OpenFolder(dir.filePath("trip"), true);
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    QTRY_COMPARE(grid->count(), 4);
    QTRY_VERIFY(EditPageActions::gridLoaded(grid));

    // Pictures put into the row under the last one make a new category.
    QSelectionEditor* editor = page.selectionEditor();
    editor->putInto(0, {pictures.at(0), pictures.at(1)});
    editor->rename(0, names.at(0));
    editor->putInto(1, {pictures.at(1)});
    editor->rename(1, names.at(1));
    // With an empty row under them to drop into.
    QCOMPARE(CategoryParts::rowCount(&page), 3);
    editor->setPrintSize(1, QStringLiteral("A4"));
    EditPageActions::clickTile(grid, grid->pictureModel()->rowOf(pictures.at(1)));
    QVERIFY(grid->pictureModel()->isTicked(grid->pictureModel()->rowOf(pictures.at(1))));

    QAccessibleInterface* gridNode = QAccessible::queryAccessibleInterface(grid);
    QVERIFY(gridNode);
    QCOMPARE(childNames(gridNode).join(" | "), tiles.mid(0, 4).join(" | "));
    // The details a tooltip shows, the categories among them, are the tile's description.
    QAccessibleInterface* ticked = childNamed(gridNode, "p0001.jpg");
    QVERIFY(ticked);
    QVERIFY2(ticked->text(QAccessible::Description).split('\n').contains(categoriesLine),
             qPrintable(ticked->text(QAccessible::Description)));

    // The tooltip a user gets over the tile names the categories too.
    const QPoint centre = EditPageActions::tileCentre(grid, grid->pictureModel()->rowOf(pictures.at(1)));
    QHelpEvent help(QEvent::ToolTip, centre, grid->viewport()->mapToGlobal(centre));
    QCoreApplication::sendEvent(grid->viewport(), &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY2(QToolTip::text().split('\n').contains(categoriesLine), qPrintable(QToolTip::text()));
    QToolTip::hideText();

    // The row of the second category, as it is, and after it changed.
    QCategoryRow* row = CategoryParts::row(&page, 1);
    QAccessibleInterface* rowNode = QAccessible::queryAccessibleInterface(row);
    QVERIFY(rowNode);
    QCOMPARE(rowNode->text(QAccessible::Name), names.at(1));
    QCOMPARE(rowNode->text(QAccessible::Description), rowDescriptions.at(0));
    // A screen reader walking the column hears the same of the row's entry.
    QAccessibleInterface* columnNode = QAccessible::queryAccessibleInterface(CategoryParts::column(&page));
    QVERIFY(columnNode && columnNode->childCount() == 3);
    QCOMPARE(columnNode->child(1)->text(QAccessible::Name), names.at(1));
    QCOMPARE(columnNode->child(1)->text(QAccessible::Description), rowDescriptions.at(0));
    QAccessibleInterface* rowPictures = QAccessible::queryAccessibleInterface(CategoryParts::pictures(row));
    // Its pictures show their thumbnails, not their names; they are named all the same.
    QTRY_VERIFY(CategoryParts::pictures(row)->model()->index(0, 0).data(Qt::DecorationRole).isValid());
    QCOMPARE(childNames(rowPictures).join(" | "), QString("p0001.jpg"));
    editor->putInto(1, {pictures.at(2)});
    // Renamed as a user does, typing over the name through the input method.
    QLineEdit* nameField = CategoryParts::nameBox(row)->lineEdit();
    nameField->selectAll();
    QInputMethodEvent typed;
    typed.setCommitString(names.at(2));
    QCoreApplication::sendEvent(nameField, &typed);
    QCOMPARE(page.selection()->at(1).name, names.at(2));
    QCOMPARE(rowNode->text(QAccessible::Name), names.at(2));
    QCOMPARE(rowNode->text(QAccessible::Description), rowDescriptions.at(1));
    QCOMPARE(columnNode->child(1)->text(QAccessible::Name), names.at(2));
    QCOMPARE(columnNode->child(1)->text(QAccessible::Description), rowDescriptions.at(1));
    // Without a desktop's accessibility bridge (offscreen) the view does not tell its tree that
    // its model was reset, which the bridge would do: the tree is read afresh instead.
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(rowPictures));
    rowPictures = QAccessible::queryAccessibleInterface(CategoryParts::pictures(row));
    QCOMPARE(childNames(rowPictures).join(" | "), QString("p0001.jpg | p0002.jpg"));
    QCOMPARE(childNamed(gridNode, "p0002.jpg")->text(QAccessible::Name), tiles.at(4));
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
