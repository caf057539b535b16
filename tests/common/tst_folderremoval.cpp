// SPDX-License-Identifier: MIT
#include "CFolderRemoval.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_FolderRemoval : public QObject
{
    Q_OBJECT

private slots:
    void removesWholeTree();
    void neverFollowsLinks();
};

void tst_FolderRemoval::removesWholeTree()
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("tmpExt"));
    QVERIFY(QDir().mkpath(root + QStringLiteral("/a/b/c")));
    for (const QString& name :
         {QStringLiteral("/f.txt"), QStringLiteral("/a/.hidden"), QStringLiteral("/a/b/c/ro.txt")}) {
        QFile file(root + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    QFile::setPermissions(root + QStringLiteral("/a/b/c/ro.txt"), QFile::ReadOwner);
    QVERIFY(deleteFolder(root));
    QVERIFY(!QFileInfo::exists(root));
    QVERIFY(deleteFolder(root)); // already gone
}

void tst_FolderRemoval::neverFollowsLinks()
{
    // A link left in a temporary folder must not take the folder it points at with it.
    QTemporaryDir dir;
    const QString outside = dir.filePath(QStringLiteral("outside"));
    QVERIFY(QDir().mkpath(outside));
    QFile precious(outside + QStringLiteral("/precious.txt"));
    QVERIFY(precious.open(QIODevice::WriteOnly));
    precious.close();
    const QString root = dir.filePath(QStringLiteral("tmpExt"));
    QVERIFY(QDir().mkpath(root));
    QVERIFY(QFile::link(outside, root + QStringLiteral("/link")));
    QVERIFY(QFile::link(outside + QStringLiteral("/precious.txt"), root + QStringLiteral("/file-link")));

    QVERIFY(deleteFolder(root));
    QVERIFY(!QFileInfo::exists(root));
    QVERIFY(QFile::exists(outside + QStringLiteral("/precious.txt")));
}

QTEST_GUILESS_MAIN(tst_FolderRemoval)
#include "tst_folderremoval.moc"
