// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"
#include "LoadIn/QUpdateImageData.h"
#include "NoticeBoxes.h"
#include "Service/CUploadClient.h"
#include "StandinService.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QNetworkReply>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// Uploading folders to the stand-in service: its storage checks each form with its own parser and
// POST policy and keeps what it stored, so the test compares with what really arrived.
class tst_UpdateImageData : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void batch_data();
    void batch();
    void emptyFolderSendsNothing();
    void secondBatchRefusedWhileRunning();
    void uploadButtonSendsOnlyWhatIsNew();
    void pictureHoldingABoundaryIsStoredWhole();
    void cancelAbortsTheBatch();

private:
    // Pictures painted in a fresh folder, plus a sub-folder and a text file that are left out.
    QStringList makeFolder(const QStringList& names);
    QString login(StandinService& service);

    QScopedPointer<QTemporaryDir> m_dir;
};

void tst_UpdateImageData::initTestCase()
{
    // Retries come after a few milliseconds instead of seconds.
    qputenv("VELLORA_UPLOAD_RETRY_SCALE", "0.01");
}

void tst_UpdateImageData::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    // Each test has a ledger of its own.
    CProgramFiles::setRecordFolderOverride(m_dir->filePath("records"));
}

void tst_UpdateImageData::cleanup()
{
    NoticeBoxes::closeAll();
    CProgramFiles::setRecordFolderOverride(QString());
}

QStringList tst_UpdateImageData::makeFolder(const QStringList& names)
{
    QStringList paths;
    int i = 0;
    for (const QString& name : names) {
        const QString path = m_dir->filePath("photos/" + name);
        ++i;
        if (!TestSupport::writeImage(path, QSize(40 + 7 * i, 30 + 3 * i), QColor(20 * i, 90, 200),
                                     Qt::yellow))
            return {};
        paths << path;
    }
    TestSupport::writeImage(m_dir->filePath("photos/sub/inside.jpg"), QSize(10, 10));
    TestSupport::writeFile(m_dir->filePath("photos/readme.txt"), "not a picture");
    return paths;
}

QString tst_UpdateImageData::login(StandinService& service)
{
    if (!service.addAccount("uploader", "pw"))
        return {};
    return service.userId("uploader");
}

void tst_UpdateImageData::batch_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<int>("failed");
    QTest::addColumn<bool>("registrationRefused"); // a failure after the object was stored

    QTest::newRow("all stored") << QStringList() << 0 << false;
    // Failures the service or the line may not repeat are tried again, and the pictures arrive.
    QTest::newRow("storage answers 500 twice") << QStringList{"--fail", "500:2:/storage"} << 0 << false;
    // Closed before any answer, nothing was stored: the request is sent again and stores once.
    QTest::newRow("storage drops a connection") << QStringList{"--drop", "1:/storage"} << 0 << false;
    // Every try fails: each picture gives up after its few tries.
    QTest::newRow("storage drops every connection") << QStringList{"--drop", "100:/storage"} << 5 << false;
    QTest::newRow("storage hangs") << QStringList{"--stall", "2:/storage"} << 0 << false;
    QTest::newRow("authorisation hangs")
        << QStringList{"--stall", "1:/api/user/image/upload_auth"} << 0 << false;
    QTest::newRow("registration hangs") << QStringList{"--stall", "1:/api/user/image/save"} << 0 << false;
    QTest::newRow("authorisation 500")
        << QStringList{"--fail", "500:1:/api/user/image/upload_auth"} << 0 << false;
    QTest::newRow("authorisation not JSON")
        << QStringList{"--fail", "200:1:/api/user/image/upload_auth"} << 0 << false;
    QTest::newRow("registration 500") << QStringList{"--fail", "500:1:/api/user/image/save"} << 0 << false;
    // Refusals are not tried again: the request would be refused again.
    QTest::newRow("storage 403") << QStringList{"--fail", "403:1:/storage"} << 1 << false;
    QTest::newRow("registration 200 with an error")
        << QStringList{"--fail", R"(200:1:/api/user/image/save:{"error":"图片不存在","msg":""})"} << 1
        << true;
    // A redirect with a body that would pass for success: the picture does not count as uploaded.
    QTest::newRow("registration 302 with a success body")
        << QStringList{"--fail", R"(302:1:/api/user/image/save:{"error":"","msg":"保存成功"})"} << 1 << true;
}

void tst_UpdateImageData::batch()
{
    QFETCH(QStringList, faults);
    QFETCH(int, failed);
    QFETCH(bool, registrationRefused);

    const QStringList pictures = makeFolder({"b.jpg", "A.JPG", "c.png", "海边.jpeg", "d.Bmp"});
    QVERIFY(!pictures.isEmpty());
    StandinService service(faults);
    QVERIFY(service.start());
    const QString userId = login(service);
    QVERIFY(!userId.isEmpty());

    QUpdateImageData uploader; // hidden, as the category page keeps it
    uploader.SetUserID(userId);
    // A hung request ends as a failure once nothing arrived for the stall time-out.
    if (faults.contains("--stall"))
        uploader.findChild<CUploadClient*>()->setStallTimeout(3000);
    QSignalSpy finished(&uploader, &QUpdateImageData::batchFinished);
    QVERIFY(uploader.UpdataImagePath(m_dir->filePath("photos")));
    QVERIFY(uploader.isUploading());
    QVERIFY(finished.wait(20000));
    QVERIFY(!uploader.isUploading());

    const int uploaded = pictures.size() - failed;
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), uploaded);
    QCOMPARE(finished.at(0).at(1).toInt(), failed);
    const QString expectedText =
        failed == 0 ? QString("照片上传完成！")
                    : QString("照片上传结束：成功 %1 张，失败 %2 张。失败的照片及原因列在上传窗口中，"
                              "可点击“重试失败的照片”重新上传。")
                          .arg(uploaded)
                          .arg(failed);
    QCOMPARE(NoticeBoxes::texts(), QStringList{expectedText});
    // Whole only when every picture arrived.
    auto* progress = uploader.findChild<QProgressBar*>("progressBar");
    if (failed == 0)
        QCOMPARE(progress->value(), progress->maximum());
    else
        QVERIFY(progress->value() < progress->maximum());
    // A failed batch brings its hidden uploader forward with the list of what failed.
    QCOMPARE(uploader.isVisible(), failed > 0);

    // Every stored object is one of the pictures, byte for byte, sent as the six parts in order.
    const QStringList objects = service.objects();
    QCOMPARE(objects.size(), uploaded + (registrationRefused ? failed : 0));
    const QJsonArray uploads = service.records("uploads.json", "uploads");
    QCOMPARE(uploads.size(), objects.size());
    for (const QJsonValue& value : uploads) {
        const QJsonObject upload = value.toObject();
        QCOMPARE(upload.value("parts").toVariant().toStringList(),
                 (QStringList{"OSSAccessKeyId", "policy", "Signature", "key", "Cache-Control", "file"}));
        QCOMPARE(upload.value("filename").toString(), upload.value("key").toString());
        QCOMPARE(upload.value("cacheControl").toString(), QString("max-age=31536000"));
        QVERIFY(objects.contains(upload.value("key").toString()));
    }

    // Registrations go out only for stored objects and describe the picture stored under them. (An
    // injected failure on registration answers before the service records it.)
    const QJsonArray registrations = service.records("registrations.json", "registrations");
    QCOMPARE(registrations.size(), uploaded);
    QSet<QString> registeredPictures;
    for (const QJsonValue& value : registrations) {
        const QJsonObject entry = value.toObject();
        const QString src = entry.value("src").toString();
        QVERIFY2(objects.contains(src), qPrintable(src));
        QVERIFY(entry.value("accepted").toBool());
        const QByteArray stored = service.object(src);
        QString match;
        for (const QString& path : pictures)
            if (TestSupport::readFile(path) == stored)
                match = path;
        QVERIFY2(!match.isEmpty(), "a stored object differs from every picture");
        const QFileInfo info(match);
        const QSize size = QImageReader(match).size();
        QCOMPARE(entry.value("zovid").toString(), userId);
        QCOMPARE(entry.value("name").toString(), info.baseName());
        QCOMPARE(entry.value("desc").toString(), info.baseName());
        QCOMPARE(entry.value("mimetype").toString(), "image/" + info.suffix().toLower());
        QCOMPARE(entry.value("size").toString().toLongLong(), info.size());
        QCOMPARE(entry.value("width").toString().toInt(), size.width());
        QCOMPARE(entry.value("height").toString().toInt(), size.height());
        registeredPictures.insert(match);
    }
    QCOMPARE(registeredPictures.size(), uploaded);
}

void tst_UpdateImageData::emptyFolderSendsNothing()
{
    QVERIFY(QDir().mkpath(m_dir->filePath("photos/sub")));
    QVERIFY(TestSupport::writeFile(m_dir->filePath("photos/readme.txt"), "text"));
    StandinService service;
    QVERIFY(service.start());

    QUpdateImageData uploader;
    uploader.SetUserID("1");
    QSignalSpy finished(&uploader, &QUpdateImageData::batchFinished);
    QVERIFY(uploader.UpdataImagePath(m_dir->filePath("photos")));
    QVERIFY(!uploader.isUploading());
    // Replies are children of their managers: none means no request went out.
    QVERIFY(uploader.findChildren<QNetworkReply*>().isEmpty());
    QCOMPARE(finished.count(), 0);
    QVERIFY(NoticeBoxes::texts().isEmpty());
    QVERIFY(service.objects().isEmpty());
}

void tst_UpdateImageData::secondBatchRefusedWhileRunning()
{
    const QStringList pictures = makeFolder({"1.jpg", "2.png"});
    QVERIFY(!pictures.isEmpty());
    StandinService service({"--delay", "200"});
    QVERIFY(service.start());
    const QString userId = login(service);

    QUpdateImageData uploader;
    uploader.SetUserID(userId);
    QSignalSpy finished(&uploader, &QUpdateImageData::batchFinished);
    QVERIFY(uploader.UpdataImagePath(m_dir->filePath("photos")));
    QVERIFY(!uploader.UpdataImagePath(m_dir->filePath("photos")));
    uploader.findChild<QPushButton*>("updateButton")->click();
    uploader.findChild<QPushButton*>("browseButton")->click();
    QCOMPARE(NoticeBoxes::texts(),
             (QStringList{"正在进行上传，请稍后再次尝试！", "正在进行上传，请稍后再次尝试！"}));
    NoticeBoxes::closeAll();

    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), pictures.size());
    // The refusals sent nothing: each picture went once.
    QCOMPARE(service.objects().size(), pictures.size());
    QCOMPARE(service.records("uploads.json", "uploads").size(), pictures.size());
}

void tst_UpdateImageData::uploadButtonSendsOnlyWhatIsNew()
{
    const QStringList pictures = makeFolder({"x.bmp", "y.png"});
    QVERIFY(!pictures.isEmpty());
    StandinService service;
    QVERIFY(service.start());
    QUpdateImageData dialog;
    dialog.SetUserID(login(service));
    dialog.show();
    QSignalSpy finished(&dialog, &QUpdateImageData::batchFinished);

    QVERIFY(dialog.UpdataImagePath(m_dir->filePath("photos")));
    QVERIFY(finished.wait(20000));
    QCOMPARE(service.objects().size(), 2);
    NoticeBoxes::closeAll();

    // The same folder again: the service has every picture, nothing is sent.
    dialog.findChild<QPushButton*>("updateButton")->click();
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.at(1), (QList<QVariant>{2, 0}));
    QCOMPARE(NoticeBoxes::texts(), QStringList{"照片都已上传过，跳过 2 张，没有重复上传。"});
    NoticeBoxes::closeAll();
    QCOMPARE(service.objects().size(), 2);
    QCOMPARE(service.records("uploads.json", "uploads").size(), 2);
    QCOMPARE(service.records("registrations.json", "registrations").size(), 2);

    // A changed picture, a copy of it and a copy of one already sent: only the changed one goes,
    // once; its copy waits for it and is then known as sent.
    QVERIFY(TestSupport::writeImage(pictures.first(), QSize(33, 44), Qt::darkGreen, Qt::white));
    QVERIFY(QFile::copy(pictures.first(), m_dir->filePath("photos/copy of x.png")));
    QVERIFY(QFile::copy(pictures.last(), m_dir->filePath("photos/copy of y.png")));
    dialog.findChild<QPushButton*>("updateButton")->click();
    QVERIFY(finished.wait(20000));
    QCOMPARE(NoticeBoxes::texts(), QStringList{"照片上传完成！上传 1 张，跳过已上传过的 3 张。"});
    QCOMPARE(service.objects().size(), 3);
    QCOMPARE(service.records("registrations.json", "registrations").size(), 3);
    QCOMPARE(
        service.object(service.records("uploads.json", "uploads").last().toObject().value("key").toString()),
        TestSupport::readFile(pictures.first()));
}

// A JPEG whose comment holds what a fixed form boundary would be: the storage must still get every
// byte, so every form needs a boundary of its own.
void tst_UpdateImageData::pictureHoldingABoundaryIsStoredWhole()
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(TestSupport::twoToneImage(QSize(300, 200)).save(&buffer, "JPG", 90));
    QByteArray comment;
    for (const char* boundary : {"----boundary", "boundary_.oOo._", "vellora-"})
        comment += QByteArray("\r\n--") + boundary + "--\r\n" + "\r\n--" + boundary + "\r\n";
    const int length = comment.size() + 2;
    jpeg.insert(2, QByteArray("\xff\xfe") + char(length >> 8) + char(length & 0xff) + comment);
    QVERIFY(QImage::fromData(jpeg).size() == QSize(300, 200));
    QVERIFY(TestSupport::writeFile(m_dir->filePath("photos/comment.jpg"), jpeg));
    // A second picture, one comment byte apart (the same content would be sent only once).
    QByteArray other = jpeg;
    other[6] = 'x';
    QVERIFY(TestSupport::writeFile(m_dir->filePath("photos/other.jpg"), other));

    StandinService service;
    QVERIFY(service.start());
    QUpdateImageData uploader;
    uploader.SetUserID(login(service));
    QSignalSpy finished(&uploader, &QUpdateImageData::batchFinished);
    QVERIFY(uploader.UpdataImagePath(m_dir->filePath("photos")));
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.at(0).at(1).toInt(), 0);
    const QStringList objects = service.objects();
    QCOMPARE(objects.size(), 2);
    QSet<QByteArray> stored;
    for (const QString& object : objects)
        stored.insert(service.object(object));
    QCOMPARE(stored, (QSet<QByteArray>{jpeg, other}));
}

void tst_UpdateImageData::cancelAbortsTheBatch()
{
    const QStringList pictures = makeFolder({"1.jpg", "2.png", "3.bmp"});
    QVERIFY(!pictures.isEmpty());
    StandinService service({"--stall", "100:/storage"});
    QVERIFY(service.start());
    QUpdateImageData dialog;
    dialog.SetUserID(login(service));
    dialog.show();
    QSignalSpy finished(&dialog, &QUpdateImageData::batchFinished);
    QVERIFY(dialog.UpdataImagePath(m_dir->filePath("photos")));
    // Wait until every picture hangs in the storage: all three sending, their bytes going out.
    const CUploadClient* client = dialog.findChild<CUploadClient*>();
    QTRY_VERIFY_WITH_TIMEOUT(client->counts().sending == pictures.size() && client->counts().bytesDone > 0,
                             10000);

    dialog.findChild<QPushButton*>("cancelButton")->click();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), 0);
    QCOMPARE(finished.at(0).at(1).toInt(), pictures.size());
    QVERIFY(!dialog.isUploading());
    QVERIFY(!dialog.isVisible());
    QTRY_VERIFY(dialog.findChildren<QNetworkReply*>().isEmpty());
    QVERIFY(service.records("registrations.json", "registrations").isEmpty());

    // A new batch can start at once.
    QVERIFY(dialog.UpdataImagePath(m_dir->filePath("photos")));
    QVERIFY(dialog.isUploading());
}

QTEST_MAIN(tst_UpdateImageData)
#include "tst_updateimagedata.moc"
