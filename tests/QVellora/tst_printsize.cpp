// SPDX-License-Identifier: MIT
#include "Pictures/CPrintSize.h"

#include <QtTest>

// How sharp a picture prints at each size: the limiting side decides, a portrait picture is turned
// to fit a landscape print, A4 is measured in millimetres, and the grade follows the shown figure.
class tst_PrintSize : public QObject
{
    Q_OBJECT
private slots:
    void resolutionAndGrade_data();
    void resolutionAndGrade();
    void keysRoundTripAndUnknownOnesMeanSixInch();
};

Q_DECLARE_METATYPE(CPrintSize::Grade)

void tst_PrintSize::resolutionAndGrade_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<int>("dpi"); // worked out by hand: min(long px / long in, short px / short in)
    QTest::addColumn<CPrintSize::Grade>("grade");
    QTest::addColumn<QString>("text");

    using G = CPrintSize::Grade;
    QTest::newRow("1800x1200 at 6寸")
        << "6寸" << QSize(1800, 1200) << 300 << G::Good << "6寸 · 1800×1200 像素 · 300 dpi";
    QTest::newRow("portrait uses its long side")
        << "6寸" << QSize(1200, 1800) << 300 << G::Good << "6寸 · 1200×1800 像素 · 300 dpi";
    QTest::newRow("1200x900 at 6寸") << "6寸" << QSize(1200, 900) << 200 << G::Acceptable
                                     << "6寸 · 1200×900 像素 · 200 dpi";
    // A panorama: plenty along the long side, the short side limits (900 / 4 = 225).
    QTest::newRow("short side limits")
        << "6寸" << QSize(3000, 900) << 225 << G::Acceptable << "6寸 · 3000×900 像素 · 225 dpi";
    // A4 is 297x210 mm = 11.69x8.27 in: the A4 scan at 300 dpi is 3508x2480.
    QTest::newRow("A4 scan") << "A4" << QSize(3508, 2480) << 300 << G::Good
                             << "A4 · 3508×2480 像素 · 300 dpi";
    QTest::newRow("A4 portrait phone shot")
        << "A4" << QSize(3024, 4032) << 345 << G::Good << "A4 · 3024×4032 像素 · 345 dpi";
    QTest::newRow("A4 from 1600x1200")
        << "A4" << QSize(1600, 1200) << 137 << G::Poor << "A4 · 1600×1200 像素 · 137 dpi";
    QTest::newRow("5寸") << "5寸" << QSize(1050, 700) << 200 << G::Acceptable
                         << "5寸 · 1050×700 像素 · 200 dpi";
    QTest::newRow("12寸") << "12寸" << QSize(4000, 3000) << 300 << G::Good
                          << "12寸 · 4000×3000 像素 · 300 dpi";
    QTest::newRow("10寸 poor") << "10寸" << QSize(1024, 768) << 96 << G::Poor
                               << "10寸 · 1024×768 像素 · 96 dpi";
    // The grade's edges, on the rounded figure the user sees.
    QTest::newRow("299 is acceptable")
        << "6寸" << QSize(1794, 1196) << 299 << G::Acceptable << "6寸 · 1794×1196 像素 · 299 dpi";
    QTest::newRow("150 is acceptable")
        << "6寸" << QSize(900, 600) << 150 << G::Acceptable << "6寸 · 900×600 像素 · 150 dpi";
    QTest::newRow("149 is poor") << "6寸" << QSize(894, 596) << 149 << G::Poor
                                 << "6寸 · 894×596 像素 · 149 dpi";
    QTest::newRow("7寸 and 8寸 differ")
        << "8寸" << QSize(2100, 1500) << 250 << G::Acceptable << "8寸 · 2100×1500 像素 · 250 dpi";
    QTest::newRow("7寸") << "7寸" << QSize(2100, 1500) << 300 << G::Good << "7寸 · 2100×1500 像素 · 300 dpi";
}

void tst_PrintSize::resolutionAndGrade()
{
    QFETCH(QString, key);
    QFETCH(QSize, pixels);
    QFETCH(int, dpi);
    QFETCH(CPrintSize::Grade, grade);
    QFETCH(QString, text);

    const CPrintSize& size = CPrintSize::byKey(key);
    QCOMPARE(size.label(), key);
    QCOMPARE(qRound(size.dpi(pixels)), dpi);
    QCOMPARE(size.grade(pixels), grade);
    QCOMPARE(size.describe(pixels), text);
}

void tst_PrintSize::keysRoundTripAndUnknownOnesMeanSixInch()
{
    QStringList labels;
    for (const CPrintSize& size : CPrintSize::all()) {
        labels << size.label();
        QCOMPARE(CPrintSize::byKey(size.key()).label(), size.label());
    }
    QCOMPARE(labels, QStringList({"5寸", "6寸", "7寸", "8寸", "10寸", "12寸", "A4"}));
    QCOMPARE(CPrintSize::standard().label(), QStringLiteral("6寸"));
    // A record written before sizes existed has no key; a later version may know more sizes.
    QCOMPARE(CPrintSize::byKey(QString()).label(), QStringLiteral("6寸"));
    QCOMPARE(CPrintSize::byKey(QStringLiteral("9寸")).label(), QStringLiteral("6寸"));
    QCOMPARE(CPrintSize::standard().dpi(QSize()), 0.0);
}

QTEST_GUILESS_MAIN(tst_PrintSize)
#include "tst_printsize.moc"
