// SPDX-License-Identifier: MIT
#include "Selection/CSelection.h"

#include <QSignalSpy>
#include <QtTest>

// The user's selection as a plain model, without widgets: what each operation keeps and what it
// announces. The pages are only views of it, so a fault here shows on every page at once.
class tst_Selection : public QObject
{
    Q_OBJECT
private slots:
    void freeRowRuleAndColoursInTurn();
    void picturesComeAndGoOnceEach();
    void renameAndQueries();
    void printSizeAnnouncedOnlyWhenItChanges();
};

void tst_Selection::freeRowRuleAndColoursInTurn()
{
    CSelection selection;
    QSignalSpy added(&selection, &CSelection::categoryAdded);
    // No category at all: the rule adds the free one.
    QVERIFY(selection.keepFreeRow(QStringLiteral("点击命名")));
    QCOMPARE(selection.at(0).name, QStringLiteral("点击命名"));
    // A free row exists: nothing is added, however often the rule runs.
    QVERIFY(!selection.keepFreeRow());
    QVERIFY(!selection.keepFreeRow());
    QCOMPARE(selection.count(), 1);

    selection.addPictures(0, {"/p/a.jpg"});
    QVERIFY(selection.keepFreeRow());
    QCOMPARE(selection.count(), 2);
    // An empty category in the middle is the free row too.
    selection.addPictures(1, {"/p/b.jpg"});
    selection.addCategory();
    selection.addPictures(2, {"/p/c.jpg"});
    selection.clearPictures(1);
    QVERIFY(!selection.keepFreeRow());
    QCOMPARE(added.count(), 3);
    QCOMPARE(added.at(2).at(0).toInt(), 2);

    // Twelve colours in turn, then again from the first.
    const QList<QColor> colours = CSelection::colors();
    QCOMPARE(colours.size(), 12);
    QCOMPARE(QSet<QRgb>({colours.at(0).rgb(), colours.at(5).rgb(), colours.at(11).rgb()}).size(), 3);
    while (selection.count() < 14)
        selection.addCategory();
    for (int row = 0; row < 14; ++row)
        QCOMPARE(selection.at(row).color, colours.at(row % 12));
}

void tst_Selection::picturesComeAndGoOnceEach()
{
    CSelection selection;
    const int beach = selection.addCategory(QStringLiteral("海边"));
    const int family = selection.addCategory(QStringLiteral("Family"));
    QSignalSpy added(&selection, &CSelection::picturesAdded);
    QSignalSpy removed(&selection, &CSelection::picturesRemoved);
    QSignalSpy changed(&selection, &CSelection::changed);

    // Order kept, each path once, an empty path never a picture.
    QCOMPARE(selection.addPictures(beach, {"/p/b.jpg", "/p/a.jpg", "/p/b.jpg", ""}),
             (QStringList{"/p/b.jpg", "/p/a.jpg"}));
    QCOMPARE(selection.addPictures(beach, {"/p/a.jpg", "/p/c.jpg"}), QStringList{"/p/c.jpg"});
    QCOMPARE(selection.at(beach).pictures, (QStringList{"/p/b.jpg", "/p/a.jpg", "/p/c.jpg"}));
    QCOMPARE(added.count(), 2);
    QCOMPARE(added.at(1).at(1).toStringList(), QStringList{"/p/c.jpg"});

    // The same picture in two categories: each holds it, and leaving one keeps it in the other.
    selection.addPictures(family, {"/p/a.jpg"});
    QCOMPARE(selection.rowsHolding("/p/a.jpg"), (QList<int>{beach, family}));
    QCOMPARE(selection.sortedPictureCount(), 3);
    QCOMPARE(selection.removePictures(beach, {"/p/a.jpg"}), QStringList{"/p/a.jpg"});
    QCOMPARE(selection.rowsHolding("/p/a.jpg"), QList<int>{family});
    QCOMPARE(selection.at(beach).pictures, (QStringList{"/p/b.jpg", "/p/c.jpg"}));
    QCOMPARE(removed.count(), 1);

    // A picture in no category, or a row that is not there: nothing happens and nothing is said,
    // so views that hand their gestures back cannot loop.
    const int changesBefore = changed.count();
    QVERIFY(selection.removePictures(beach, {"/p/a.jpg", "/p/nowhere.jpg"}).isEmpty());
    QVERIFY(selection.addPictures(beach, {"/p/b.jpg"}).isEmpty());
    QVERIFY(selection.addPictures(7, {"/p/x.jpg"}).isEmpty());
    QVERIFY(selection.removePictures(-1, {"/p/b.jpg"}).isEmpty());
    QCOMPARE(removed.count(), 1);
    QCOMPARE(changed.count(), changesBefore);

    QCOMPARE(selection.clearPictures(beach), (QStringList{"/p/b.jpg", "/p/c.jpg"}));
    QVERIFY(selection.at(beach).pictures.isEmpty());
    QVERIFY(!selection.contains(beach, "/p/b.jpg"));
    // Taken out and put back: it comes back at the end, once.
    selection.addPictures(family, {"/p/b.jpg"});
    selection.removePictures(family, {"/p/a.jpg"});
    selection.addPictures(family, {"/p/a.jpg"});
    QCOMPARE(selection.at(family).pictures, (QStringList{"/p/b.jpg", "/p/a.jpg"}));
}

void tst_Selection::renameAndQueries()
{
    CSelection selection;
    selection.addCategory(QStringLiteral("Spring"));
    selection.addCategory(QStringLiteral("Summer"));
    selection.addCategory(QStringLiteral("Autumn"));
    QSignalSpy renamed(&selection, &CSelection::renamed);
    selection.rename(1, QStringLiteral("Family (家人) 2024 海边旅行"));
    selection.rename(1, QStringLiteral("Family (家人) 2024 海边旅行"));
    selection.rename(9, QStringLiteral("nowhere"));
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(selection.at(1).name, QStringLiteral("Family (家人) 2024 海边旅行"));
    QCOMPARE(selection.at(9), CCategory());

    // Only categories with pictures go on to the category page and the export, in order.
    selection.addPictures(2, {"/p/a.jpg"});
    selection.addPictures(0, {"/p/b.jpg"});
    QCOMPARE(selection.filledRows(), (QList<int>{0, 2}));
    const QList<CCategory> filled = selection.filledCategories();
    QCOMPARE(filled.size(), 2);
    QCOMPARE(filled.at(1).name, QStringLiteral("Autumn"));
    QCOMPARE(filled.at(1).color, CSelection::colors().at(2));
}

void tst_Selection::printSizeAnnouncedOnlyWhenItChanges()
{
    CSelection selection;
    selection.addCategory();
    selection.addCategory();
    QCOMPARE(selection.at(1).printSize, QStringLiteral("6寸"));
    QSignalSpy sized(&selection, &CSelection::printSizeChanged);
    QSignalSpy changed(&selection, &CSelection::changed);
    selection.setPrintSize(1, QStringLiteral("A4"));
    selection.setPrintSize(1, QStringLiteral("A4"));
    selection.setPrintSize(9, QStringLiteral("8寸"));
    QCOMPARE(sized.count(), 1);
    QCOMPARE(sized.first(), (QVariantList{1, QStringLiteral("A4")}));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(selection.at(0).printSize, QStringLiteral("6寸"));
    // A key no size has is the default size, announced as such.
    selection.setPrintSize(1, QStringLiteral("13寸"));
    QCOMPARE(selection.at(1).printSize, QStringLiteral("6寸"));
    QCOMPARE(sized.last(), (QVariantList{1, QStringLiteral("6寸")}));
}

QTEST_APPLESS_MAIN(tst_Selection)
#include "tst_selection.moc"
