// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"
#include "Dialogs/QBusyDialog.h"
#include "Dialogs/QUserDialogs.h"
#include "InitPage/QInitPage.h"
#include "LoadIn/QLoadInDlg.h"
#include "LoadIn/QUpdateImageData.h"
#include "OtherWidget/QDrawImageButton.h"
#include "StandinService.h"
#include "TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The start page driven by its buttons, with the folder dialog and the modal dialogs answered.
class tst_InitPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void layoutOfTheButtons();
    void searchAlwaysEnds_data();
    void searchAlwaysEnds();
    void newSearchReplacesTheRunningOne();
    void uploadCountsEveryPressAndLogsInOnce();
    void otherButtonsOnlyAnnounce();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folderAnswer;
    QStringList m_askedStartFolders;
};

void tst_InitPage::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Upload ledgers of this test's own.
    CProgramFiles::setRecordFolderOverride(m_dir->filePath("records"));
    m_askedStartFolders.clear();
    QUserDialogs::Answers answers;
    answers.folder = [this](const QString& title, const QString& startFolder) {
        m_askedStartFolders << title + "|" + startFolder;
        return m_folderAnswer;
    };
    QUserDialogs::setAnswers(answers);
}

void tst_InitPage::cleanup()
{
    QUserDialogs::clearAnswers();
    CProgramFiles::setRecordFolderOverride(QString());
    m_dir.reset();
}

void tst_InitPage::layoutOfTheButtons()
{
    QInitPage page;
    page.resize(1300, 600);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QList<QDrawImageButton*> buttons{page.GetScanButton(), page.GetLastButton(),
                                           page.GetHistoryButton(), page.GetUpdataButton()};
    for (int i = 0; i < buttons.size(); ++i) {
        QCOMPARE(buttons.at(i)->size(), QSize(150, 150));
        QVERIFY(!buttons.at(i)->picture()->isNull());
        // One row, left to right, 30 pixels apart.
        if (i > 0) {
            QCOMPARE(buttons.at(i)->y(), buttons.at(0)->y());
            QCOMPARE(buttons.at(i)->x(), buttons.at(i - 1)->x() + 150 + 30);
        }
    }
    auto* help = page.findChild<QLabel*>();
    QVERIFY(help);
    QCOMPARE(help->size(), QSize(241, 78));
    QVERIFY(help->y() > buttons.at(0)->y() + 150);
    QVERIFY(!page.GetProgressDialog()->isVisible());
}

void tst_InitPage::searchAlwaysEnds_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("started");
    QTest::addColumn<QStringList>("found");
    // "today" is a photo modified now: found with the default window of the shared filter.
    QTest::newRow("photos of today and 2015") << "photos" << true << QStringList{"old.jpg", "sub/today.png"};
    QTest::newRow("folder without photos") << "empty" << true << QStringList{};
    QTest::newRow("folder gone") << "missing" << true << QStringList{};
    QTest::newRow("cancelled") << "" << false << QStringList{};
    QTest::newRow("backslash only") << "\\" << false << QStringList{};
}

void tst_InitPage::searchAlwaysEnds()
{
    QFETCH(QString, answer);
    QFETCH(bool, started);
    QFETCH(QStringList, found);

    QVERIFY(TestSupport::writeImage(m_dir->filePath("photos/old.jpg"), QSize(40, 30)));
    QVERIFY(TestSupport::setModified(m_dir->filePath("photos/old.jpg"),
                                     QDateTime(QDate(2015, 3, 1), QTime(9, 0))));
    QVERIFY(TestSupport::writeImage(m_dir->filePath("photos/sub/today.png"), QSize(40, 30)));
    QVERIFY(TestSupport::writeFile(m_dir->filePath("photos/notes.txt"), "x"));
    QVERIFY(QDir(m_dir->path()).mkpath("empty"));
    m_folderAnswer = answer.size() > 1 ? m_dir->filePath(answer) : answer;

    QInitPage page;
    page.show();
    QSignalSpy paths(&page, &QInitPage::sigPushScanPath);
    QSignalSpy results(&page, &QInitPage::sigPushScanImage);
    QTest::mouseClick(page.GetScanButton(), Qt::LeftButton);

    QCOMPARE(m_askedStartFolders, QStringList{"扫描目录|" + QInitPage::StartFolder()});
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    QCOMPARE(QInitPage::StartFolder(), QDir(desktop).exists() ? desktop : QDir::homePath());
    if (!started) {
        QVERIFY(!page.GetProgressDialog()->isVisible());
        QCOMPARE(paths.count(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(results.count(), 0);
        return;
    }
    QCOMPARE(paths.count(), 1);
    QCOMPARE(paths.at(0).at(0).toString(), m_folderAnswer);
    QVERIFY(results.count() == 1 || results.wait(10000));
    QCOMPARE(results.count(), 1);
    QVERIFY(!page.GetProgressDialog()->isVisible());
    QStringList expected;
    for (const QString& name : found)
        expected << m_folderAnswer + "/" + name;
    QStringList got = results.at(0).at(0).toStringList();
    got.sort();
    QCOMPARE(got, expected);
}

void tst_InitPage::newSearchReplacesTheRunningOne()
{
    // Enough files that the first search is still walking when the second starts.
    for (int i = 0; i < 3000; ++i)
        QVERIFY(TestSupport::writeFile(m_dir->filePath(QString("big/d%1/f%2.jpg").arg(i % 50).arg(i)), "x"));
    QVERIFY(TestSupport::writeImage(m_dir->filePath("small/one.jpg"), QSize(10, 10)));

    QInitPage page;
    QSignalSpy results(&page, &QInitPage::sigPushScanImage);
    m_folderAnswer = m_dir->filePath("big");
    page.CheckScanImage();
    m_folderAnswer = m_dir->filePath("small");
    page.CheckScanImage();
    QVERIFY(results.wait(10000));
    // Whatever the first search had found, only the second one answers.
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).toStringList(), QStringList{m_dir->filePath("small/one.jpg")});
    QVERIFY(!page.GetProgressDialog()->isVisible());
}

void tst_InitPage::uploadCountsEveryPressAndLogsInOnce()
{
    StandinService service;
    QVERIFY(service.start());
    QVERIFY(service.addAccount("anna", "pw"));

    QInitPage page;
    page.show();
    QString password = "wrong";
    QStringList shown;
    QUserDialogs::Answers answers;
    answers.exec = [&](QDialog* dialog) {
        if (auto* login = qobject_cast<QLoadInDlg*>(dialog)) {
            shown << "login";
            login->findChild<QLineEdit*>("userNameEdit")->setText("anna");
            login->findChild<QLineEdit*>("passwordEdit")->setText(password);
            auto* status = login->findChild<QLabel*>("statusLabel");
            QTest::mouseClick(login->findChild<QPushButton*>("loadButton"), Qt::LeftButton);
            // The dialog answers in its status line once the service has answered.
            const bool answered = QTest::qWaitFor([&] { return status->text() != "正在登陆..."; }, 10000);
            return answered ? login->result() : int(QDialog::Rejected);
        }
        if (qobject_cast<QUpdateImageData*>(dialog))
            shown << "upload";
        return int(QDialog::Rejected);
    };
    QUserDialogs::setAnswers(answers);
    QSignalSpy ids(&page, &QInitPage::sigZovID);

    for (int press = 0; press < 3; ++press)
        QTest::mouseClick(page.GetUpdataButton(), Qt::LeftButton);
    QCOMPARE(page.GetUpdataClickCount(), 3);
    QCOMPARE(shown, (QStringList{"login", "login", "login"}));
    QCOMPARE(ids.count(), 0);

    password = "pw";
    shown.clear();
    QTest::mouseClick(page.GetUpdataButton(), Qt::LeftButton);
    QTest::mouseClick(page.GetUpdataButton(), Qt::LeftButton);
    QCOMPARE(page.GetUpdataClickCount(), 5);
    QCOMPARE(shown, (QStringList{"login", "upload", "upload"}));
    QCOMPARE(ids.count(), 2);
    QCOMPARE(ids.at(1).at(0).toString(), service.userId("anna"));
    QVERIFY(!service.userId("anna").isEmpty());
}

void tst_InitPage::otherButtonsOnlyAnnounce()
{
    QInitPage page;
    page.show();
    QSignalSpy last(&page, &QInitPage::sigPushLastButton);
    QSignalSpy history(&page, &QInitPage::sigPushViewImage);
    QTest::mouseClick(page.GetLastButton(), Qt::LeftButton);
    QTest::mouseClick(page.GetHistoryButton(), Qt::LeftButton);
    QTest::mouseClick(page.GetHistoryButton(), Qt::LeftButton);
    QCOMPARE(last.count(), 1);
    QCOMPARE(history.count(), 2);
    QVERIFY(m_askedStartFolders.isEmpty());
}

QTEST_MAIN(tst_InitPage)
#include "tst_initpage.moc"
