// SPDX-License-Identifier: MIT
#include "TestSupport.h"
#include "Thread/QScanFilesThread.h"
#include "Thread/QScanFolderThread.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::setModified;
using TestSupport::writeFile;

// The tree search and the one-level listing, driven as the pages drive them: configure, start,
// wait for the one result signal.
class tst_ScanThreads : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void fileRuleInBothSearches_data();
    void fileRuleInBothSearches();
    void treeReportsEveryDepth();
    void levelReportsFoldersAndPicturesInNameOrder();
    void levelKeepsSubFoldersWhateverTheRootSpelling_data();
    void levelKeepsSubFoldersWhateverTheRootSpelling();
    void emptyRootGivesEmptyList();
    void missingRootEndsWithAnEmptyList_data();
    void missingRootEndsWithAnEmptyList();
    void scanPathEmptiesTheList();
    void stoppedSearchIsSilentAndRestartsAtOnce();
    void destroyingARunningSearch();

private:
    QString path(const QString& relative) const { return m_dir->filePath(relative); }
    bool picture(const QString& relative,
                 const QDateTime& modified = QDateTime(QDate(2015, 6, 1), QTime(12, 0)));
    // Runs one search to its end and returns the lists it signalled.
    static QList<QStringList> runToEnd(QScanThreadBase& thread);
    static QStringList sorted(QStringList list);

    QScopedPointer<QTemporaryDir> m_dir;
};

void tst_ScanThreads::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

bool tst_ScanThreads::picture(const QString& relative, const QDateTime& modified)
{
    // The content does not matter to the search; only name, kind and time do.
    return writeFile(path(relative), "picture") && setModified(path(relative), modified);
}

QList<QStringList> tst_ScanThreads::runToEnd(QScanThreadBase& thread)
{
    QList<QStringList> results;
    auto record = [&results](const QStringList& list) { results.append(list); };
    QMetaObject::Connection connection;
    if (auto* files = qobject_cast<QScanFilesThread*>(&thread))
        connection = QObject::connect(files, &QScanFilesThread::findOnePicture, record);
    else
        connection = QObject::connect(qobject_cast<QScanFolderThread*>(&thread),
                                      &QScanFolderThread::findOneFolderOrImage, record);
    thread.start();
    thread.wait();
    // Results travel through this thread's event queue: deliver whatever the run posted.
    QCoreApplication::sendPostedEvents(&thread, QEvent::MetaCall);
    QObject::disconnect(connection);
    return results;
}

QStringList tst_ScanThreads::sorted(QStringList list)
{
    list.sort();
    return list;
}

void tst_ScanThreads::fileRuleInBothSearches_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDateTime>("modified");
    QTest::addColumn<QStringList>("suffixes"); // empty: the defaults
    QTest::addColumn<QDateTime>("end");        // invalid: the default
    QTest::addColumn<bool>("found");

    const QDateTime y2015(QDate(2015, 6, 1), QTime(12, 0));
    const QStringList none;
    QTest::newRow("jpeg") << "a.jpeg" << y2015 << none << QDateTime() << true;
    QTest::newRow("exactly 2020-01-01, default end")
        << "a.png" << QDateTime(QDate(2020, 1, 1), QTime(0, 0)) << none << QDateTime() << true;
    QTest::newRow("exactly at a chosen end") << "a.png" << QDateTime(QDate(2020, 1, 1), QTime(0, 0)) << none
                                             << QDateTime(QDate(2020, 1, 1), QTime(0, 0)) << false;
    QTest::newRow("modified just now")
        << "a.jpg" << QDateTime::currentDateTime() << none << QDateTime() << true;
    QTest::newRow("suffix left out of the list")
        << "a.bmp" << y2015 << QStringList{"jpg", "png"} << QDateTime() << false;
    QTest::newRow("suffix in a chosen list") << "a.gif" << y2015 << QStringList{"gif"} << QDateTime() << true;
}

void tst_ScanThreads::fileRuleInBothSearches()
{
    QFETCH(QString, name);
    QFETCH(QDateTime, modified);
    QFETCH(QStringList, suffixes);
    QFETCH(QDateTime, end);
    QFETCH(bool, found);

    QVERIFY(picture("deep/" + name, modified));
    QVERIFY(picture(name, modified));

    QScanFilesThread tree;
    QScanFolderThread level;
    for (QScanThreadBase* thread :
         {static_cast<QScanThreadBase*>(&tree), static_cast<QScanThreadBase*>(&level)}) {
        thread->SetScanPath(m_dir->path());
        if (!suffixes.isEmpty())
            thread->SetSuffixList(suffixes);
        if (end.isValid())
            thread->SetEndTime(end);
    }
    const QList<QStringList> treeResult = runToEnd(tree);
    QCOMPARE(treeResult.size(), 1);
    const QStringList expectedTree = found ? sorted({path("deep/" + name), path(name)}) : QStringList();
    QCOMPARE(sorted(treeResult.first()), expectedTree);

    const QList<QStringList> levelResult = runToEnd(level);
    QCOMPARE(levelResult.size(), 1);
    QStringList expectedLevel{path("deep")};
    if (found)
        expectedLevel.prepend(path(name)); // "a.*" sorts before "deep"
    QCOMPARE(levelResult.first(), expectedLevel);
}

void tst_ScanThreads::treeReportsEveryDepth()
{
    QVERIFY(picture("one/two/three/a.jpg"));
    QVERIFY(picture("one/two/three/b.PNG"));
    QVERIFY(picture("one/two/three/notes.txt"));
    QVERIFY(picture("other/c.bmp"));
    QVERIFY(picture("d.jpg"));
    QVERIFY(picture(".hidden.jpg"));
    QVERIFY(QDir().mkpath(path("empty/deeper")));
    QVERIFY(QFile::link(path("d.jpg"), path("link.jpg")));

    QScanFilesThread tree;
    tree.SetScanPath(m_dir->path());
    const QList<QStringList> result = runToEnd(tree);
    QCOMPARE(result.size(), 1);
    QCOMPARE(sorted(result.first()), sorted({path("one/two/three/a.jpg"), path("one/two/three/b.PNG"),
                                             path("other/c.bmp"), path("d.jpg")}));
}

void tst_ScanThreads::levelReportsFoldersAndPicturesInNameOrder()
{
    QVERIFY(picture("one/two/three/a.jpg"));
    QVERIFY(picture("B.jpg"));
    QVERIFY(picture("a.png"));
    QVERIFY(picture("c.txt"));
    QVERIFY(picture("D.gif"));
    QVERIFY(picture(".hidden.jpg"));
    QVERIFY(QDir().mkpath(path("Empty")));
    QVERIFY(QDir().mkpath(path("zoo")));
    QVERIFY(QDir().mkpath(path(".cache")));

    QScanFolderThread level;
    level.SetScanPath(m_dir->path());
    const QList<QStringList> result = runToEnd(level);
    QCOMPARE(result.size(), 1);
    // Folders and pictures in one name order, case ignored; nothing from below the first level.
    QCOMPARE(result.first(),
             (QStringList{path("a.png"), path("B.jpg"), path("Empty"), path("one"), path("zoo")}));
}

void tst_ScanThreads::levelKeepsSubFoldersWhateverTheRootSpelling_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("as given") << QString();
    QTest::newRow("trailing slash") << QString("/");
    QTest::newRow("dot segment") << QString("/.");
}

void tst_ScanThreads::levelKeepsSubFoldersWhateverTheRootSpelling()
{
    QFETCH(QString, suffix);
    QVERIFY(picture("sub/x.jpg"));
    QVERIFY(picture("y.jpg"));

    QScanFolderThread level;
    level.SetScanPath(m_dir->path() + suffix);
    const QList<QStringList> result = runToEnd(level);
    QCOMPARE(result.size(), 1);
    QCOMPARE(result.first(), (QStringList{path("sub"), path("y.jpg")}));
}

void tst_ScanThreads::emptyRootGivesEmptyList()
{
    QScanFilesThread tree;
    QScanFolderThread level;
    tree.SetScanPath(m_dir->path());
    level.SetScanPath(m_dir->path());
    QCOMPARE(runToEnd(tree), QList<QStringList>{QStringList()});
    QCOMPARE(runToEnd(level), QList<QStringList>{QStringList()});
}

void tst_ScanThreads::missingRootEndsWithAnEmptyList_data()
{
    QTest::addColumn<QString>("root");
    QTest::newRow("missing folder") << "missing";
    QTest::newRow("a file") << "file.jpg";
    QTest::newRow("empty path") << "";
}

void tst_ScanThreads::missingRootEndsWithAnEmptyList()
{
    QFETCH(QString, root);
    QVERIFY(picture("file.jpg"));
    const QString rootPath = root.isEmpty() ? QString() : path(root);

    QScanFilesThread tree;
    QScanFolderThread level;
    tree.SetScanPath(rootPath);
    level.SetScanPath(rootPath);
    // The pages wait behind a dialog without a cancel button: the search must answer.
    QCOMPARE(runToEnd(tree), QList<QStringList>{QStringList()});
    QCOMPARE(runToEnd(level), QList<QStringList>{QStringList()});
}

void tst_ScanThreads::scanPathEmptiesTheList()
{
    QVERIFY(picture("a.jpg"));
    QVERIFY(picture("sub/b.jpg"));
    QScanFilesThread tree;
    QScanFolderThread level;
    tree.SetScanPath(m_dir->path());
    level.SetScanPath(m_dir->path());

    const QStringList treeFirst = runToEnd(tree).value(0);
    QCOMPARE(treeFirst.size(), 2);
    const QStringList levelFirst = runToEnd(level).value(0);
    QCOMPARE(levelFirst, (QStringList{path("a.jpg"), path("sub")}));

    // Without SetScanPath a second run appends to the first one's list.
    QCOMPARE(runToEnd(tree).value(0), treeFirst + treeFirst);
    QCOMPARE(runToEnd(level).value(0), levelFirst + levelFirst);

    tree.SetScanPath(path("sub"));
    level.SetScanPath(path("sub"));
    QCOMPARE(runToEnd(tree).value(0), QStringList{path("sub/b.jpg")});
    QCOMPARE(runToEnd(level).value(0), QStringList{path("sub/b.jpg")});
}

void tst_ScanThreads::stoppedSearchIsSilentAndRestartsAtOnce()
{
    // A tree big enough that the first search is usually still walking when it is stopped.
    for (int folder = 0; folder < 40; ++folder) {
        for (int file = 0; file < 25; ++file)
            QVERIFY(writeFile(path(QStringLiteral("big/f%1/p%2.jpg").arg(folder).arg(file)), "p"));
    }
    QVERIFY(picture("small/only.jpg"));

    QScanFilesThread tree;
    QSignalSpy spy(&tree, &QScanFilesThread::findOnePicture);
    for (int round = 0; round < 3; ++round) {
        tree.SetScanPath(path("big"));
        tree.start();
        tree.Stop();
        QVERIFY(tree.isFinished());
        // The stopped search is never heard of, whether or not it had got to its end.
        QCoreApplication::sendPostedEvents(&tree, QEvent::MetaCall);
        QCOMPARE(spy.count(), 0);

        // Nor is one that had ended but whose result was still on its way when stopped.
        tree.SetScanPath(path("small"));
        tree.start();
        tree.wait();
        tree.Stop();
        QCoreApplication::sendPostedEvents(&tree, QEvent::MetaCall);
        QCOMPARE(spy.count(), 0);

        tree.SetScanPath(path("small"));
        tree.start();
        QVERIFY(spy.wait());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.takeFirst().at(0).toStringList(), QStringList{path("small/only.jpg")});
        tree.wait();
        QCoreApplication::sendPostedEvents(&tree, QEvent::MetaCall);
        QCOMPARE(spy.count(), 0);
    }
}

void tst_ScanThreads::destroyingARunningSearch()
{
    for (int file = 0; file < 300; ++file)
        QVERIFY(writeFile(path(QStringLiteral("t/%1/p.jpg").arg(file)), "p"));
    auto* tree = new QScanFilesThread;
    auto* level = new QScanFolderThread;
    tree->SetScanPath(path("t"));
    level->SetScanPath(path("t"));
    tree->start();
    level->start();
    // Each destructor stops and joins its run; a thread destroyed while running would abort.
    delete tree;
    delete level;
}

QTEST_GUILESS_MAIN(tst_ScanThreads)
#include "tst_scanthreads.moc"
