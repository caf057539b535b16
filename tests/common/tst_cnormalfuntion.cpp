// SPDX-License-Identifier: MIT
#include "CNormalFuntion.h"
#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

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
    void copyFileOntoItself_data();
    void copyFileOntoItself();

    void folderEntries();
    void folderEntriesOfMissingFolder();

    void copyFolder_data();
    void copyFolder();
    void copyFolderOverwriteRemovesSkippedTarget();
    void copyFolderFailsWhenTargetCannotBeMade();
    void copyFolderIntoItselfRefused_data();
    void copyFolderIntoItselfRefused();
    void copyFolderDoesNotFollowFolderLinks();
    void copyFolderFailsOnUnlistableSubFolder();

private:
    QString path(const QString& relative) const { return m_dir->filePath(relative); }
    // Every file and folder under a folder with its content, to see that nothing changed.
    QStringList snapshot(const QString& folder) const;
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
        QTest::ignoreMessage(QtWarningMsg, "copy file false");
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

    QTest::ignoreMessage(QtWarningMsg, "copy file false");
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

    const QStringList all{"app/readme.txt", "app/bin/a.dll", "app/bin/b.dll", "app/lib/a.dll",
                          "app/lib/deep/c.txt"};
    QTest::newRow("nothing skipped") << QStringList() << all;
    QTest::newRow("bin a.dll skipped")
        << QStringList{"\\bin\\a.dll"}
        << QStringList{"app/readme.txt", "app/bin/b.dll", "app/lib/a.dll", "app/lib/deep/c.txt"};
    QTest::newRow("forward-slash key does not match") << QStringList{"/bin/a.dll"} << all;
    QTest::newRow("top folder key") << QStringList{"\\src\\readme.txt"}
                                    << QStringList{"app/bin/a.dll", "app/bin/b.dll", "app/lib/a.dll",
                                                   "app/lib/deep/c.txt"};
}

void tst_CNormalFuntion::copyFolder()
{
    QFETCH(QStringList, skip);
    QFETCH(QStringList, expected);

    for (const char* file :
         {"src/readme.txt", "src/bin/a.dll", "src/bin/b.dll", "src/lib/a.dll", "src/lib/deep/c.txt"})
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

QStringList tst_CNormalFuntion::snapshot(const QString& folder) const
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        entries << QDir(folder).relativeFilePath(entry) + QLatin1Char('=') +
                       QString::fromUtf8(readFile(entry));
    }
    entries.sort();
    return entries;
}

void tst_CNormalFuntion::copyFileOntoItself_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("overwrite");

    for (bool overwrite : {true, false}) {
        const char* flag = overwrite ? ", overwrite" : ", keep";
        QTest::newRow((QByteArray("dot segment") + flag).constData()) << "src/./a.jpg" << overwrite;
        QTest::newRow((QByteArray("double slash") + flag).constData()) << "src//a.jpg" << overwrite;
        QTest::newRow((QByteArray("dot-dot segment") + flag).constData()) << "src/sub/../a.jpg" << overwrite;
        QTest::newRow((QByteArray("backslash dot segment") + flag).constData())
            << "src\\.\\a.jpg" << overwrite;
        QTest::newRow((QByteArray("link to the file") + flag).constData()) << "link.jpg" << overwrite;
        QTest::newRow((QByteArray("through a folder link") + flag).constData())
            << "srclink/a.jpg" << overwrite;
        QTest::newRow((QByteArray("hard link") + flag).constData()) << "hard.jpg" << overwrite;
    }
}

void tst_CNormalFuntion::copyFileOntoItself()
{
    QFETCH(QString, target);
    QFETCH(bool, overwrite);

    QVERIFY(writeFile(path("src/a.jpg"), "source"));
    QVERIFY(QDir().mkpath(path("src/sub")));
    QVERIFY(QFile::link(path("src/a.jpg"), path("link.jpg")));
    QVERIFY(QFile::link(path("src"), path("srclink")));
    QCOMPARE(::link(QFile::encodeName(path("src/a.jpg")).constData(),
                    QFile::encodeName(path("hard.jpg")).constData()),
             0);

    // The target names the source file itself: done, and the source is still there.
    QVERIFY(copyFileToPath(path("src/a.jpg"), m_dir->path() + QLatin1Char('/') + target, overwrite));
    QCOMPARE(readFile(path("src/a.jpg")), QByteArray("source"));
    QVERIFY(QFileInfo(path("link.jpg")).isSymLink());
}

void tst_CNormalFuntion::copyFolderIntoItselfRefused_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("overwrite");

    for (bool overwrite : {true, false}) {
        const char* flag = overwrite ? ", overwrite" : ", keep";
        QTest::newRow((QByteArray("itself") + flag).constData()) << "src" << overwrite;
        QTest::newRow((QByteArray("itself, trailing slash") + flag).constData()) << "src/" << overwrite;
        QTest::newRow((QByteArray("itself, dot segment") + flag).constData()) << "src/sub/.." << overwrite;
        QTest::newRow((QByteArray("itself through a link") + flag).constData()) << "srclink" << overwrite;
        QTest::newRow((QByteArray("existing sub-folder") + flag).constData()) << "src/sub" << overwrite;
        QTest::newRow((QByteArray("new sub-folder") + flag).constData()) << "src/copy" << overwrite;
        QTest::newRow((QByteArray("new nested sub-folder") + flag).constData())
            << "src/sub/new/deeper" << overwrite;
        QTest::newRow((QByteArray("sub-folder through a link") + flag).constData())
            << "srclink/new" << overwrite;
    }
}

void tst_CNormalFuntion::copyFolderIntoItselfRefused()
{
    QFETCH(QString, target);
    QFETCH(bool, overwrite);

    QVERIFY(writeFile(path("src/a.jpg"), "a"));
    QVERIFY(writeFile(path("src/sub/b.jpg"), "b"));
    QVERIFY(QFile::link(path("src"), path("srclink")));
    const QStringList before = snapshot(path("src"));

    QStringList none;
    QVERIFY(!copyFolderToPath(path("src"), m_dir->path() + QLatin1Char('/') + target, overwrite, &none));
    QCOMPARE(snapshot(path("src")), before);

    // A sibling whose name merely starts with the source's name is a different folder.
    QVERIFY(copyFolderToPath(path("src"), path("src2"), overwrite, &none));
    QCOMPARE(readFile(path("src2/sub/b.jpg")), QByteArray("b"));
}

void tst_CNormalFuntion::copyFolderDoesNotFollowFolderLinks()
{
    QVERIFY(writeFile(path("src/a.jpg"), "a"));
    QVERIFY(writeFile(path("src/sub/b.jpg"), "b"));
    QVERIFY(writeFile(path("elsewhere/c.jpg"), "c"));
    QVERIFY(QFile::link(QStringLiteral("."), path("src/loop")));
    QVERIFY(QFile::link(QStringLiteral(".."), path("src/sub/up")));
    QVERIFY(QFile::link(path("elsewhere"), path("src/outside")));
    QVERIFY(QFile::link(QStringLiteral("a.jpg"), path("src/alias.jpg")));

    QStringList none;
    QVERIFY(copyFolderToPath(path("src"), path("out"), false, &none));
    QCOMPARE(snapshot(path("out")), (QStringList{"a.jpg=a", "alias.jpg=a", "sub/b.jpg=b", "sub="}));
    // The link to a file became a file of its own.
    QVERIFY(!QFileInfo(path("out/alias.jpg")).isSymLink());
}

// A folder that cannot be listed must not pass as empty. Root lists every folder, so the copy
// runs in a child process with the rights of the user "nobody".
void tst_CNormalFuntion::copyFolderFailsOnUnlistableSubFolder()
{
    QVERIFY(writeFile(path("src/a.jpg"), "a"));
    QVERIFY(writeFile(path("src/locked/b.jpg"), "b"));
    QVERIFY(writeFile(path("src/z.jpg"), "z"));
    for (const char* open : {"", "src", "src/a.jpg", "src/z.jpg"})
        QVERIFY(QFile::setPermissions(path(open), QFileDevice::Permissions(0x7777)));
    QVERIFY(QFile::setPermissions(path("src/locked"), QFileDevice::Permissions()));

    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        QStringList none;
        ::_exit(copyFolderToPath(path("src"), path("out"), false, &none) ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(QFile::setPermissions(path("src/locked"), QFileDevice::Permissions(0x7700)));
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 1);
}

QTEST_GUILESS_MAIN(tst_CNormalFuntion)
#include "tst_cnormalfuntion.moc"
