// SPDX-License-Identifier: MIT
#include "CReleaseCheck.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QByteArray Archive = "PK\x05\x06 stands in for a release archive";

// The development key pair of the release script, through its signing helper.
QByteArray runSigner(const QStringList& arguments)
{
    QProcess signer;
    signer.start(QStringLiteral(VELLORA_RELEASE_SIGN), arguments);
    signer.waitForFinished(10000);
    return signer.readAllStandardOutput().trimmed();
}

QString developmentKeyFile()
{
    return QFileInfo(QStringLiteral(VELLORA_MAKE_RELEASE)).absolutePath() +
           QStringLiteral("/release-dev-secret.key");
}
} // namespace

class tst_ReleaseCheck : public QObject
{
    Q_OBJECT

private slots:
    void manifest_data();
    void manifest();
    void accept_data();
    void accept();
};

void tst_ReleaseCheck::manifest_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("sha256");
    QTest::addColumn<QByteArray>("signature");

    QTest::newRow("number") << QByteArray("{\"version\": 7}") << 7 << QString() << QByteArray();
    QTest::newRow("digits in a string")
        << QByteArray("{\"version\": \"7\"}") << 7 << QString() << QByteArray();
    QTest::newRow("words in a string")
        << QByteArray("{\"version\": \"seven\"}") << 0 << QString() << QByteArray();
    QTest::newRow("missing") << QByteArray("{\"soft_path\": \"x\"}") << 0 << QString() << QByteArray();
    QTest::newRow("not JSON") << QByteArray("<html>404</html>") << 0 << QString() << QByteArray();
    QTest::newRow("empty") << QByteArray() << 0 << QString() << QByteArray();
    QTest::newRow("checks")
        << QByteArray(
               "{\"version\": 8, \"soft_update\": {\"sha256\": \" ABCDEF \", \"signature\": \"c2ln\"}}")
        << 8 << QStringLiteral("abcdef") << QByteArray("c2ln");
}

void tst_ReleaseCheck::manifest()
{
    QFETCH(QByteArray, json);
    QFETCH(int, version);
    QFETCH(QString, sha256);
    QFETCH(QByteArray, signature);
    const CReleaseManifest manifest = CReleaseManifest::fromJson(json);
    QCOMPARE(manifest.version, version);
    QCOMPARE(manifest.sha256, sha256);
    QCOMPARE(manifest.signature, signature);
}

void tst_ReleaseCheck::accept_data()
{
    QTest::addColumn<bool>("withKey");
    QTest::addColumn<QString>("sha256"); // "good": the archive's own digest
    // "good": the release text of version 7 signed by the key; "other": over other bytes;
    // "version 6": a genuine signature of the same archive released as version 6; "bytes": the
    // archive's bytes alone, as releases were signed before.
    QTest::addColumn<QString>("signature");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("no key, nothing published") << false << ""
                                               << "" << true;
    QTest::newRow("no key, matching sha256") << false << "good"
                                             << "" << true;
    QTest::newRow("no key, wrong sha256") << false << QString(64, '0') << "" << false;
    QTest::newRow("key, good signature") << true << "good"
                                         << "good" << true;
    QTest::newRow("key, good signature, no sha256") << true << ""
                                                    << "good" << false;
    QTest::newRow("key, signature of the same archive as version 6") << true << "good"
                                                                     << "version 6" << false;
    QTest::newRow("key, signature over the archive alone") << true << "good"
                                                           << "bytes" << false;
    QTest::newRow("key, no signature") << true << "good"
                                       << "" << false;
    QTest::newRow("key, signature over other bytes") << true << "good"
                                                     << "other" << false;
    QTest::newRow("key, signature not base64") << true << "good"
                                               << "!!not base64!!" << false;
    QTest::newRow("key, good signature, wrong sha256") << true << QString(64, 'f') << "good" << false;
}

void tst_ReleaseCheck::accept()
{
    QFETCH(bool, withKey);
    QFETCH(QString, sha256);
    QFETCH(QString, signature);
    QFETCH(bool, accepted);

    QTemporaryDir dir;
    const QString archivePath = dir.filePath(QStringLiteral("Vellora.zip"));
    const QString otherPath = dir.filePath(QStringLiteral("other.zip"));
    for (const auto& file : {qMakePair(archivePath, Archive), qMakePair(otherPath, Archive + "!")}) {
        QFile out(file.first);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file.second);
    }
    const QByteArray key = runSigner({QStringLiteral("public"), developmentKeyFile()});
    QCOMPARE(key.size(), 44);

    CReleaseManifest manifest;
    manifest.sha256 =
        sha256 == QLatin1String("good")
            ? QString::fromLatin1(QCryptographicHash::hash(Archive, QCryptographicHash::Sha256).toHex())
            : sha256;
    manifest.version = 7;
    const auto releaseSignature = [&](const QString& version, const QString& path) {
        return runSigner({QStringLiteral("release"), developmentKeyFile(), version, path})
            .split(' ')
            .value(1);
    };
    if (signature == QLatin1String("good"))
        manifest.signature = releaseSignature(QStringLiteral("7"), archivePath);
    else if (signature == QLatin1String("other"))
        manifest.signature = releaseSignature(QStringLiteral("7"), otherPath);
    else if (signature == QLatin1String("version 6"))
        manifest.signature = releaseSignature(QStringLiteral("6"), archivePath);
    else if (signature == QLatin1String("bytes"))
        manifest.signature = runSigner({QStringLiteral("sign"), developmentKeyFile(), archivePath});
    else
        manifest.signature = signature.toLatin1();

    QString why;
    QCOMPARE(CReleaseCheck::accept(Archive, manifest, withKey ? key : QByteArray(), &why), accepted);
    QCOMPARE(why.isEmpty(), accepted);
}

QTEST_GUILESS_MAIN(tst_ReleaseCheck)
#include "tst_releasecheck.moc"
