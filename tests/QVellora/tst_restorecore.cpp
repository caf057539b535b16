// SPDX-License-Identifier: MIT
#include "Records/CLastSession.h"
#include "Records/CSessionRestore.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

// The session restore on its own, without a widget: a session file as the program writes it is
// read back, its thumbnails named, its categories rebuilt in a selection, and what could not be
// shown kept for the next save.
class tst_RestoreCore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void rebuildsTheSavedWorkAndKeepsWhatIsMissing();
    void manySpellingsOfOnePictureAreOnePicture();

private:
    QString path(const QString& relative) const { return m_dir->filePath(relative); }
    QString picture(const QString& relative) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_RestoreCore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString tst_RestoreCore::picture(const QString& relative) const
{
    return TestSupport::writeFile(path(relative), "a picture's bytes") ? path(relative) : QString();
}

void tst_RestoreCore::rebuildsTheSavedWorkAndKeepsWhatIsMissing()
{
    const QString a = picture("trip/a.jpg"), b = picture("trip/b.jpg"), outside = picture("home/c.jpg");
    const QString gone = path("trip/gone.jpg"); // on a card that is not plugged in now
    CLastSession saved;
    CCategory beach{"海边", {a, gone, b}};
    beach.printSize = "A4";
    saved.categories = {beach, {"Home", {outside}}, {"点击命名", {}}};
    saved.sourceKind = CLastSession::ChosenFolder;
    saved.chosenFolder = path("trip");
    saved.cachedPaths = QStringList{a, gone, outside, b};
    QVERIFY(saved.write(path("save_last.js")));
    bool ok = false;
    const CLastSession read = CLastSession::read(path("save_last.js"), &ok);
    QVERIFY(ok);

    CSessionRestore restore;
    restore.start(read);
    QCOMPARE(restore.picturesToLoad(), (QStringList{a, gone, outside, b}));
    // The loaders made the thumbnails of what is there.
    const QStringList cached{a, outside, b};
    QCOMPARE(restore.gridPictures(cached), (QStringList{a, b}));

    CSelection selection;
    selection.addPictures(selection.addCategory("before"), {outside});
    QCOMPARE(restore.apply(&selection, cached), 1);
    QCOMPARE(restore.pending().categories.size(), 0);
    QCOMPARE(selection.count(), 4);
    // Categories come back in the file's key order, below the ones there were.
    QCOMPARE(selection.at(1).name, QString("海边"));
    QCOMPARE(selection.at(1).pictures, (QStringList{a, b}));
    QCOMPARE(selection.at(1).printSize, QString("A4"));
    QCOMPARE(selection.at(2).pictures, QStringList{outside});
    QCOMPARE(selection.at(3).name, QString("点击命名"));

    // Saved again untouched: the missing picture is still there, in its place.
    auto hasThumbnail = [&cached](const QString& picture) { return cached.contains(picture); };
    CLastSession next;
    next.categories = selection.categories();
    next.cachedPaths = cached;
    restore.keepUnshown(&next, hasThumbnail);
    QCOMPARE(next.categories.at(1).pictures, (QStringList{a, gone, b}));
    QCOMPARE(next.cachedPaths, (QStringList{a, outside, b, gone}));
    // Changed: what the category holds now, then what could not be shown.
    selection.removePictures(1, {a});
    next.categories = selection.categories();
    next.cachedPaths = cached;
    restore.keepUnshown(&next, hasThumbnail);
    QCOMPARE(next.categories.at(1).pictures, (QStringList{b, gone}));
    QCOMPARE(next.categories.at(0).pictures, QStringList{outside});
}

// A file naming one picture 20,000 ways (and once through a link) restores one picture: one
// thumbnail to make, one tile, one entry in its category, one entry when saved again.
void tst_RestoreCore::manySpellingsOfOnePictureAreOnePicture()
{
    const QString photo = picture("roll/p.jpg");
    const QString other = picture("roll/q.jpg");
    QVERIFY(!photo.isEmpty() && !other.isEmpty());
    for (int i = 0; i < 100; ++i)
        QVERIFY(QDir().mkpath(path(QString("roll/s%1").arg(i))));
    QVERIFY(QFile::link(photo, path("link.jpg")));
    QStringList spellings{photo};
    for (int dots = 0; spellings.size() < 20000; ++dots) {
        for (int sub = 0; sub < 100 && spellings.size() < 20000; ++sub)
            spellings << path("roll/") + QString("./").repeated(dots) + QString("s%1/../p.jpg").arg(sub);
    }
    spellings << path("roll//p.jpg") << path("link.jpg") << other;
    QCOMPARE(QSet<QString>(spellings.cbegin(), spellings.cend()).size(), spellings.size());

    CLastSession saved;
    saved.categories = {{"Roll", spellings.mid(19990)}};
    saved.chosenFolder = path("roll");
    saved.cachedPaths = spellings;
    QVERIFY(saved.write(path("save_last.js")));
    bool ok = false;
    CSessionRestore restore;
    restore.start(CLastSession::read(path("save_last.js"), &ok));
    QVERIFY(ok);

    const QStringList toLoad = restore.picturesToLoad();
    QCOMPARE(toLoad, (QStringList{photo, other}));
    QCOMPARE(restore.gridPictures(toLoad), (QStringList{photo, other}));
    CSelection selection;
    QCOMPARE(restore.apply(&selection, toLoad), 0);
    QCOMPARE(selection.at(0).pictures, (QStringList{photo, other}));
    QCOMPARE(selection.sortedPictureCount(), 2);

    CLastSession next;
    next.categories = selection.categories();
    next.cachedPaths = toLoad;
    restore.keepUnshown(&next, [&toLoad](const QString& picture) { return toLoad.contains(picture); });
    QCOMPARE(next.categories.at(0).pictures, (QStringList{photo, other}));
    QCOMPARE(next.cachedPaths, (QStringList{photo, other}));
}

QTEST_GUILESS_MAIN(tst_RestoreCore)
#include "tst_restorecore.moc"
