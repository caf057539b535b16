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
