// SPDX-License-Identifier: MIT
// The content digest the upload ledger keeps: the SHA-256 everybody computes, whichever library
// the build has, over a device read in chunks as over bytes in memory.
#include "CContentDigest.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QtTest>

class tst_ContentDigest : public QObject
{
    Q_OBJECT
private slots:
    void knownDigests();
    void filesOfManyChunksAndUnreadableDevices();
};

void tst_ContentDigest::knownDigests()
{
    QCOMPARE(CContentDigest::sha256Hex(QByteArray()),
             QByteArray("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
    QCOMPARE(CContentDigest::sha256Hex(QByteArray("abc")),
             QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    QByteArray abc("abc");
    QBuffer buffer(&abc);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QCOMPARE(CContentDigest::sha256Hex(&buffer), CContentDigest::sha256Hex(abc));
}

void tst_ContentDigest::filesOfManyChunksAndUnreadableDevices()
{
    // Several reads' worth and an odd length, so that every chunk and the short last one count.
    QByteArray bytes(3 * 1024 * 1024 + 12345, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char& byte : bytes)
        byte = char(random.bounded(256));
    QTemporaryFile file;
    QVERIFY(file.open());
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
    QVERIFY(file.seek(0));
    const QByteArray expected = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    QCOMPARE(CContentDigest::sha256Hex(&file), expected);
    QCOMPARE(CContentDigest::sha256Hex(bytes), expected);

    // A device that cannot be read gives no digest, never the digest of nothing.
    QFile closed(file.fileName());
    QVERIFY(CContentDigest::sha256Hex(&closed).isEmpty());
    QVERIFY(CContentDigest::sha256Hex(static_cast<QIODevice*>(nullptr)).isEmpty());
}

QTEST_MAIN(tst_ContentDigest)
#include "tst_contentdigest.moc"
