// SPDX-License-Identifier: MIT
#include "Dialogs/QSetFileTimeDlg.h"
#include "Dialogs/QSetFileTypeDlg.h"
#include "Pictures/CPhotoFilter.h"
#include "mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QtTest>

#include <functional>

// The two filter dialogs: what they offer, that they remember, and that their choice reaches a
// search as a photo filter.
class tst_FilterDialogs : public QObject
{
    Q_OBJECT
private slots:
    void typeDialogStartsWithEveryType();
    void typeChoice_data();
    void typeChoice();
    void typeFilterRoundTrip_data();
    void typeFilterRoundTrip();
    void timeDialogStartsWithTheDefaultWindow();
    void timeChoiceReachesTheFilter();
    void menuOpensEachDialogAndItRemembers_data();
    void menuOpensEachDialogAndItRemembers();

private:
    static QList<QCheckBox*> boxes(QWidget& dialog) { return dialog.findChildren<QCheckBox*>(); }
    // The types after JPG, PNG and BMP, ticked at start where their plugins are installed.
    static QStringList phoneTypes() { return {"heic", "heif", "webp", "avif", "tif", "tiff"}; }
    static QList<QDateTimeEdit*> editors(QWidget& dialog) { return dialog.findChildren<QDateTimeEdit*>(); }
    // Runs the action, closes whatever modal dialog it opened, and hands that dialog back.
    static QDialog* openAndClose(QAction* action, const std::function<void(QDialog*)>& whileOpen);
};

void tst_FilterDialogs::typeDialogStartsWithEveryType()
{
    QSetFileTypeDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("设置照片类型"));
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint);
    QCOMPARE(dialog.size(), QSize(400, 70));
    QCOMPARE(dialog.findChild<QLabel*>()->text(), QStringLiteral("过滤图片类型："));
    QStringList texts;
    for (QCheckBox* box : boxes(dialog)) {
        texts << box->text();
        QVERIFY(box->isChecked());
    }
    QCOMPARE(texts,
             (QStringList{QStringLiteral("JPG类型"), QStringLiteral("PNG类型"), QStringLiteral("BMP类型"),
                          QStringLiteral("HEIC/HEIF类型"), QStringLiteral("WebP类型"),
                          QStringLiteral("AVIF类型"), QStringLiteral("TIFF类型")}));
    QCOMPARE(dialog.GetFileTypes(), (QStringList{"jpg", "png", "bmp"} + phoneTypes()));
}

void tst_FilterDialogs::typeChoice_data()
{
    QTest::addColumn<bool>("jpg");
    QTest::addColumn<bool>("png");
    QTest::addColumn<bool>("bmp");
    QTest::addColumn<QStringList>("types");

    QTest::newRow("PNG cleared") << true << false << true << QStringList{"jpg", "bmp"};
    QTest::newRow("only BMP") << false << false << true << QStringList{"bmp"};
    QTest::newRow("JPG and PNG") << true << true << false << QStringList{"jpg", "png"};
    QTest::newRow("none") << false << false << false << QStringList();
}

void tst_FilterDialogs::typeChoice()
{
    QFETCH(bool, jpg);
    QFETCH(bool, png);
    QFETCH(bool, bmp);
    QFETCH(QStringList, types);

    QSetFileTypeDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QList<QCheckBox*> all = boxes(dialog);
    const bool wanted[] = {jpg, png, bmp};
    for (int i = 0; i < 3; ++i) {
        if (all.at(i)->isChecked() != wanted[i])
            QTest::mouseClick(all.at(i), Qt::LeftButton, {}, QPoint(5, all.at(i)->height() / 2));
    }
    dialog.close();
    // Asked twice: the same answer, not the first one doubled. The phone types stay ticked.
    QCOMPARE(dialog.GetFileTypes(), types + phoneTypes());
    QCOMPARE(dialog.GetFileTypes(), types + phoneTypes());

    CPhotoFilter filter;
    dialog.ApplyTo(filter);
    QCOMPARE(filter.suffixes(), types + phoneTypes());
    QCOMPARE(filter.acceptsSuffix("JPEG"), jpg);
}

void tst_FilterDialogs::typeFilterRoundTrip_data()
{
    QTest::addColumn<QStringList>("suffixes");
    QTest::addColumn<QStringList>("types");

    QTest::newRow("png only") << QStringList{"png"} << QStringList{"png"};
    QTest::newRow("upper case bmp and jpg") << QStringList{"BMP", "JPG"} << QStringList{"jpg", "bmp"};
    QTest::newRow("types the dialog has no box for") << QStringList{"gif", "ico"} << QStringList();
    QTest::newRow("either suffix of a box ticks it")
        << QStringList{"HEIF", "tif"} << QStringList{"heic", "heif", "tif", "tiff"};
}

void tst_FilterDialogs::typeFilterRoundTrip()
{
    QFETCH(QStringList, suffixes);
    QFETCH(QStringList, types);

    CPhotoFilter filter;
    filter.setSuffixes(suffixes);
    QSetFileTypeDlg dialog;
    dialog.SetFilter(filter);
    QCOMPARE(dialog.GetFileTypes(), types);
}

void tst_FilterDialogs::timeDialogStartsWithTheDefaultWindow()
{
    QSetFileTimeDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("设置照片时间"));
    QCOMPARE(dialog.size(), QSize(400, 70));
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        labels << label->text();
    QCOMPARE(labels, (QStringList{QStringLiteral("起始时间："), QStringLiteral("终止时间：")}));
    QCOMPARE(editors(dialog).size(), 2);

    QCOMPARE(dialog.GetBeginTime(), QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    // The window must take in everything modified today: it ends at the first moment of tomorrow.
    const QDate tomorrow = QDate::currentDate().addDays(1);
    QCOMPARE(dialog.GetEndTime(), QDateTime(tomorrow, QTime(0, 0)));
    QCOMPARE(editors(dialog).at(1)->text(), tomorrow.toString("yyyy-MM-dd") + " 00:00:00");
}

void tst_FilterDialogs::timeChoiceReachesTheFilter()
{
    QSetFileTimeDlg dialog;
    QDateTimeEdit* begin = editors(dialog).at(0);
    QDateTimeEdit* end = editors(dialog).at(1);
    begin->setDateTime(QDateTime(QDate(2010, 5, 1), QTime(8, 0)));
    end->setDateTime(QDateTime(QDate(2012, 1, 1), QTime(0, 0)));

    CPhotoFilter filter;
    dialog.ApplyTo(filter);
    QCOMPARE(filter.beginTime(), QDateTime(QDate(2010, 5, 1), QTime(8, 0)));
    QCOMPARE(filter.endTime(), QDateTime(QDate(2012, 1, 1), QTime(0, 0)));

    QSetFileTimeDlg other;
    other.SetFilter(filter);
    QCOMPARE(other.GetBeginTime(), filter.beginTime());
    QCOMPARE(other.GetEndTime(), filter.endTime());
}

QDialog* tst_FilterDialogs::openAndClose(QAction* action, const std::function<void(QDialog*)>& whileOpen)
{
    QDialog* opened = nullptr;
    // exec() runs its own event loop; the dialog is handled from inside it.
    QTimer::singleShot(0, [&]() {
        opened = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!opened)
            return;
        whileOpen(opened);
        opened->reject(); // what the title bar's close button does
    });
    action->trigger();
    return opened;
}

void tst_FilterDialogs::menuOpensEachDialogAndItRemembers_data()
{
    QTest::addColumn<QString>("actionText");
    QTest::addColumn<QString>("title");
    QTest::newRow("types") << QStringLiteral("&过滤照片类型") << QStringLiteral("设置照片类型");
    QTest::newRow("times") << QStringLiteral("&照片时间范围") << QStringLiteral("设置照片时间");
}

void tst_FilterDialogs::menuOpensEachDialogAndItRemembers()
{
    QFETCH(QString, actionText);
    QFETCH(QString, title);

    MainWindow window;
    QAction* action = nullptr;
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->text() != QStringLiteral("&设置"))
            continue;
        for (QAction* candidate : menu->menu()->actions()) {
            if (candidate->text() == actionText)
                action = candidate;
        }
    }
    QVERIFY(action);
    QVERIFY(action->isEnabled());

    const QDateTime chosen(QDate(2011, 11, 11), QTime(11, 11));
    QDialog* first = openAndClose(action, [&](QDialog* dialog) {
        for (QCheckBox* box : boxes(*dialog)) {
            if (box->text() == QStringLiteral("PNG类型"))
                box->setChecked(false);
        }
        for (QDateTimeEdit* edit : editors(*dialog))
            edit->setDateTime(chosen);
    });
    QVERIFY(first);
    QCOMPARE(first->windowTitle(), title);
    QVERIFY(!first->parentWidget()); // a top-level dialog of its own
    QVERIFY(!first->isVisible());

    QDialog* second = openAndClose(action, [](QDialog*) {});
    QCOMPARE(second, first); // the same dialog, kept for the run
    if (auto* types = qobject_cast<QSetFileTypeDlg*>(second))
        QCOMPARE(types->GetFileTypes(), (QStringList{"jpg", "bmp"} + phoneTypes()));
    if (auto* times = qobject_cast<QSetFileTimeDlg*>(second)) {
        QCOMPARE(times->GetBeginTime(), chosen);
        QCOMPARE(times->GetEndTime(), chosen);
    }
    QVERIFY(qobject_cast<QSetFileTypeDlg*>(second) || qobject_cast<QSetFileTimeDlg*>(second));
}

QTEST_MAIN(tst_FilterDialogs)
#include "tst_filterdialogs.moc"
