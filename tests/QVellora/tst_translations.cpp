// SPDX-License-Identifier: MIT
#include "AnsweredDialogs.h"
#include "EditPage/QEditPage.h"
#include "Records/CProgramOptions.h"
#include "Records/CUiLanguage.h"
#include "mainwindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDomDocument>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
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
    }
    // Back to the source language for the other cases of this program.
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    MainWindow window;
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("就绪"));
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

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"
