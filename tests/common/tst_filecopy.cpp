// SPDX-License-Identifier: MIT
#include "CFileCopy.h"
#include "CNormalFuntion.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// The copy behind every exported picture: whole bytes under the real name, nothing half-written.
class tst_FileCopy : public QObject
{
    Q_OBJECT
private slots:
    void copiesWholeFiles_data();
    void copiesWholeFiles();
    void failedCopyLeavesNothing();
};

void tst_FileCopy::copiesWholeFiles_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("one byte") << 1;
    // Past the plain loop's one-megabyte buffer, and not a multiple of it.
    QTest::newRow("several buffers") << (3 << 20) + 12345;
}

void tst_FileCopy::copiesWholeFiles()
{
    QFETCH(int, size);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(QRandomGenerator::global()->bounded(256));
    const QString source = dir.filePath("in.jpg");
    const QString target = dir.filePath("out/copy.jpg");
    QVERIFY(TestSupport::writeFile(source, bytes));
    QVERIFY(QFile::setPermissions(source, QFile::permissions(source) | QFile::ExeOwner));
    QVERIFY(QDir().mkpath(dir.filePath("out")));

    QVERIFY(copyFileToPath(source, target, true));
    QCOMPARE(TestSupport::readFile(target), bytes);
    QVERIFY(QFile::permissions(target) & QFile::ExeOwner);
    // Only the copy itself is left in the folder: no temporary file beside it.
    QCOMPARE(QDir(dir.filePath("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"copy.jpg"});

    // Copying again over it replaces it whole.
    QVERIFY(TestSupport::writeFile(target, QByteArray(size + 7, 'x')));
    QVERIFY(copyFileToPath(source, target, true));
    QCOMPARE(TestSupport::readFile(target), bytes);
}

void tst_FileCopy::failedCopyLeavesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.filePath("in.jpg");
    QVERIFY(TestSupport::writeFile(source, "picture"));
    // A folder stands where the copy should go: the rename fails and the partial copy goes.
    QVERIFY(QDir().mkpath(dir.filePath("out/copy.jpg")));
    QVERIFY(!copyFileContents(source, dir.filePath("out/copy.jpg")));
    QCOMPARE(QDir(dir.filePath("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"copy.jpg"});
    QVERIFY(QFileInfo(dir.filePath("out/copy.jpg")).isDir());
    QVERIFY(!copyFileContents(dir.filePath("missing.jpg"), dir.filePath("out/other.jpg")));
    QVERIFY(!QFile::exists(dir.filePath("out/other.jpg")));
}

QTEST_GUILESS_MAIN(tst_FileCopy)
#include "tst_filecopy.moc"
