// SPDX-License-Identifier: MIT
// Uploads a folder through the stand-in service on loopback with the program's own upload client:
// once clean, then with 10 % of the storage and registration requests failing and 10 % of the
// storage uploads cut off half-way. A plain curl upload of the same files, as many at a time,
// is measured on the clean service for comparison. Every run starts with an empty ledger. The
// stand-in keeps its data in /dev/shm when it can.
//
// Usage: upload_bench FOLDER   (bench/make_upload_set.sh makes 300 pictures of about 2 MB)
// Last line: "upload: N pictures, clean S1 s (X MB/s), with faults S2 s, all registered once: yes|no"
#include "BenchRuns.h"
#include "CContentDigest.h"
#include "CProgramFiles.h"
#include "Service/CUploadClient.h"
#include "Service/CUploadFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#ifdef Q_OS_LINUX
#include <unistd.h>
#endif
#include <memory>

namespace {
const int Parallel = CUploadClient::DefaultParallel;

// The stand-in on a free port with a data folder of its own.
class Standin
{
public:
    explicit Standin(const QStringList& arguments)
    {
        m_process.start(QStringLiteral(VELLORA_STANDIN),
                        QStringList{"--port", "0", "--data", m_data.path()} + arguments);
        static const QRegularExpression listening(QStringLiteral("^listening on port (\\d+)"));
        while (m_port == 0 && m_process.waitForReadyRead(10000)) {
            while (m_process.canReadLine()) {
                const QRegularExpressionMatch match =
                    listening.match(QString::fromUtf8(m_process.readLine()));
                if (match.hasMatch())
                    m_port = match.captured(1).toInt();
            }
        }
        // It logs every request; its pipe is drained so that it never blocks.
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput,
                         [this] { m_process.readAllStandardOutput(); });
        qputenv("VELLORA_SERVICE_URL", url().toUtf8());
    }
    ~Standin()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    // Processor seconds the stand-in has used so far, where the system tells (Linux); -1 otherwise.
    double cpuSeconds() const
    {
#ifndef Q_OS_LINUX
        return -1;
#else
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        // The fields after the command's closing parenthesis; utime and stime are the 12th and 13th.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            return -1;
        return (fields.at(11).toDouble() + fields.at(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
#endif
    }
    void printCpu(double before) const
    {
        if (before >= 0)
            std::printf("  the stand-in's processor time: %.2f s\n", cpuSeconds() - before);
    }
    bool running() const
    {
        return m_port > 0;
    }
    QJsonArray log(const QString& file, const QString& list) const
    {
        QFile read(QDir(m_data.path()).filePath(file));
        return read.open(QIODevice::ReadOnly)
                   ? QJsonDocument::fromJson(read.readAll()).object().value(list).toArray()
                   : QJsonArray();
    }
    // Registers an account and returns its user ID.
    QString account()
    {
        QNetworkAccessManager network;
        QNetworkRequest request(QUrl(url() + "/api/user/auth/register"));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        std::unique_ptr<QNetworkReply> reply(
            network.post(request, QByteArray("username=bench&nickname=b&password=pw&re_password=pw")));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        return QJsonDocument::fromJson(reply->readAll()).object().value("zovid").toString();
    }

private:
    // In memory where there is a tmpfs: the stand-in writes each object through a synced file, and
    // on a disk those syncs, not the client, would set the pace.
    static QString dataTemplate()
    {
        const QFileInfo shm(QStringLiteral("/dev/shm"));
        return shm.isDir() && shm.isWritable() ? QStringLiteral("/dev/shm/vellora-bench-XXXXXX")
                                               : QDir::tempPath() + QStringLiteral("/vellora-bench-XXXXXX");
    }
    QTemporaryDir m_data{dataTemplate()};
    QProcess m_process;
    int m_port = 0;
};

// One batch through the program's client, with a fresh ledger; seconds, and *failed.
double upload(const QStringList& pictures, const QString& userId, int* failed)
{
    QTemporaryDir records;
    CProgramFiles::setRecordFolderOverride(records.path());
    CUploadClient client;
    client.setUserId(userId);
    client.setParallel(Parallel);
    QEventLoop loop;
    QObject::connect(&client, &CUploadClient::batchFinished, [&](int, int lost) {
        *failed = lost;
        loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = BenchRuns::processCpuSeconds();
    const double mainBefore = BenchRuns::threadCpuSeconds();
    client.start(pictures);
    loop.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("  the client's processor time: %.2f s, %.2f s of it on the interface thread\n",
                BenchRuns::processCpuSeconds() - cpuBefore, BenchRuns::threadCpuSeconds() - mainBefore);
    CProgramFiles::setRecordFolderOverride(QString());
    return seconds;
}

// The same files posted by curl, Parallel at a time, one form each with an authorisation fetched
// beforehand (not timed); seconds, or -1 when curl failed.
double curlUpload(Standin& standin, const QStringList& pictures)
{
    QNetworkAccessManager network;
    QTemporaryDir work;
    QFile config(work.filePath("curl.conf"));
    if (!config.open(QIODevice::WriteOnly))
        return -1;
    auto quoted = [](const QString& text) { return '"' + text.toUtf8() + '"'; };
    for (const QString& path : pictures) {
        if (path != pictures.first())
            config.write("next\n");
        std::unique_ptr<QNetworkReply> reply(
            network.get(QNetworkRequest(QUrl(standin.url() + "/api/user/image/upload_auth"))));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const QJsonObject auth = QJsonDocument::fromJson(reply->readAll()).object();
        config.write("url = " + quoted(auth.value("postUrl").toString()) + "\n");
        for (const char* field : {"OSSAccessKeyId", "policy", "Signature"})
            config.write("form = " + quoted(QString::fromLatin1(field) + '=' + auth.value(field).toString()) +
                         "\n");
        config.write("form = " + quoted("key=" + auth.value("fileName").toString()) + "\n");
        config.write("form = \"Cache-Control=max-age=31536000\"\n");
        config.write("form = " + quoted("file=@" + path + ";type=image/jpeg") + "\n");
        config.write("output = \"/dev/null\"\nfail\n");
    }
    config.close();
    QProcess curl;
    QElapsedTimer clock;
    clock.start();
    curl.start("curl", {"--silent", "--show-error", "--parallel", "--parallel-max", QString::number(Parallel),
                        "--config", config.fileName()});
    if (!curl.waitForFinished(600000) || curl.exitCode() != 0) {
        std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
        return -1;
    }
    return clock.nsecsElapsed() / 1e9;
}

QString digest(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(CContentDigest::sha256Hex(&file)) : QString();
}

// Every picture registered exactly once, by the stand-in's own log.
bool registeredOnce(const Standin& standin, const QStringList& pictures)
{
    QHash<QString, int> registered;
    for (const QJsonValue& entry : standin.log("registrations.json", "registrations"))
        ++registered[entry.toObject().value("sha256").toString()];
    for (const QString& path : pictures)
        if (registered.value(digest(path)) != 1)
            return false;
    return registered.size() == pictures.size();
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: upload_bench FOLDER\n");
        return 2;
    }
    qputenv("QT_LOGGING_RULES", "vellora.*.debug=false");
    const QStringList pictures = CUploadFolder::pictures(QString::fromLocal8Bit(argv[1]));
    qint64 bytes = 0;
    for (const QString& path : pictures)
        bytes += QFileInfo(path).size();
    if (pictures.isEmpty()) {
        std::fprintf(stderr, "no pictures in %s\n", argv[1]);
        return 2;
    }
    const double megabytes = bytes / (1024.0 * 1024.0);
    std::printf("%d pictures, %.1f MB, %d at a time\n", int(pictures.size()), megabytes, Parallel);

    double clean = 0;
    int cleanFailed = 0;
    {
        Standin standin({});
        if (!standin.running())
            return 1;
        const QString userId = standin.account();
        const double standinBefore = standin.cpuSeconds();
        clean = upload(pictures, userId, &cleanFailed);
        standin.printCpu(standinBefore);
        std::printf("clean: %.2f s, %d failed\n", clean, cleanFailed);
    }
    {
        Standin standin({});
        const double standinBefore = standin.cpuSeconds();
        const double seconds = curlUpload(standin, pictures);
        standin.printCpu(standinBefore);
        std::printf("curl: %d pictures, %.2f s (%.1f MB/s), %d at a time, %d stored\n", int(pictures.size()),
                    seconds, megabytes / seconds, Parallel,
                    int(standin.log("uploads.json", "uploads").size()));
    }
    double faulty = 0;
    bool once = false;
    {
        Standin standin({"--fail-rate", "10", "--drop-rate", "10", "--seed", "11"});
        int failed = 0;
        const QString userId = standin.account();
        const double standinBefore = standin.cpuSeconds();
        faulty = upload(pictures, userId, &failed);
        standin.printCpu(standinBefore);
        once = failed == 0 && registeredOnce(standin, pictures);
        std::printf("with faults: %.2f s, %d failed, %d stored for %d pictures\n", faulty, failed,
                    int(standin.log("uploads.json", "uploads").size()), int(pictures.size()));
    }
    std::printf(
        "upload: %d pictures, clean %.2f s (%.1f MB/s), with faults %.2f s, all registered once: %s\n",
        int(pictures.size()), clean, megabytes / clean, faulty, once ? "yes" : "no");
    return 0;
}
