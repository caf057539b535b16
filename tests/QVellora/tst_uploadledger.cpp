// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"
#include "CShutdownSignals.h"
#include "Dialogs/QUserDialogs.h"
#include "LoadIn/QUpdateImageData.h"
#include "NoticeBoxes.h"
#include "Records/CUploadLedger.h"
#include "Service/CUploadClient.h"
#include "Service/CUploadFolder.h"
#include "SmallDisk.h"
#include "StandinService.h"
#include "TestSupport.h"
#include "mainwindow.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>
#include <functional>

// Uploads that must finish: the stand-in fails, drops and throttles requests, the upload is killed
// and started again, and in the end the stand-in's own log must show every picture stored and
// registered exactly once.
class tst_UploadLedger : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void manyPicturesThroughFailuresRegisterOnce();
    void killedUploadsContinue();
    void retryAfterIsWaitedFor_data();
    void retryAfterIsWaitedFor();
    void failedPicturesListedAndRetriedAlone();
    void resumeQuestionSendsOnlyTheRest();
    void windowOffersUnfinishedUploadsAtStart();
    void picturesDeletedOrChangedMeanwhileFail();
    void unreadableLedgerKeptAside();
    void ledgerThatCannotBeWrittenStopsTheBatch();
    void cancelledBatchLeavesNothingInTheNext();
    void answersThatNeverEndFailThePicture_data();
    void answersThatNeverEndFailThePicture();
    void refusedUploadsGiveBackTheirPlace();
    void failedUploadGoesAgainUnderItsAuthorisation();

private:
    // Small pictures of distinct content in a fresh folder.
    QStringList makePictures(int count, const QString& folder = "photos");
    QString login(StandinService& service);
    // How often the stand-in stored and registered each content (by SHA-256).
    static QHash<QString, int> countBy(const QJsonArray& log);
    static QString digest(const QString& path);
    // Changes one byte in the middle and gives the file its old time back.
    static bool rewriteInPlace(const QString& path);
    // Every picture stored and registered exactly once, registered under its own stored object.
    void verifyExactlyOnce(const StandinService& service, const QStringList& pictures, bool storedOnce);
    // Saves the window as a PNG when VELLORA_SCREENSHOT_DIR is set (a real window under Xvfb).
    static void screenshot(QWidget* widget, const QString& name);

    QScopedPointer<QTemporaryDir> m_dir;
};

void tst_UploadLedger::initTestCase()
{
    qputenv("VELLORA_UPLOAD_RETRY_SCALE", "0.01");
}

void tst_UploadLedger::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    CProgramFiles::setRecordFolderOverride(m_dir->filePath("records"));
}

void tst_UploadLedger::cleanup()
{
    NoticeBoxes::closeAll();
    QUserDialogs::clearAnswers();
    CProgramFiles::setRecordFolderOverride(QString());
}

QStringList tst_UploadLedger::makePictures(int count, const QString& folder)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path =
            m_dir->filePath(QStringLiteral("%1/p%2.png").arg(folder).arg(i, 3, 10, QLatin1Char('0')));
        if (!TestSupport::writeImage(path, QSize(16 + i % 7, 12 + i / 7),
                                     QColor::fromHsv((i * 37) % 360, 200, 200), QColor(i % 256, 40, 90)))
            return {};
        paths << path;
    }
    return paths;
}

QString tst_UploadLedger::login(StandinService& service)
{
    return service.addAccount("uploader", "pw") ? service.userId("uploader") : QString();
}

QHash<QString, int> tst_UploadLedger::countBy(const QJsonArray& log)
{
    QHash<QString, int> counts;
    for (const QJsonValue& value : log)
        ++counts[value.toObject().value("sha256").toString()];
    return counts;
}

QString tst_UploadLedger::digest(const QString& path)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(TestSupport::readFile(path), QCryptographicHash::Sha256).toHex());
}

void tst_UploadLedger::verifyExactlyOnce(const StandinService& service, const QStringList& pictures,
                                         bool storedOnce)
{
    const QHash<QString, int> stored = countBy(service.records("uploads.json", "uploads"));
    const QHash<QString, int> registered = countBy(service.records("registrations.json", "registrations"));
    for (const QString& path : pictures) {
        const QString sha = digest(path);
        QVERIFY2(stored.value(sha) >= 1, qPrintable(path));
        if (storedOnce)
            QVERIFY2(stored.value(sha) == 1,
                     qPrintable(path + " stored " + QString::number(stored.value(sha))));
        QVERIFY2(registered.value(sha) == 1,
                 qPrintable(path + " registered " + QString::number(registered.value(sha))));
    }
    QCOMPARE(registered.size(), pictures.size());
}

void tst_UploadLedger::screenshot(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("VELLORA_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget->raise();
    QTest::qWait(300);
    widget->grab().save(QDir(folder).filePath(name));
}

void tst_UploadLedger::manyPicturesThroughFailuresRegisterOnce()
{
    const QStringList pictures = makePictures(200);
    QCOMPARE(pictures.size(), 200);
    StandinService service({"--fail-rate", "20", "--seed", "7"});
    QVERIFY(service.start());
    QUpdateImageData uploader;
    uploader.SetUserID(login(service));
    QSignalSpy finished(&uploader, &QUpdateImageData::batchFinished);
    QVERIFY(uploader.UpdataImagePath(m_dir->filePath("photos")));
    QVERIFY(finished.wait(60000));
    // Failed requests were tried again within the batch: about one request in three fails.
    QVERIFY2(finished.first().at(1).toInt() <= 2, qPrintable(finished.first().at(1).toString()));
    // A picture unlucky every time is left to the user's "重试失败的照片"; with a few tries each,
    // that is rare at 20 %, and pressing it sends only those.
    for (int round = 0; round < 3 && finished.last().at(1).toInt() > 0; ++round) {
        NoticeBoxes::closeAll();
        uploader.findChild<QPushButton*>("retryFailedButton")->click();
        QVERIFY(finished.wait(60000));
    }
    QCOMPARE(finished.last().at(1).toInt(), 0);
    verifyExactlyOnce(service, pictures, true);
}

// The child's side of killedUploadsContinue: one run of the upload, as a program started anew.
static int runUploadChild()
{
    CProgramFiles::setRecordFolderOverride(qEnvironmentVariable("UPLOAD_CHILD_RECORDS"));
    CUploadClient client;
    client.setUserId(qEnvironmentVariable("UPLOAD_CHILD_USER"));
    // A log-out: the ledger is written and the run ends, as the window does.
    CShutdownSignals endSignals;
    QObject::connect(&endSignals, &CShutdownSignals::shutdownRequested, [] {
        CUploadLedger::saveAll();
        QCoreApplication::exit(3);
    });
    QObject::connect(&client, &CUploadClient::batchFinished,
                     [](int, int failed) { QCoreApplication::exit(failed == 0 ? 0 : 1); });
    const QStringList unfinished = client.ledger()->unfinished();
    client.start(unfinished.isEmpty() ? CUploadFolder::pictures(qEnvironmentVariable("UPLOAD_CHILD_FOLDER"))
                                      : unfinished);
    return QCoreApplication::exec();
}

void tst_UploadLedger::killedUploadsContinue()
{
    const QStringList pictures = makePictures(40);
    QVERIFY(!pictures.isEmpty());
    // Slow answers and a few failures, so that the kills land at every step of a picture.
    StandinService service({"--delay", "150", "--fail-rate", "10", "--seed", "3"});
    QVERIFY(service.start());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("UPLOAD_CHILD", "1");
    environment.insert("UPLOAD_CHILD_RECORDS", m_dir->filePath("records"));
    environment.insert("UPLOAD_CHILD_USER", login(service));
    environment.insert("UPLOAD_CHILD_FOLDER", m_dir->filePath("photos"));
    environment.insert("VELLORA_SERVICE_URL", service.url().toString());
    environment.insert("QT_LOGGING_RULES", "vellora.*.debug=false");

    QRandomGenerator random(20261210);
    int registeredBefore = 0;
    int killed = 0;
    bool done = false;
    for (int run = 0; run < 12 && !done; ++run) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());
        if (run < 6) {
            // Killed at a random point; the fourth time by a log-out's SIGTERM instead.
            QTest::qWait(int(random.bounded(150, 700)));
            if (child.state() == QProcess::Running)
                ::kill(pid_t(child.processId()), run == 3 ? SIGTERM : SIGKILL);
        }
        // A child that ended before it could be killed has finished already.
        QVERIFY(child.state() == QProcess::NotRunning || child.waitForFinished(60000));
        done = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
        killed += child.exitStatus() == QProcess::CrashExit || child.exitCode() == 3 ? 1 : 0;
        // Each run continues: what was registered stays registered, and more comes.
        const int registered = service.records("registrations.json", "registrations").size();
        QVERIFY(registered >= registeredBefore);
        registeredBefore = registered;
        // The first kill lands half-way, or nothing here continues anything.
        if (run == 0)
            QVERIFY2(!done && registered < pictures.size(), qPrintable(QString::number(registered)));
    }
    QVERIFY(done);
    // Several kills landed half-way, the log-out among them.
    QVERIFY2(killed >= 3, qPrintable(QString::number(killed)));
    verifyExactlyOnce(service, pictures, false);
    const std::shared_ptr<CUploadLedger> ledger =
        CUploadLedger::forUser(environment.value("UPLOAD_CHILD_USER"));
    QVERIFY(ledger->unfinished().isEmpty());
    QCOMPARE(ledger->count(), pictures.size());
}

void tst_UploadLedger::retryAfterIsWaitedFor_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("failed");
    QTest::newRow("come back in a second") << 1 << 0;
    // Longer than the client waits in a batch: the picture fails at once, saying so.
    QTest::newRow("come back in ten minutes") << 600 << 1;
}

void tst_UploadLedger::retryAfterIsWaitedFor()
{
    QFETCH(int, seconds);
    QFETCH(int, failed);
    qputenv("VELLORA_UPLOAD_RETRY_SCALE", "0.001");
    auto restore = qScopeGuard([] { qputenv("VELLORA_UPLOAD_RETRY_SCALE", "0.01"); });
    const QStringList pictures = makePictures(3);
    StandinService service({"--busy", QStringLiteral("1:%1:/storage").arg(seconds)});
    QVERIFY(service.start());
    QUpdateImageData uploader;
    uploader.SetUserID(login(service));
    QSignalSpy finished(&uploader, &QUpdateImageData::batchFinished);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(uploader.UpdataImagePath(m_dir->filePath("photos")));
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first().at(1).toInt(), failed);
    if (failed == 0) {
        // Without the wait the tries come milliseconds apart.
        QVERIFY2(clock.elapsed() >= seconds * 1000 - 50, qPrintable(QString::number(clock.elapsed())));
        verifyExactlyOnce(service, pictures, true);
    } else {
        auto* list = uploader.findChild<QTreeWidget*>("failedList");
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(1), QString("服务器繁忙，请 10 分钟后再试"));
        QVERIFY(clock.elapsed() < 20000);
    }
}

void tst_UploadLedger::failedPicturesListedAndRetriedAlone()
{
    const QStringList pictures = makePictures(6);
    // Two refusals, which are not tried again within the batch.
    StandinService service({"--fail", R"(403:2:/storage:{"error":"AccessDenied"})"});
    QVERIFY(service.start());
    QUpdateImageData dialog;
    dialog.SetUserID(login(service));
    dialog.show();
    QSignalSpy finished(&dialog, &QUpdateImageData::batchFinished);
    QVERIFY(dialog.UpdataImagePath(m_dir->filePath("photos")));
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first(), (QList<QVariant>{4, 2}));
    QCOMPARE(NoticeBoxes::texts(),
             QStringList{"照片上传结束：成功 4 张，失败 2 张。失败的照片及原因列在上传窗口中，"
                         "可点击“重试失败的照片”重新上传。"});

    // The failed pictures by name, with the reason.
    auto* list = dialog.findChild<QTreeWidget*>("failedList");
    QVERIFY(list->isVisible());
    QCOMPARE(list->topLevelItemCount(), 2);
    QStringList failedNames;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        failedNames << list->topLevelItem(i)->text(0);
        QCOMPARE(list->topLevelItem(i)->text(1), QString("服务器拒绝了请求（HTTP 403）"));
    }
    const QStringList registeredKeys = countBy(service.records("registrations.json", "registrations")).keys();
    const QSet<QString> registeredBefore(registeredKeys.begin(), registeredKeys.end());
    QStringList failedPaths;
    for (const QString& path : pictures)
        if (!registeredBefore.contains(digest(path)))
            failedPaths << QFileInfo(path).fileName();
    QCOMPARE(failedNames, failedPaths);
    QCOMPARE(dialog.findChild<QLabel*>("statesLabel")->text(),
             QString("等待 0 张 · 上传中 0 张 · 已完成 4 张 · 已跳过 0 张 · 失败 2 张"));
    screenshot(&dialog, "upload-failures.png");
    NoticeBoxes::closeAll();

    // "重试失败的照片" sends those two and nothing else.
    const int uploadsBefore = service.records("uploads.json", "uploads").size();
    dialog.findChild<QPushButton*>("retryFailedButton")->click();
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.last(), (QList<QVariant>{2, 0}));
    QCOMPARE(service.records("uploads.json", "uploads").size(), uploadsBefore + 2);
    QVERIFY(!list->isVisible());
    verifyExactlyOnce(service, pictures, true);
}

void tst_UploadLedger::resumeQuestionSendsOnlyTheRest()
{
    const QStringList pictures = makePictures(8);
    StandinService service({"--stall", "100:/api/user/image/save"});
    QVERIFY(service.start());
    const QString userId = login(service);
    {
        // A first run stores pictures but never gets a registration through, then is cut off.
        QUpdateImageData first;
        first.SetUserID(userId);
        first.findChild<CUploadClient*>()->setStallTimeout(60000);
        QVERIFY(first.UpdataImagePath(m_dir->filePath("photos")));
        QTRY_VERIFY_WITH_TIMEOUT(service.objects().size() == pictures.size(), 20000);
        QTest::qWait(2 * CUploadLedger::SaveDelayMs);
        first.findChild<CUploadClient*>()->cancel();
    }
    QVERIFY(service.records("registrations.json", "registrations").isEmpty());

    StandinService later;
    QVERIFY(later.start());
    // The same user on the service that is back (the stand-in takes registrations of objects it
    // has; the stored objects are carried over as a service keeps them).
    QVERIFY(later.addAccount("uploader", "pw"));
    QCOMPARE(later.userId("uploader"), userId);
    QVERIFY(QDir().rename(QDir(service.dataFolder()).filePath("objects/images"),
                          QDir(later.dataFolder()).filePath("objects/images")));

    QUpdateImageData dialog;
    dialog.SetUserID(userId);
    if (!qEnvironmentVariableIsEmpty("VELLORA_SCREENSHOT_DIR")) {
        // The real question, as the user sees it, declined.
        QTimer::singleShot(500, [] {
            if (QWidget* question = QApplication::activeModalWidget()) {
                screenshot(question, "upload-resume-question.png");
                for (QPushButton* button : question->findChildren<QPushButton*>())
                    if (button->text() == "返回")
                        button->click();
            }
        });
        QVERIFY(!dialog.OfferResume());
    }

    QStringList questions;
    QUserDialogs::Answers answers;
    answers.question = [&](const QString&, const QString& text) {
        questions << text;
        return questions.size() > 1; // declined first, accepted the second time
    };
    QUserDialogs::setAnswers(answers);
    QVERIFY(!dialog.OfferResume());
    QCOMPARE(questions, QStringList{"上次有 8 张照片没有上传完，继续上传？"});
    QCOMPARE(CUploadLedger::forUser(userId)->unfinished().size(), 8); // kept for later

    QSignalSpy finished(&dialog, &QUpdateImageData::batchFinished);
    QVERIFY(dialog.OfferResume());
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first(), (QList<QVariant>{8, 0}));
    // Only registrations went out: every picture was stored already.
    QVERIFY(later.records("uploads.json", "uploads").isEmpty());
    QCOMPARE(later.records("registrations.json", "registrations").size(), 8);
    QVERIFY(CUploadLedger::forUser(userId)->unfinished().isEmpty());
    QVERIFY(!dialog.OfferResume());
    QCOMPARE(questions.size(), 2);
}

void tst_UploadLedger::picturesDeletedOrChangedMeanwhileFail()
{
    const QStringList pictures = makePictures(6);
    StandinService service({"--delay", "300"});
    QVERIFY(service.start());
    const QString userId = login(service);
    {
        // An earlier run read the last picture, which has been rewritten in place since, with as
        // many bytes and its old time, as a card with a coarse clock or a tool that keeps the time
        // leaves it: only its content tells.
        CUploadLedger earlier(userId, CUploadLedger::filePath(userId));
        CUploadLedger::Entry entry;
        entry.path = pictures.at(5);
        entry.size = QFileInfo(entry.path).size();
        entry.modified = QFileInfo(entry.path).lastModified().toUTC();
        entry.sha256 = digest(entry.path);
        earlier.put(entry);
        QVERIFY(earlier.save());
    }
    QVERIFY(rewriteInPlace(pictures.at(5)));
    QUpdateImageData uploader;
    uploader.SetUserID(userId);
    auto* client = uploader.findChild<CUploadClient*>();
    client->setParallel(1);
    QSignalSpy finished(&uploader, &QUpdateImageData::batchFinished);
    QVERIFY(uploader.UpdataImagePath(m_dir->filePath("photos")));
    // Changed while the first picture is on its way: one removed, one rewritten with another
    // size, one rewritten in place as above.
    QTRY_VERIFY(client->counts().sending > 0);
    QVERIFY(QFile::remove(pictures.at(2)));
    QVERIFY(TestSupport::writeImage(pictures.at(3), QSize(64, 48), Qt::black, Qt::white));
    QVERIFY(rewriteInPlace(pictures.at(4)));
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first(), (QList<QVariant>{4, 2}));
    auto* list = uploader.findChild<QTreeWidget*>("failedList");
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(0), QFileInfo(pictures.at(2)).fileName());
    QCOMPARE(list->topLevelItem(0)->text(1), QString("照片已被删除或移动"));
    QCOMPARE(list->topLevelItem(1)->text(0), QFileInfo(pictures.at(3)).fileName());
    QCOMPARE(list->topLevelItem(1)->text(1), QString("照片在上传过程中被修改"));
    // The pictures rewritten in place went as they are now, and are known by that content: the
    // bytes sent are the ones the ledger and the service name, never a content read earlier.
    const std::shared_ptr<CUploadLedger> ledger = client->ledger();
    const QHash<QString, int> stored = countBy(service.records("uploads.json", "uploads"));
    const QHash<QString, int> registered = countBy(service.records("registrations.json", "registrations"));
    for (const int i : {0, 1, 4, 5}) {
        QCOMPARE(ledger->entry(pictures.at(i)).sha256, digest(pictures.at(i)));
        QCOMPARE(ledger->entry(pictures.at(i)).state, CUploadLedger::State::Registered);
        QCOMPARE(stored.value(digest(pictures.at(i))), 1);
        QCOMPARE(registered.value(digest(pictures.at(i))), 1);
    }
    QCOMPARE(stored.size(), 4);
    QCOMPARE(registered.size(), 4);
}

bool tst_UploadLedger::rewriteInPlace(const QString& path)
{
    QFile rewritten(path);
    if (!rewritten.open(QIODevice::ReadWrite))
        return false;
    const QDateTime modified = rewritten.fileTime(QFileDevice::FileModificationTime);
    QByteArray bytes = rewritten.readAll();
    bytes[bytes.size() / 2] = char(bytes.at(bytes.size() / 2) ^ 0x5a);
    return rewritten.seek(0) && rewritten.write(bytes) == bytes.size() && rewritten.flush() &&
           rewritten.setFileTime(modified, QFileDevice::FileModificationTime);
}

void tst_UploadLedger::windowOffersUnfinishedUploadsAtStart()
{
    const QStringList pictures = makePictures(3);
    StandinService service;
    QVERIFY(service.start());
    const QString userId = login(service);
    {
        // An earlier run noted the batch and was ended before it sent anything.
        CUploadLedger earlier(userId, CUploadLedger::filePath(userId));
        for (const QString& path : pictures) {
            CUploadLedger::Entry entry;
            entry.path = path;
            entry.size = QFileInfo(path).size();
            entry.modified = QFileInfo(path).lastModified().toUTC();
            earlier.put(entry);
        }
        QVERIFY(earlier.save());
    }
    QStringList questions;
    QUserDialogs::Answers answers;
    answers.question = [&](const QString&, const QString& text) {
        questions << text;
        return true;
    };
    answers.exec = [](QDialog*) { return int(QDialog::Rejected); };
    QUserDialogs::setAnswers(answers);
    MainWindow window;
    QTRY_COMPARE(questions, QStringList{"上次有 3 张照片没有上传完，继续上传？"});
    // Continued under the user the ledger was made for, without a login.
    QTRY_COMPARE_WITH_TIMEOUT(service.records("registrations.json", "registrations").size(), 3, 20000);
    QTRY_VERIFY(CUploadLedger::forUser(userId)->unfinished().isEmpty());
    verifyExactlyOnce(service, pictures, true);
}

void tst_UploadLedger::unreadableLedgerKeptAside()
{
    const QStringList pictures = makePictures(2);
    StandinService service;
    QVERIFY(service.start());
    const QString userId = login(service);
    const QString file = CUploadLedger::filePath(userId);
    QVERIFY(TestSupport::writeFile(file, "{\"version\": 1, \"zovid\": \"" + userId.toUtf8() +
                                             "\", \"pictures\": [{\"path\": 7}]}"));
    const QByteArray broken = TestSupport::readFile(file);
    QUpdateImageData uploader;
    uploader.SetUserID(userId);
    QSignalSpy finished(&uploader, &QUpdateImageData::batchFinished);
    QVERIFY(uploader.UpdataImagePath(m_dir->filePath("photos")));
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first(), (QList<QVariant>{2, 0}));
    QCOMPARE(TestSupport::readFile(file + ".broken"), broken);
    QCOMPARE(CUploadLedger::forUser(userId)->count(), 2);
}

void tst_UploadLedger::ledgerThatCannotBeWrittenStopsTheBatch()
{
    const QStringList pictures = makePictures(5);
    StandinService service;
    QVERIFY(service.start());
    QUpdateImageData uploader;
    uploader.SetUserID(login(service));
    QSignalSpy finished(&uploader, &QUpdateImageData::batchFinished);
    {
        // No file of this process may grow past a few bytes: as a full disk, the ledger fails.
        FileSizeCap cap(64);
        QVERIFY(uploader.UpdataImagePath(m_dir->filePath("photos")));
        QTRY_COMPARE(finished.count(), 1);
    }
    QCOMPARE(finished.first(), (QList<QVariant>{0, 5}));
    const QStringList texts = NoticeBoxes::texts();
    QCOMPARE(texts.size(), 1);
    QVERIFY2(texts.first().startsWith("无法保存上传记录（磁盘可能已满），上传已停止。"),
             qPrintable(texts.first()));
    QTest::qWait(200);
    QVERIFY(service.records("uploads.json", "uploads").isEmpty());
}

void tst_UploadLedger::cancelledBatchLeavesNothingInTheNext()
{
    const QStringList first = makePictures(8, "first");
    QStringList second;
    for (int i = 0; i < 8; ++i) {
        const QString path = m_dir->filePath(QStringLiteral("second/q%1.png").arg(i));
        QVERIFY(
            TestSupport::writeImage(path, QSize(30 + i, 20 + 2 * i), Qt::darkGreen, QColor(200, 20 * i, 0)));
        second << path;
    }
    StandinService service;
    QVERIFY(service.start());
    QUpdateImageData uploader;
    uploader.SetUserID(login(service));
    QSignalSpy finished(&uploader, &QUpdateImageData::batchFinished);
    QVERIFY(uploader.UpdataImagePath(m_dir->filePath("first")));
    // The first batch's workers read its pictures meanwhile (no events are handled in this
    // sleep); it is cancelled and the next folder started in one turn of the event loop, so what
    // those workers answered arrives while the second batch runs.
    QThread::msleep(300);
    uploader.findChild<QPushButton*>("cancelButton")->click();
    QCOMPARE(finished.count(), 1);
    QVERIFY(uploader.UpdataImagePath(m_dir->filePath("second")));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 20000);
    QCOMPARE(finished.at(1), (QList<QVariant>{8, 0}));

    verifyExactlyOnce(service, second, true);
    const QHash<QString, int> stored = countBy(service.records("uploads.json", "uploads"));
    for (const QString& path : first)
        QVERIFY2(!stored.contains(digest(path)), qPrintable(path));
    // The ledger names each picture of the second batch by its own content.
    const std::shared_ptr<CUploadLedger> ledger = uploader.findChild<CUploadClient*>()->ledger();
    for (const QString& path : second) {
        QCOMPARE(ledger->entry(path).sha256, digest(path));
        QCOMPARE(ledger->entry(path).state, CUploadLedger::State::Registered);
    }
}

// A service of a few lines: authorisations for "images/1", the rest answered "no error", except
// what `special` takes (the socket and the request's path; true when it answered).
class FakeService : public QObject
{
public:
    using Special = std::function<bool(QTcpSocket*, const QByteArray&)>;
    explicit FakeService(Special special) : m_special(std::move(special))
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        });
    }
    ~FakeService() override { qunsetenv("VELLORA_SERVICE_URL"); }
    // Listens on loopback and is the service of the clients made from now on.
    bool listen()
    {
        if (!m_server.listen(QHostAddress::LocalHost))
            return false;
        qputenv("VELLORA_SERVICE_URL", url().toUtf8());
        return true;
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

    // An answer that never ends (chunked spaces for as long as they are read).
    static void answerWithoutEnd(QTcpSocket* socket)
    {
        socket->write(
            "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n");
        const QByteArray piece = "10000\r\n" + QByteArray(0x10000, ' ') + "\r\n";
        auto more = [socket, piece] {
            while (socket->state() == QAbstractSocket::ConnectedState &&
                   socket->bytesToWrite() < 4 * 1024 * 1024)
                socket->write(piece);
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
    }

private:
    void serve(QTcpSocket* socket)
    {
        QByteArray& request = m_requests[socket];
        request += socket->readAll();
        const int headEnd = request.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        const QByteArray head = request.left(headEnd).toLower();
        const int at = head.indexOf("content-length:");
        const int bodyBytes =
            at < 0 ? 0 : head.mid(at + 15, head.indexOf('\r', at) - at - 15).trimmed().toInt();
        if (request.size() < headEnd + 4 + bodyBytes)
            return;
        const QByteArray path = request.split(' ').value(1);
        request = request.mid(headEnd + 4 + bodyBytes);
        if (m_special(socket, path))
            return;
        QByteArray body = "{\"error\":\"\"}";
        if (path.startsWith("/api/user/image/upload_auth"))
            body = "{\"OSSAccessKeyId\":\"K\",\"policy\":\"P\",\"Signature\":\"S\",\"postUrl\":\"" +
                   url().toUtf8() + "/storage/upload\",\"fileName\":\"images/1\"}";
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
    }

    QTcpServer m_server;
    Special m_special;
    QHash<QTcpSocket*, QByteArray> m_requests;
};

void tst_UploadLedger::answersThatNeverEndFailThePicture_data()
{
    QTest::addColumn<QByteArray>("endlessPath");
    QTest::newRow("authorisation") << QByteArray("/api/user/image/upload_auth");
    QTest::newRow("storage") << QByteArray("/storage/upload");
    QTest::newRow("registration") << QByteArray("/api/user/image/save");
}

void tst_UploadLedger::answersThatNeverEndFailThePicture()
{
    QFETCH(QByteArray, endlessPath);
    const QStringList pictures = makePictures(1);
    QVERIFY(!pictures.isEmpty());
    FakeService service([endlessPath](QTcpSocket* socket, const QByteArray& path) {
        if (!path.startsWith(endlessPath))
            return false;
        FakeService::answerWithoutEnd(socket);
        return true;
    });
    QVERIFY(service.listen());
    CUploadClient client;
    client.setUserId(QStringLiteral("10001"));
    client.setRetryWaitScale(0.01);
    QSignalSpy finished(&client, &CUploadClient::batchFinished);
    QVERIFY(client.start(pictures));
    // An answer that keeps coming never stalls: only its size can end it.
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first(), (QList<QVariant>{0, 1}));
    QCOMPARE(client.failures().first().reason, QString("服务器的回答过大"));
}

void tst_UploadLedger::refusedUploadsGiveBackTheirPlace()
{
    const QStringList pictures = makePictures(8);
    // The storage refuses the first two uploads outright and holds every later one unanswered,
    // so that the uploads under way at once can be counted.
    int refused = 0;
    int held = 0;
    FakeService service([&](QTcpSocket* socket, const QByteArray& path) {
        if (!path.startsWith("/storage/upload"))
            return false;
        if (refused < 2) {
            ++refused;
            socket->write("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
        } else {
            ++held;
        }
        return true;
    });
    QVERIFY(service.listen());
    CUploadClient client;
    client.setUserId(QStringLiteral("10001"));
    client.setParallel(2);
    QVERIFY(client.start(pictures));
    QTRY_COMPARE(refused, 2);
    QTRY_COMPARE(held, 2);
    // Each refused picture gave back the one place it held, no more.
    QTest::qWait(500);
    QCOMPARE(held, 2);
    QCOMPARE(client.counts().failed, 2);
    client.cancel();
}

void tst_UploadLedger::failedUploadGoesAgainUnderItsAuthorisation()
{
    const QStringList pictures = makePictures(3);
    // The storage fails the first upload once, as a busy service does.
    int authorisations = 0;
    QByteArrayList storedKeys;
    FakeService service([&](QTcpSocket* socket, const QByteArray& path) {
        if (path.startsWith("/api/user/image/upload_auth"))
            ++authorisations;
        if (!path.startsWith("/storage/upload"))
            return false;
        storedKeys << path;
        socket->write(storedKeys.size() == 1 ? "HTTP/1.1 503 Busy\r\nContent-Length: 0\r\n\r\n"
                                             : "HTTP/1.1 204 No Content\r\n\r\n");
        return true;
    });
    QVERIFY(service.listen());
    CUploadClient client;
    client.setUserId(QStringLiteral("10001"));
    client.setParallel(1);
    QSignalSpy finished(&client, &CUploadClient::batchFinished);
    QVERIFY(client.start(pictures));
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first(), (QList<QVariant>{3, 0}));
    // Four uploads, one authorisation per picture: the second try needed no new one.
    QCOMPARE(storedKeys.size(), 4);
    QCOMPARE(authorisations, 3);
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet("UPLOAD_CHILD")) {
        QCoreApplication application(argc, argv);
        return runUploadChild();
    }
    QApplication application(argc, argv);
    tst_UploadLedger test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_uploadledger.moc"
