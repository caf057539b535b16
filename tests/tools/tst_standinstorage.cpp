// SPDX-License-Identifier: MIT
// What the stand-in service keeps when its disk is full or its logs are damaged: a request is
// answered 200 only once its record is complete, and no earlier record is ever lost.
#include "StandinService.h"
#include "TestSupport.h"

#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using TestSupport::readFile;
using TestSupport::writeFile;

class tst_StandinStorage : public QObject
{
    Q_OBJECT
private slots:
    void unreadableLogIsKeptAside();
    void fullDiskStoresNothingAndSaysSo();

private:
    int post(QNetworkAccessManager& manager, const QUrl& url, const QByteArray& body);
    int upload(QNetworkAccessManager& manager, const StandinService& service, const QByteArray& picture,
               QString* objectName);
};

namespace {
QUrl at(const StandinService& service, const QString& path)
{
    QUrl url = service.url();
    url.setPath(path);
    return url;
}

int statusOf(QNetworkReply* reply, QByteArray* body = nullptr)
{
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(10000);
    if (body)
        *body = reply->readAll();
    reply->deleteLater();
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

// A small file system of its own, so that it can be filled; unmounted when destroyed.
class SmallDisk
{
public:
    bool mount(const QString& path, const QByteArray& size)
    {
        m_path = path;
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                       "size=" + size, QStringLiteral("tmpfs"), path}) == 0;
        return m_mounted;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_path});
    }
    // Writes a filler file until nothing more fits.
    bool fill()
    {
        QFile filler(m_path + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        return true;
    }
    void makeRoom() { QFile::remove(m_path + QStringLiteral("/filler")); }

private:
    QString m_path;
    bool m_mounted = false;
};
} // namespace

int tst_StandinStorage::post(QNetworkAccessManager& manager, const QUrl& url, const QByteArray& body)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
    return statusOf(manager.post(request, body));
}

int tst_StandinStorage::upload(QNetworkAccessManager& manager, const StandinService& service,
                               const QByteArray& picture, QString* objectName)
{
    QByteArray answer;
    statusOf(manager.get(QNetworkRequest(at(service, "/api/user/image/upload_auth"))), &answer);
    const QJsonObject auth = QJsonDocument::fromJson(answer).object();
    *objectName = auth.value("fileName").toString();
    auto* form = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    const QList<QPair<QByteArray, QString>> fields{
        {"OSSAccessKeyId", auth.value("OSSAccessKeyId").toString()},
        {"policy", auth.value("policy").toString()},
        {"Signature", auth.value("Signature").toString()},
        {"key", *objectName},
        {"Cache-Control", "max-age=31536000"}};
    for (const auto& field : fields) {
        QHttpPart part;
        part.setRawHeader("Content-Disposition", "form-data; name=\"" + field.first + "\"");
        part.setBody(field.second.toUtf8());
        form->append(part);
    }
    QHttpPart file;
    file.setRawHeader("Content-Disposition", "form-data; name=\"file\"; filename=\"x.jpg\"");
    file.setRawHeader("Content-Type", "image/jpg");
    file.setBody(picture);
    form->append(file);
    QNetworkReply* reply = manager.post(QNetworkRequest(QUrl(auth.value("postUrl").toString())), form);
    form->setParent(reply);
    return statusOf(reply);
}

void tst_StandinStorage::unreadableLogIsKeptAside()
{
    StandinService service;
    // Fifty reports, cut off in the middle of the last one: not JSON any more, still worth keeping.
    QByteArray damaged = "{\"reports\": [\n";
    for (int i = 0; i < 50; ++i)
        damaged += "{\"data\": \"report " + QByteArray::number(i) + "\"},\n";
    damaged += "{\"data\": \"rep";
    const QString log = service.dataFolder() + "/usage_reports.json";
    QVERIFY(writeFile(log, damaged));
    QVERIFY(service.start());
    QNetworkAccessManager manager; // closes its connections before the service stops

    QCOMPARE(post(manager, at(service, "/restapi/vessik/log/add"), "&data=new"), 200);
    QCOMPARE(readFile(log + ".broken"), damaged);
    const QJsonArray reports = service.records("usage_reports.json", "reports");
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports.at(0).toObject().value("data").toString(), QString("new"));
}

void tst_StandinStorage::fullDiskStoresNothingAndSaysSo()
{
    if (::geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    QTemporaryDir mountPoint;
    SmallDisk disk;
    QVERIFY(disk.mount(mountPoint.path(), "512k"));
    const QString data = mountPoint.filePath("data");
    StandinService service({"--data", data});
    QVERIFY(service.start());
    QNetworkAccessManager manager; // closes its connections before the service stops
    const QUrl logUrl = at(service, "/restapi/vessik/log/add");
    // Larger than a page, so that it cannot slip into room the log's last page still has.
    const QByteArray report = "&data=" + QByteArray(12 * 1024, 'r');
    QString storedName;
    QCOMPARE(post(manager, logUrl, report), 200);
    QCOMPARE(upload(manager, service, QByteArray(6000, 'p'), &storedName), 200);
    const QByteArray reportsBefore = readFile(data + "/usage_reports.json");
    const QByteArray uploadsBefore = readFile(data + "/uploads.json");

    QVERIFY(disk.fill());
    QCOMPARE(post(manager, logUrl, report), 500);
    QString lostName;
    QCOMPARE(upload(manager, service, QByteArray(64 * 1024, 'q'), &lostName), 500);
    // Nothing half-written, and nothing earlier lost.
    QCOMPARE(readFile(data + "/usage_reports.json"), reportsBefore);
    QCOMPARE(readFile(data + "/uploads.json"), uploadsBefore);
    QVERIFY(!QFileInfo::exists(data + "/objects/" + lostName));
    QCOMPARE(readFile(data + "/objects/" + storedName), QByteArray(6000, 'p'));

    disk.makeRoom();
    QCOMPARE(post(manager, logUrl, report), 200);
    const QJsonObject log = QJsonDocument::fromJson(readFile(data + "/usage_reports.json")).object();
    QCOMPARE(log.value("reports").toArray().size(), 2);
}

QTEST_GUILESS_MAIN(tst_StandinStorage)
#include "tst_standinstorage.moc"
