// SPDX-License-Identifier: MIT
#include "AnsweredDialogs.h"
#include "Records/CUiLanguage.h"
#include "mainwindow.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

// What a screen reader finds: every control it can press or fill says what it is.
class tst_Accessibility : public QObject
{
    Q_OBJECT
private slots:
    void everyControlOfTheStartPageHasAName();
    void namesFollowTheLanguage();
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
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
    QVERIFY2(named.contains(QStringLiteral("Scan a folder for pictures")),
             qPrintable(named.join(QLatin1String(", "))));
    QVERIFY2(named.contains(QStringLiteral("Upload pictures")), qPrintable(named.join(QLatin1String(", "))));
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
