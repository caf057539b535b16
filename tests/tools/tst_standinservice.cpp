// SPDX-License-Identifier: MIT
#include "StandinService.h"
#include "TestSupport.h"

#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QtTest>

// The stand-in service over HTTP, as any client sees it.
class tst_StandinService : public QObject
{
    Q_OBJECT
private slots:
    void authorisationsAreFresh();
    void storageChecksTheForm_data();
    void storageChecksTheForm();
    void usageReportIsKept();
    void pagesAndReleaseFiles_data();
    void pagesAndReleaseFiles();

private:
    struct Answer
    {
        int status = 0;
        QByteArray body;
    };
    Answer send(QNetworkReply* reply);
    QUrl at(const StandinService& service, const QString& path) const;
    QJsonObject authorise(QNetworkAccessManager& manager, const StandinService& service);
};

tst_StandinService::Answer tst_StandinService::send(QNetworkReply* reply)
{
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(10000);
    Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
    reply->deleteLater();
    return answer;
}

QUrl tst_StandinService::at(const StandinService& service, const QString& path) const
{
    QUrl url = service.url();
    url.setPath(path);
    return url;
}

QJsonObject tst_StandinService::authorise(QNetworkAccessManager& manager, const StandinService& service)
{
    const Answer answer = send(manager.get(QNetworkRequest(at(service, "/api/user/image/upload_auth"))));
    return QJsonDocument::fromJson(answer.body).object();
}

void tst_StandinService::authorisationsAreFresh()
{
    StandinService service;
    QVERIFY(service.start());
    QNetworkAccessManager manager; // closes its connections before the service stops
    const QJsonObject a = authorise(manager, service);
    const QJsonObject b = authorise(manager, service);
    QVERIFY(!a.value("fileName").toString().isEmpty());
    QVERIFY(a.value("fileName") != b.value("fileName"));
    QVERIFY(a.value("policy") != b.value("policy"));
    QCOMPARE(QUrl(a.value("postUrl").toString()).port(), service.port());
    QCOMPARE(QUrl(a.value("postUrl").toString()).host(), QString("127.0.0.1"));
}

void tst_StandinService::storageChecksTheForm_data()
{
    QTest::addColumn<QStringList>("parts"); // names in order; "file" carries the bytes
    QTest::addColumn<QString>("tamper");    // which field gets a wrong value
    QTest::addColumn<int>("status");

    const QStringList six{"OSSAccessKeyId", "policy", "Signature", "key", "Cache-Control", "file"};
    QTest::newRow("as the program sends it") << six << "" << 200;
    QTest::newRow("file not last") << QStringList{"OSSAccessKeyId", "policy", "Signature", "file", "key"}
                                   << "" << 400;
    QTest::newRow("no policy") << QStringList{"OSSAccessKeyId", "Signature", "key", "file"} << "" << 403;
    QTest::newRow("forged signature") << six << "Signature" << 403;
    QTest::newRow("another key") << six << "key" << 403;
    QTest::newRow("unknown access key") << six << "OSSAccessKeyId" << 403;
}

void tst_StandinService::storageChecksTheForm()
{
    QFETCH(QStringList, parts);
    QFETCH(QString, tamper);
    QFETCH(int, status);

    StandinService service;
    QVERIFY(service.start());
    QNetworkAccessManager manager; // closes its connections before the service stops
    const QJsonObject auth = authorise(manager, service);
    QVERIFY(!auth.isEmpty());
    const QMap<QString, QString> values{{"OSSAccessKeyId", auth.value("OSSAccessKeyId").toString()},
                                        {"policy", auth.value("policy").toString()},
                                        {"Signature", auth.value("Signature").toString()},
                                        {"key", auth.value("fileName").toString()},
                                        {"Cache-Control", "max-age=31536000"}};
    QByteArray picture(70000, '\0');
    for (int i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 7 + i / 256); // every byte value, CR and LF included

    auto* form = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    for (const QString& name : parts) {
        QHttpPart part;
        if (name == "file") {
            part.setRawHeader("Content-Disposition", "form-data; name=\"file\"; filename=\"x\"");
            part.setRawHeader("Content-Type", "image/jpg");
            part.setBody(picture);
        } else {
            part.setRawHeader("Content-Disposition", "form-data; name=\"" + name.toUtf8() + "\"");
            part.setBody((name == tamper ? "x" + values.value(name) : values.value(name)).toUtf8());
        }
        form->append(part);
    }
    QNetworkReply* reply = manager.post(QNetworkRequest(QUrl(auth.value("postUrl").toString())), form);
    form->setParent(reply);
    QCOMPARE(send(reply).status, status);
    if (status == 200)
        QCOMPARE(service.object(auth.value("fileName").toString()), picture);
    else
        QVERIFY(service.objects().isEmpty());
}

void tst_StandinService::usageReportIsKept()
{
    StandinService service;
    QVERIFY(service.start());
    QNetworkAccessManager manager; // closes its connections before the service stops
    const QString data = "{\n    \"分类\": \"a&b=c+d%\"\n}\n";
    QNetworkRequest request(at(service, "/restapi/vessik/log/add"));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
    QCOMPARE(send(manager.post(request, "&data=" + QUrl::toPercentEncoding(data))).status, 200);
    const QJsonArray reports = service.records("usage_reports.json", "reports");
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports.at(0).toObject().value("data").toString(), data);
}

void tst_StandinService::pagesAndReleaseFiles_data()
{
    QTest::addColumn<bool>("withRelease");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body"); // "" for any

    QTest::newRow("home") << false << "/" << 200 << QByteArray();
    QTest::newRow("print page") << false << "/print/index/index.html" << 200 << QByteArray();
    QTest::newRow("manifest without release") << false << "/Vellora/version.js" << 404 << QByteArray();
    QTest::newRow("manifest") << true << "/Vellora/version.js" << 200 << QByteArray("{\"version\": 7}");
    QTest::newRow("archive") << true << "/Vellora/Vellora.zip" << 200 << QByteArray("PK\x03\x04\0\r\n", 7);
    QTest::newRow("unknown path") << true << "/Vellora/other.js" << 404 << QByteArray();
}

void tst_StandinService::pagesAndReleaseFiles()
{
    QFETCH(bool, withRelease);
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QByteArray, body);

    QTemporaryDir release;
    QVERIFY(TestSupport::writeFile(release.filePath("version.js"), "{\"version\": 7}"));
    QVERIFY(TestSupport::writeFile(release.filePath("Vellora.zip"), QByteArray("PK\x03\x04\0\r\n", 7)));
    StandinService service(withRelease ? QStringList{"--release", release.path()} : QStringList());
    QVERIFY(service.start());
    QNetworkAccessManager manager; // closes its connections before the service stops
    const Answer answer = send(manager.get(QNetworkRequest(at(service, path))));
    QCOMPARE(answer.status, status);
    if (!body.isEmpty())
        QCOMPARE(answer.body, body);
}

QTEST_GUILESS_MAIN(tst_StandinService)
#include "tst_standinservice.moc"
