// SPDX-License-Identifier: MIT
#include "CFormBody.h"
#include "Service/CAccountAnswer.h"
#include "Service/CImageRegistration.h"
#include "Service/CUploadAuth.h"
#include "Service/CUploadFolder.h"
#include "Service/CUploadForm.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

// Reading the service's answers and building the requests, without a network.
class tst_UploadRequests : public QObject
{
    Q_OBJECT
private slots:
    void accountAnswer_data();
    void accountAnswer();
    void uploadAuth_data();
    void uploadAuth();
    void folderPictures();
    void registration_data();
    void registration();
    void formBoundaryIsFreshAndLong();
};

void tst_UploadRequests::accountAnswer_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("login");
    QTest::addColumn<bool>("registration");
    QTest::addColumn<QString>("shown"); // failure text with the fallback "F"
    QTest::addColumn<QString>("zovid");

    QTest::newRow("success") << QByteArray(R"({"error":"","msg":"ok","zovid":"10001"})") << true << true
                             << "F"
                             << "10001";
    QTest::newRow("error absent") << QByteArray(R"({"zovid":"7"})") << true << true << "F"
                                  << "7";
    QTest::newRow("numeric id") << QByteArray(R"({"error":"","zovid":42})") << true << true << "F"
                                << "42";
    QTest::newRow("service refusal") << QByteArray(R"({"error":"用户名或密码错误"})") << false << false
                                     << "用户名或密码错误"
                                     << "";
    QTest::newRow("success without id")
        << QByteArray(R"({"error":"","msg":"注册成功"})") << false << true << "F"
        << "";
    QTest::newRow("empty body") << QByteArray() << false << false << "F"
                                << "";
    QTest::newRow("html page") << QByteArray("<html>502 Bad Gateway</html>") << false << false << "F"
                               << "";
    QTest::newRow("json array") << QByteArray(R"([{"zovid":"1"}])") << false << false << "F"
                                << "";
    QTest::newRow("truncated") << QByteArray(R"({"error":"","zovid":"1")") << false << false << "F"
                               << "";
}

void tst_UploadRequests::accountAnswer()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, login);
    QFETCH(bool, registration);
    QFETCH(QString, shown);
    QFETCH(QString, zovid);

    const CAccountAnswer answer = CAccountAnswer::fromJson(body);
    QCOMPARE(answer.loginSucceeded(), login);
    QCOMPARE(answer.registrationSucceeded(), registration);
    QCOMPARE(answer.failureText("F"), shown);
    QCOMPARE(answer.zovid(), zovid);
}

void tst_UploadRequests::uploadAuth_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("complete");

    const QByteArray good =
        R"({"OSSAccessKeyId":"K","policy":"P","Signature":"S","postUrl":"http://127.0.0.1:9/up","fileName":"images/1"})";
    QTest::newRow("complete") << good << true;
    QTest::newRow("https") << QByteArray(good).replace("http:", "https:") << true;
    for (const char* member : {"OSSAccessKeyId", "policy", "Signature", "postUrl", "fileName"}) {
        QByteArray without = good;
        without.replace(QByteArray("\"") + member + "\"", "\"other\"");
        QTest::newRow(qPrintable(QString("without %1").arg(member))) << without << false;
    }
    QTest::newRow("relative url") << QByteArray(good).replace("http://127.0.0.1:9/up", "/up") << false;
    QTest::newRow("ftp url") << QByteArray(good).replace("http:", "ftp:") << false;
    QTest::newRow("not json") << QByteArray("Service Unavailable") << false;
    // Texts that go into the form's part headers and bodies must not end a header or a quoted name.
    for (const char* member : {"OSSAccessKeyId", "policy", "Signature", "fileName"}) {
        for (const char* bad : {"\\r", "\\n", "\\\""}) {
            QByteArray tainted = good;
            const QByteArray key = QByteArray("\"") + member + "\":\"";
            tainted.insert(tainted.indexOf(key) + key.size() + 1, bad);
            QTest::newRow(qPrintable(QString("%1 holding %2").arg(member, bad))) << tainted << false;
        }
    }
}

void tst_UploadRequests::uploadAuth()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, complete);
    const CUploadAuth auth = CUploadAuth::fromJson(body);
    QCOMPARE(auth.isComplete(), complete);
    if (complete) {
        QCOMPARE(auth.fileName, QString("images/1"));
        QCOMPARE(auth.policy, QString("P"));
    }
}

void tst_UploadRequests::folderPictures()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char* name : {"b.jpg", "A.JPG", "c.Png", "d.jpeg", "e.GIF", "f.bmp", "notes.txt", "noext",
                             "g.tiff", ".hidden.jpg", "sub/inner.jpg"})
        QVERIFY(TestSupport::writeFile(dir.filePath(name), "x"));
    QVERIFY(QDir(dir.path()).mkdir("folder.jpg")); // a sub-folder named like a picture

    const QDir root(dir.path());
    QStringList expected;
    // The TIFF is uploaded too, as a JPEG made from it.
    for (const char* name : {"A.JPG", "b.jpg", "c.Png", "d.jpeg", "e.GIF", "f.bmp", "g.tiff"})
        expected << root.absoluteFilePath(name);
    QCOMPARE(CUploadFolder::pictures(dir.path()), expected);
    QStringList converted;
    for (const QString& path : expected)
        if (CUploadFolder::needsConversion(path))
            converted << QFileInfo(path).fileName();
    QCOMPARE(converted, QStringList{"g.tiff"});
    QVERIFY(CUploadFolder::pictures(dir.filePath("missing")).isEmpty());
    QCOMPARE(CUploadFolder::mimeType("/x/A.JPG"), QString("image/jpg"));
}

void tst_UploadRequests::registration_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QSize>("size"); // QSize() writes bytes that are no picture

    QTest::newRow("jpeg") << "海边 1.jpg" << QSize(37, 23);
    QTest::newRow("same base name, png") << "海边 1.png" << QSize(5, 80);
    QTest::newRow("capital suffix") << "IMG&1=2.JPG" << QSize(64, 48);
    QTest::newRow("not a picture") << "broken.gif" << QSize();
}

void tst_UploadRequests::registration()
{
    QFETCH(QString, fileName);
    QFETCH(QSize, size);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    if (size.isValid())
        QVERIFY(TestSupport::writeImage(path, size));
    else
        QVERIFY(TestSupport::writeFile(path, "GIF89a but not really"));

    const QByteArray body = CImageRegistration::body("10001", path, "images/x/1").toByteArray();
    const auto items = QUrlQuery(QString::fromLatin1(body.mid(1))).queryItems(QUrl::FullyDecoded);
    QStringList names;
    for (const auto& item : items)
        names << item.first;
    QCOMPARE(names, (QStringList{"zovid", "name", "desc", "src", "mimetype", "size", "width", "height"}));
    const QFileInfo info(path);
    QCOMPARE(items.at(0).second, QString("10001"));
    QCOMPARE(items.at(1).second, info.baseName());
    QCOMPARE(items.at(2).second, info.baseName());
    QCOMPARE(items.at(3).second, QString("images/x/1"));
    QCOMPARE(items.at(4).second, "image/" + info.suffix().toLower());
    QCOMPARE(items.at(5).second.toLongLong(), info.size());
    QCOMPARE(items.at(6).second.toInt(), size.isValid() ? size.width() : 0);
    QCOMPARE(items.at(7).second.toInt(), size.isValid() ? size.height() : 0);
}

void tst_UploadRequests::formBoundaryIsFreshAndLong()
{
    const CUploadAuth auth = CUploadAuth::fromJson(
        R"({"OSSAccessKeyId":"K","policy":"P","Signature":"S","postUrl":"http://127.0.0.1:9/up","fileName":"images/1"})");
    static const char bytes[] = "\xff\xd8 picture \r\n--not-a-boundary\r\n \xff\xd9";
    const QByteArray picture(bytes, int(sizeof bytes) - 1);

    QSet<QByteArray> seen;
    for (int i = 0; i < 20; ++i) {
        const CUploadForm form = CUploadForm::build(auth, picture, "image/jpeg");
        QVERIFY(form.isValid());
        const QByteArray boundary = form.boundary();
        QVERIFY2(boundary.size() >= 32, boundary.constData());
        QVERIFY(!seen.contains(boundary));
        seen.insert(boundary);
        // The request names the form's own boundary and its length.
        const QNetworkRequest request = form.request(auth);
        QCOMPARE(request.header(QNetworkRequest::ContentTypeHeader).toByteArray(),
                 "multipart/form-data; boundary=" + boundary);
        QCOMPARE(request.header(QNetworkRequest::ContentLengthHeader).toLongLong(),
                 qint64(form.body().size()));
        QCOMPARE(request.url(), QUrl("http://127.0.0.1:9/up"));
    }

    // The six parts in order, the picture's bytes exactly as they were, and the closing boundary.
    const CUploadForm form = CUploadForm::build(auth, picture, "image/png");
    const QByteArray dash = "--" + form.boundary();
    QCOMPARE(form.body().count(dash), 7);
    QVERIFY(form.body().startsWith(
        dash + "\r\nContent-Disposition: form-data; name=\"OSSAccessKeyId\"\r\n\r\nK\r\n"));
    QVERIFY(form.body().contains("name=\"policy\"\r\n\r\nP\r\n"));
    QVERIFY(form.body().contains("name=\"Signature\"\r\n\r\nS\r\n"));
    QVERIFY(form.body().contains("name=\"key\"\r\n\r\nimages/1\r\n"));
    QVERIFY(form.body().contains("name=\"Cache-Control\"\r\n\r\nmax-age=31536000\r\n"));
    QVERIFY(form.body().endsWith("name=\"file\"; filename=\"images/1\"\r\nContent-Type: image/png\r\n\r\n" +
                                 picture + "\r\n" + dash + "--\r\n"));

    // An authorisation that cannot go into a form gives no form.
    CUploadAuth tainted = auth;
    tainted.fileName = "images/1\"; name=\"x";
    QVERIFY(!CUploadForm::build(tainted, picture, "image/jpeg").isValid());
}

QTEST_MAIN(tst_UploadRequests)
#include "tst_uploadrequests.moc"
