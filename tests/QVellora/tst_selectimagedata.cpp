// SPDX-License-Identifier: MIT
#include "Pictures/CSelectImage.h"
#include "Pictures/CSelectImageData.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_SelectImageData : public QObject
{
    Q_OBJECT
private slots:
    void addKeepsOneRecordPerPath();
    void addRefusesEmptyPathAndNullThumbnail();
    void thumbnailPointersStayValid();
    void budgetLetsTheLeastRecentlyUsedGo();
    void thumbnailsJustUsedOutlastTheBudget();
    void findPaths();
    void loadImage_data();
    void loadImage();
};

static QPixmap filled(const QSize& size, const QColor& colour)
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

void tst_SelectImageData::addKeepsOneRecordPerPath()
{
    CSelectImageData cache;
    QVERIFY(cache.AddImage("/p/a.jpg", filled(QSize(10, 5), Qt::red)));
    QVERIFY(!cache.AddImage("/p/a.jpg", filled(QSize(20, 5), Qt::blue)));
    QVERIFY(cache.AddImage("/p/A.jpg", filled(QSize(30, 5), Qt::green))); // paths are case-sensitive
    QCOMPARE(cache.Count(), 2);
    QCOMPARE(cache.FindImage("/p/a.jpg")->size(), QSize(10, 5)); // the first thumbnail stays
    QCOMPARE(cache.FindImage("/p/a.jpg")->toImage().pixelColor(0, 0), QColor(Qt::red));
    QVERIFY(!cache.FindImage("/p/b.jpg"));
    QCOMPARE(cache.GetSelectImageData().at(1)->GetImagePath(), QString("/p/A.jpg"));
}

void tst_SelectImageData::addRefusesEmptyPathAndNullThumbnail()
{
    CSelectImageData cache;
    QVERIFY(!cache.AddImage(QString(), filled(QSize(4, 4), Qt::red)));
    QVERIFY(!cache.AddImage("/p/a.jpg", QPixmap()));
    QCOMPARE(cache.Count(), 0);
    // A null thumbnail must not block the path: a later good one is still taken.
    QVERIFY(cache.AddImage("/p/a.jpg", filled(QSize(4, 4), Qt::red)));
}

void tst_SelectImageData::thumbnailPointersStayValid()
{
    CSelectImageData cache;
    QVERIFY(cache.AddImage("/p/first.jpg", filled(QSize(7, 3), Qt::red)));
    QPixmap* first = cache.FindImage("/p/first.jpg");
    for (int i = 0; i < 500; ++i)
        QVERIFY(cache.AddImage(QStringLiteral("/p/%1.jpg").arg(i), filled(QSize(2, 2), Qt::blue)));
    QCOMPARE(cache.FindImage("/p/first.jpg"), first);
    QCOMPARE(first->size(), QSize(7, 3));
    QCOMPARE(cache.GetSelectImageData().first()->GetImage(), first);
}

void tst_SelectImageData::budgetLetsTheLeastRecentlyUsedGo()
{
    // 10x10 thumbnails of 32 bits: 400 bytes each, room for three.
    CSelectImageData cache;
    cache.SetThumbnailBudget(1200);
    QVERIFY(cache.AddImage("/p/0.jpg", filled(QSize(10, 10), Qt::red)));
    QPixmap* first = cache.FindImage("/p/0.jpg");
    QVERIFY(cache.AddImage("/p/1.jpg", filled(QSize(10, 10), Qt::green)));
    QVERIFY(cache.AddImage("/p/2.jpg", filled(QSize(10, 10), Qt::blue)));
    // The first is used again, so the second is the one let go for the fourth.
    QVERIFY(cache.FindImage("/p/0.jpg"));
    QVERIFY(cache.AddImage("/p/3.jpg", filled(QSize(10, 10), Qt::yellow)));
    QVERIFY(cache.FindImage("/p/0.jpg"));
    QVERIFY(!cache.FindImage("/p/1.jpg"));
    QVERIFY(cache.FindImage("/p/2.jpg") && cache.FindImage("/p/3.jpg"));
    QCOMPARE(cache.ThumbnailBytes(), qint64(1200));
    // Every record stays, in its place, with or without its thumbnail.
    QCOMPARE(cache.Count(), 4);
    QVERIFY(cache.Contains("/p/1.jpg"));
    QCOMPARE(cache.FindImagePaths("/p/").size(), 4);
    QCOMPARE(cache.GetSelectImageData().at(1)->GetImagePath(), QString("/p/1.jpg"));

    // A thumbnail let go is taken again, and the least recently used of the others goes
    // instead: the first, since the looks above used it before the others.
    QVERIFY(cache.AddImage("/p/1.jpg", filled(QSize(10, 10), Qt::cyan)));
    QCOMPARE(cache.FindImage("/p/1.jpg")->toImage().pixelColor(0, 0), QColor(Qt::cyan));
    QVERIFY(!cache.FindImage("/p/0.jpg"));
    QVERIFY(cache.FindImage("/p/2.jpg"));
    QCOMPARE(cache.Count(), 4);
    QCOMPARE(cache.ThumbnailBytes(), qint64(1200));

    // One thumbnail larger than the whole budget is still kept while it is the newest; the
    // pointer handed out for a record whose thumbnail went stays valid and reads as null.
    QVERIFY(cache.AddImage("/p/big.jpg", filled(QSize(40, 40), Qt::black)));
    QVERIFY(cache.FindImage("/p/big.jpg"));
    QCOMPARE(cache.ThumbnailBytes(), qint64(40 * 40 * 4));
    QVERIFY(first->isNull());
    QVERIFY(!cache.FindImage("/p/2.jpg"));

    // Lifting the budget keeps what is there and lets nothing else go.
    cache.SetThumbnailBudget(0);
    for (int i = 0; i < 20; ++i)
        QVERIFY(cache.AddImage(QStringLiteral("/q/%1.jpg").arg(i), filled(QSize(10, 10), Qt::red)));
    QVERIFY(cache.FindImage("/p/big.jpg"));
    QCOMPARE(cache.ThumbnailBytes(), qint64(40 * 40 * 4 + 20 * 400));
}

void tst_SelectImageData::thumbnailsJustUsedOutlastTheBudget()
{
    // Room for two. What was looked up in the last 300 ms is on screen and stays; what was only
    // filed may go, so a large drop of pictures nobody sees yet keeps within the budget.
    CSelectImageData cache;
    cache.SetThumbnailBudget(800, 300);
    QVERIFY(cache.AddImage("/p/0.jpg", filled(QSize(10, 10), Qt::red)));
    QVERIFY(cache.AddImage("/p/1.jpg", filled(QSize(10, 10), Qt::red)));
    QVERIFY(cache.FindImage("/p/0.jpg") && cache.FindImage("/p/1.jpg"));
    for (int i = 2; i < 12; ++i)
        QVERIFY(cache.AddImage(QStringLiteral("/p/%1.jpg").arg(i), filled(QSize(10, 10), Qt::red)));
    QVERIFY(cache.FindImage("/p/0.jpg") && cache.FindImage("/p/1.jpg") && cache.FindImage("/p/11.jpg"));
    for (int i = 2; i < 11; ++i)
        QVERIFY(!cache.FindImage(QStringLiteral("/p/%1.jpg").arg(i)));
    QCOMPARE(cache.ThumbnailBytes(), qint64(1200));
    // Later only one of them is looked at again; the next thumbnail lets the others go.
    QTest::qWait(400);
    QVERIFY(cache.FindImage("/p/1.jpg"));
    QVERIFY(cache.AddImage("/p/12.jpg", filled(QSize(10, 10), Qt::red)));
    QVERIFY(!cache.FindImage("/p/0.jpg") && !cache.FindImage("/p/11.jpg"));
    QVERIFY(cache.FindImage("/p/1.jpg") && cache.FindImage("/p/12.jpg"));
    QCOMPARE(cache.ThumbnailBytes(), qint64(800));
}

void tst_SelectImageData::findPaths()
{
    CSelectImageData cache;
    for (const char* path : {"/trip/IMG_1.jpg", "/home/IMG_10.jpg", "/trip/img_2.jpg", "/trip/sub"})
        QVERIFY(cache.AddImage(path, filled(QSize(2, 2), Qt::red)));
    QCOMPARE(cache.FindImagePaths("/trip"), (QStringList{"/trip/IMG_1.jpg", "/trip/img_2.jpg", "/trip/sub"}));
    QCOMPARE(cache.FindImagePaths("IMG_1"), (QStringList{"/trip/IMG_1.jpg", "/home/IMG_10.jpg"}));
    QCOMPARE(cache.FindImagePaths(QString()).size(), 4);
    QVERIFY(cache.FindImagePaths("nothing").isEmpty());
}

void tst_SelectImageData::loadImage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("thumbnail");

    QTest::newRow("landscape jpg") << "a.jpg" << QSize(1200, 900) << QSize(270, 202);
    QTest::newRow("small png is enlarged") << "b.png" << QSize(100, 50) << QSize(270, 135);
    QTest::newRow("portrait bmp") << "c.bmp" << QSize(300, 600) << QSize(135, 270);
    QTest::newRow("text file") << "d.jpg" << QSize() << QSize();
}

void tst_SelectImageData::loadImage()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QSize, thumbnail);

    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (size.isValid())
        QVERIFY(TestSupport::writeImage(path, size));
    else
        QVERIFY(TestSupport::writeFile(path, "not a picture"));

    CSelectImageData cache;
    QCOMPARE(cache.LoadImage(path), thumbnail.isValid());
    if (!thumbnail.isValid()) {
        QCOMPARE(cache.Count(), 0);
        return;
    }
    QCOMPARE(thumbnail, size.scaled(270, 270, Qt::KeepAspectRatio));
    QCOMPARE(cache.FindImage(path)->size(), thumbnail);
    QCOMPARE(cache.GetSelectImageData().first()->GetDate(), QFileInfo(path).lastModified().date());
}

QTEST_MAIN(tst_SelectImageData)
#include "tst_selectimagedata.moc"
