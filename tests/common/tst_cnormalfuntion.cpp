// SPDX-License-Identifier: MIT
#include "CNormalFuntion.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::readFile;
using TestSupport::writeFile;

class tst_CNormalFuntion : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void copyFile_data();
    void copyFile();
    void copyFileToMissingFolderFails();

    void folderEntries();
    void folderEntriesOfMissingFolder();

    void copyFolder_data();
    void copyFolder();
    void copyFolderOverwriteRemovesSkippedTarget();
    void copyFolderFailsWhenTargetCannotBeMade();

private:
    QString path(const QString& relative) const { return m_dir->filePath(relative); }
    QScopedPointer<QTemporaryDir> m_dir;
};

void tst_CNormalFuntion::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

void tst_CNormalFuntion::copyFile_data()
{
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<bool>("backslashTarget");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QByteArray>("targetAfter");

    QTest::newRow("new target") << false << false << false << true << QByteArray("source");
    QTest::newRow("existing target, overwrite") << true << false << true << true << QByteArray("source");
    QTest::newRow("existing target, keep") << true << false << false << false << QByteArray("old");
    QTest::newRow("backslash target, overwrite") << true << true << true << true << QByteArray("source");
    QTest::newRow("backslash target, keep") << true << true << false << false << QByteArray("old");
}

void tst_CNormalFuntion::copyFile()
{
    QFETCH(bool, targetExists);
    QFETCH(bool, backslashTarget);
    QFETCH(bool, overwrite);
    QFETCH(bool, result);
    QFETCH(QByteArray, targetAfter);

    QVERIFY(writeFile(path("in/a.jpg"), "source"));
    QVERIFY(QDir().mkpath(path("out")));
    if (targetExists)
        QVERIFY(writeFile(path("out/a.jpg"), "old"));
    QString target = path("out/a.jpg");
    if (backslashTarget)
        target.replace('/', '\\');

    if (!result)
        QTest::ignoreMessage(QtDebugMsg, "copy file false");
    QCOMPARE(copyFileToPath(path("in/a.jpg"), target, overwrite), result);
    QCOMPARE(readFile(path("out/a.jpg")), targetAfter);
    QCOMPARE(readFile(path("in/a.jpg")), QByteArray("source"));
}

void tst_CNormalFuntion::copyFileToMissingFolderFails()
{
    QVERIFY(writeFile(path("a.jpg"), "source"));
    // The same file once the target's backslashes are converted: done without touching it
    // (a real copy onto itself would fail without overwrite, and delete the file with it).
    QVERIFY(copyFileToPath(path("a.jpg"), path("a.jpg").replace('/', '\\'), false));
    QVERIFY(copyFileToPath(path("a.jpg"), path("a.jpg").replace('/', '\\'), true));
    QCOMPARE(readFile(path("a.jpg")), QByteArray("source"));

    QVERIFY(!copyFileToPath(path("missing.jpg"), path("b.jpg"), true));
    QVERIFY(!QFile::exists(path("b.jpg")));

    QTest::ignoreMessage(QtDebugMsg, "copy file false");
    QVERIFY(!copyFileToPath(path("a.jpg"), path("no/such/folder/a.jpg"), true));
    QVERIFY(!QDir(path("no")).exists());
}

void tst_CNormalFuntion::folderEntries()
{
    QVERIFY(writeFile(path("f/b.png"), "b"));
    QVERIFY(writeFile(path("f/A.jpg"), "a"));
    QVERIFY(QDir().mkpath(path("f/c sub")));
    QVERIFY(writeFile(path("f/.hidden.jpg"), "h"));

    QStringList entries{QStringLiteral("already there")};
    QVERIFY(getFolderEntries(path("f"), &entries));
    QCOMPARE(entries, (QStringList{"already there", path("f/A.jpg"), path("f/b.png"), path("f/c sub")}));
}

void tst_CNormalFuntion::folderEntriesOfMissingFolder()
{
    QStringList entries;
    QVERIFY(getFolderEntries(path("nowhere"), &entries));
    QVERIFY(entries.isEmpty());
}

void tst_CNormalFuntion::copyFolder_data()
{
    QTest::addColumn<QStringList>("skip");
    QTest::addColumn<QStringList>("expected");

    const QStringList all{"app/readme.txt", "app/bin/a.dll", "app/bin/b.dll", "app/lib/a.dll", "app/lib/deep/c.txt"};
    QTest::newRow("nothing skipped") << QStringList() << all;
    QTest::newRow("bin a.dll skipped") << QStringList{"\\bin\\a.dll"}
                                       << QStringList{"app/readme.txt", "app/bin/b.dll", "app/lib/a.dll",
                                                      "app/lib/deep/c.txt"};
    QTest::newRow("forward-slash key does not match") << QStringList{"/bin/a.dll"} << all;
    QTest::newRow("top folder key") << QStringList{"\\src\\readme.txt"}
                                    << QStringList{"app/bin/a.dll", "app/bin/b.dll", "app/lib/a.dll",
                                                   "app/lib/deep/c.txt"};
}

void tst_CNormalFuntion::copyFolder()
{
    QFETCH(QStringList, skip);
    QFETCH(QStringList, expected);

    for (const char* file : {"src/readme.txt", "src/bin/a.dll", "src/bin/b.dll", "src/lib/a.dll", "src/lib/deep/c.txt"})
        QVERIFY(writeFile(path(file), QByteArray(file)));

    QVERIFY(copyFolderToPath(path("src"), path("app"), false, &skip));

    QStringList copied;
    QDirIterator it(path("app"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        copied << QDir(m_dir->path()).relativeFilePath(it.next());
    copied.sort();
    expected.sort();
    QCOMPARE(copied, expected);
    QCOMPARE(readFile(path("app/lib/deep/c.txt")), QByteArray("src/lib/deep/c.txt"));
}

void tst_CNormalFuntion::copyFolderOverwriteRemovesSkippedTarget()
{
    QVERIFY(writeFile(path("bin/a.dll"), "new a"));
    QVERIFY(writeFile(path("bin/b.dll"), "new b"));
    QVERIFY(writeFile(path("install/a.dll"), "old a"));
    QVERIFY(writeFile(path("install/b.dll"), "old b"));
    QStringList skip{"\\bin\\a.dll"};

    QVERIFY(copyFolderToPath(path("bin"), path("install"), true, &skip));
    QVERIFY(!QFile::exists(path("install/a.dll")));
    QCOMPARE(readFile(path("install/b.dll")), QByteArray("new b"));

    // Without overwrite an existing file makes the whole copy fail at that file.
    QVERIFY(writeFile(path("install/b.dll"), "old b"));
    QStringList none;
    QVERIFY(!copyFolderToPath(path("bin"), path("install"), false, &none));
    QCOMPARE(readFile(path("install/b.dll")), QByteArray("old b"));
}

void tst_CNormalFuntion::copyFolderFailsWhenTargetCannotBeMade()
{
    QVERIFY(writeFile(path("src/a.txt"), "a"));
    QVERIFY(writeFile(path("blocker"), "a file where a folder should be"));
    QStringList none;
    QVERIFY(!copyFolderToPath(path("src"), path("blocker/inner"), false, &none));
    QVERIFY(!copyFolderToPath(path("src"), path("missing/parent"), false, &none));
}

QTEST_GUILESS_MAIN(tst_CNormalFuntion)
#include "tst_cnormalfuntion.moc"
