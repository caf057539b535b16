// SPDX-License-Identifier: MIT
#include "CZipExtract.h"
#include "RawZip.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Relative paths of every file and folder under root, sorted.
QStringList tree(const QString& root)
{
    QStringList names;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(QDir(root).relativeFilePath(it.next()));
    names.sort();
    return names;
}
} // namespace

class tst_ZipExtract : public QObject
{
    Q_OBJECT

private slots:
    void entryNames_data();
    void entryNames();
    void extract_data();
    void extract();
    void keepsUnixModes();
};

void tst_ZipExtract::entryNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");

    QTest::newRow("plain") << "a.txt" << true;
    QTest::newRow("sub-folder") << "a/b/c.txt" << true;
    QTest::newRow("backslash sub-folder") << "a\\b\\c.txt" << true;
    QTest::newRow("dots inside a name") << "a..b/..c" << true;
    QTest::newRow("folder entry") << "a/b/" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("..") << ".." << false;
    QTest::newRow("../x") << "../x" << false;
    QTest::newRow("x/..") << "x/.." << false;
    QTest::newRow("a/../../x") << "a/../../x" << false;
    QTest::newRow("..\\x") << "..\\x" << false;
    QTest::newRow("a\\..\\..\\x") << "a\\..\\..\\x" << false;
    QTest::newRow("mixed separators") << "a/..\\..\\x" << false;
    QTest::newRow("/x") << "/x" << false;
    QTest::newRow("\\x") << "\\x" << false;
    QTest::newRow("C:x") << "C:x" << false;
    QTest::newRow("c:/x") << "c:/x" << false;
    QTest::newRow("stream") << "a.txt:hidden" << false;
    QTest::newRow("three dots") << "a/.../x" << false;
    QTest::newRow("dots and a space") << ".. /x" << false;
    QTest::newRow("one dot") << "./a/./x" << true;
}

void tst_ZipExtract::entryNames()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(isSafeZipEntryName(name), safe);
}

void tst_ZipExtract::extract_data()
{
    QTest::addColumn<QVector<RawZipEntry>>("entries");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("maxEntries");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("written");

    const QVector<RawZipEntry> nested{RawZipEntry::file("top.txt", "top"),
                                      RawZipEntry::file("a/b/deep.txt", "deep"),
                                      RawZipEntry::file("win\\sub\\w.txt", "windows")};
    const QStringList nestedTree{"a", "a/b", "a/b/deep.txt", "top.txt", "win", "win/sub", "win/sub/w.txt"};
    QTest::newRow("sub-folders are created")
        << nested << QString() << 100 << qint64(1000) << true << nestedTree;
    QTest::newRow("filter") << nested << QStringLiteral("deep") << 100 << qint64(1000) << true
                            << QStringList{"a", "a/b", "a/b/deep.txt"};
    QTest::newRow("entries at the limit") << nested << QString() << 3 << qint64(14) << true << nestedTree;
    QTest::newRow("one entry too many") << nested << QString() << 2 << qint64(1000) << false << QStringList();
    QTest::newRow("one declared byte too many")
        << nested << QString() << 100 << qint64(13) << false << QStringList();
    // A later entry that is refused stops the archive before the earlier ones are written.
    QTest::newRow("unsafe last entry") << nested + QVector<RawZipEntry>{RawZipEntry::file("../x", "x")}
                                       << QString() << 100 << qint64(1000) << false << QStringList();
    QTest::newRow("symlink entry") << QVector<RawZipEntry>{RawZipEntry::file("a.txt", "a"),
                                                           RawZipEntry::symlink("link", "/etc")}
                                   << QString() << 100 << qint64(1000) << false << QStringList();
    // Names that pass the name check but land on the extraction folder itself, not inside it:
    // only the containment check refuses them, before the normal file is written.
    QTest::newRow("\".\" after a file")
        << QVector<RawZipEntry>{RawZipEntry::file("a.txt", "a"), RawZipEntry::file(".", "x")} << QString()
        << 100 << qint64(1000) << false << QStringList();
    QTest::newRow("\"./\" folder after a file")
        << QVector<RawZipEntry>{RawZipEntry::file("a.txt", "a"), RawZipEntry::file("./", "")} << QString()
        << 100 << qint64(1000) << false << QStringList();
    // The deflated data holds far more than the headers declare: only the declared bytes are read,
    // and the checksum over them fails.
    QTest::newRow("size that lies") << QVector<RawZipEntry>{RawZipEntry::deflated(
                                           "z", QByteArray(100000, 'z'), 10)}
                                    << QString() << 100 << qint64(1000) << false << QStringList{"z"};
}

void tst_ZipExtract::extract()
{
    QFETCH(QVector<RawZipEntry>, entries);
    QFETCH(QString, filter);
    QFETCH(int, maxEntries);
    QFETCH(qint64, maxBytes);
    QFETCH(bool, ok);
    QFETCH(QStringList, written);

    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    QFile file(archive);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(rawZip(entries));
    file.close();
    const QString target = dir.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkdir(target));

    CZipLimits limits;
    limits.maxEntries = maxEntries;
    limits.maxBytes = maxBytes;
    QCOMPARE(quazip_extract(archive, target, filter, limits), ok);
    QCOMPARE(tree(target), written);
    if (ok) {
        for (const RawZipEntry& entry : entries) {
            const QString path = target + QLatin1Char('/') + QString::fromUtf8(entry.name).replace('\\', '/');
            if (QFile::exists(path)) {
                QFile out(path);
                QVERIFY(out.open(QIODevice::ReadOnly));
                QCOMPARE(out.readAll(), entry.content);
            }
        }
    }
}

void tst_ZipExtract::keepsUnixModes()
{
    // A release replaces the programs themselves; they must stay executable.
    RawZipEntry program = RawZipEntry::file("QVellora", "#!/bin/sh\n");
    program.madeBy = (3 << 8) | 30;
    program.externalAttr = 0100755u << 16;
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    QFile file(archive);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(rawZip({program, RawZipEntry::file("plain.txt", "p")}));
    file.close();
    QVERIFY(quazip_extract(archive, dir.path(), QString()));
    QVERIFY(QFile::permissions(dir.filePath(QStringLiteral("QVellora"))) & QFile::ExeOwner);
    QVERIFY(!(QFile::permissions(dir.filePath(QStringLiteral("plain.txt"))) & QFile::ExeOwner));
}

QTEST_GUILESS_MAIN(tst_ZipExtract)
#include "tst_zipextract.moc"
