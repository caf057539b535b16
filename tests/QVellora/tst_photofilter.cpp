// SPDX-License-Identifier: MIT
#include "Pictures/CPhotoFilter.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

// The file rule that decides what a photo search finds, checked on real files with modification
// times set by the test.
class tst_PhotoFilter : public QObject
{
    Q_OBJECT
private slots:
    void suffixRule_data();
    void suffixRule();
    void timeWindow_data();
    void timeWindow();
    void defaultWindowFindsRecentPhotos_data();
    void defaultWindowFindsRecentPhotos();
    void missingFileIsRejected();

private:
    static QDateTime at(int year, int month, int day, int h = 0, int m = 0, int s = 0)
    {
        return QDateTime(QDate(year, month, day), QTime(h, m, s));
    }
    QTemporaryDir m_dir;
};

void tst_PhotoFilter::suffixRule_data()
{
    QTest::addColumn<QStringList>("suffixes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");

    const QStringList defaults{"jpg", "bmp", "png"};
    QTest::newRow("jpg") << defaults << "a.jpg" << true;
    QTest::newRow("JPG upper case") << defaults << "a.JPG" << true;
    QTest::newRow("Jpg mixed case") << defaults << "a.Jpg" << true;
    QTest::newRow("PNG upper case") << defaults << "a.PNG" << true;
    QTest::newRow("bmp") << defaults << "a.bmp" << true;
    QTest::newRow("jpeg is a jpg") << defaults << "a.jpeg" << true;
    QTest::newRow("JPEG upper case") << defaults << "a.JPEG" << true;
    QTest::newRow("gif") << defaults << "a.gif" << false;
    QTest::newRow("tif") << defaults << "a.tif" << false;
    QTest::newRow("no suffix") << defaults << "jpg" << false;
    QTest::newRow("only the last suffix counts") << defaults << "a.jpg.txt" << false;
    QTest::newRow("dotted name") << defaults << "trip.2015.png" << true;
    QTest::newRow("jpeg without jpg in the list") << QStringList{"png"} << "a.jpeg" << false;
    QTest::newRow("jpg not in the list") << QStringList{"png", "bmp"} << "a.jpg" << false;
    QTest::newRow("list entries compared lower-cased") << QStringList{"PNG"} << "a.png" << true;
    QTest::newRow("empty list takes nothing") << QStringList() << "a.jpg" << false;
    QTest::newRow("jpeg entry does not take jpg") << QStringList{"jpeg"} << "a.jpg" << false;
}

void tst_PhotoFilter::suffixRule()
{
    QFETCH(QStringList, suffixes);
    QFETCH(QString, name);
    QFETCH(bool, accepted);

    const QString path = m_dir.filePath(name);
    QVERIFY(TestSupport::writeFile(path, "x"));
    QVERIFY(TestSupport::setModified(path, at(2015, 6, 1)));
    CPhotoFilter filter;
    filter.setSuffixes(suffixes);
    QCOMPARE(filter.accepts(QFileInfo(path)), accepted);
}

void tst_PhotoFilter::timeWindow_data()
{
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QDateTime>("modified");
    QTest::addColumn<bool>("accepted");

    const QDateTime begin = at(2000, 1, 1);
    const QDateTime end = at(2020, 1, 1);
    QTest::newRow("inside") << begin << end << at(2015, 3, 4, 12) << true;
    QTest::newRow("exactly at the begin") << begin << end << begin << false;
    QTest::newRow("a second after the begin") << begin << end << begin.addSecs(1) << true;
    QTest::newRow("before the begin") << begin << end << at(1999, 12, 31, 23, 59, 59) << false;
    QTest::newRow("exactly at the end") << begin << end << end << false;
    QTest::newRow("a second before the end") << begin << end << end.addSecs(-1) << true;
    QTest::newRow("after the end") << begin << end << at(2021, 5, 5) << false;
    QTest::newRow("window ends before it begins") << end << begin << at(2015, 1, 1) << false;
}

void tst_PhotoFilter::timeWindow()
{
    QFETCH(QDateTime, begin);
    QFETCH(QDateTime, end);
    QFETCH(QDateTime, modified);
    QFETCH(bool, accepted);

    const QString path = m_dir.filePath("window.png");
    QVERIFY(TestSupport::writeFile(path, "x"));
    QVERIFY(TestSupport::setModified(path, modified));
    CPhotoFilter filter;
    filter.setBeginTime(begin);
    filter.setEndTime(end);
    QCOMPARE(filter.accepts(QFileInfo(path)), accepted);
}

void tst_PhotoFilter::defaultWindowFindsRecentPhotos_data()
{
    QTest::addColumn<QDateTime>("modified");
    QTest::addColumn<bool>("accepted");

    const QDate today = QDate::currentDate();
    QTest::newRow("2000-01-01 00:00 is outside") << at(2000, 1, 1) << false;
    QTest::newRow("2015") << at(2015, 7, 1) << true;
    QTest::newRow("2020-01-01 00:00") << at(2020, 1, 1) << true;
    QTest::newRow("2024") << at(2024, 2, 29, 8) << true;
    QTest::newRow("today, first second") << QDateTime(today, QTime(0, 0)) << true;
    QTest::newRow("today, last second") << QDateTime(today, QTime(23, 59, 59)) << true;
    QTest::newRow("tomorrow") << QDateTime(today.addDays(1), QTime(0, 0)) << false;
}

void tst_PhotoFilter::defaultWindowFindsRecentPhotos()
{
    QFETCH(QDateTime, modified);
    QFETCH(bool, accepted);

    const QString path = m_dir.filePath("recent.jpg");
    QVERIFY(TestSupport::writeFile(path, "x"));
    QVERIFY(TestSupport::setModified(path, modified));
    QCOMPARE(CPhotoFilter().accepts(QFileInfo(path)), accepted);
}

void tst_PhotoFilter::missingFileIsRejected()
{
    const QString path = m_dir.filePath("gone.jpg");
    QVERIFY(TestSupport::writeFile(path, "x"));
    const QFileInfo info(path);
    const CPhotoFilter filter;
    QVERIFY(filter.accepts(info));
    QVERIFY(QFile::remove(path));
    QVERIFY(!filter.accepts(QFileInfo(path)));
}

QTEST_GUILESS_MAIN(tst_PhotoFilter)
#include "tst_photofilter.moc"
