// SPDX-License-Identifier: MIT
#include "AnsweredDialogs.h"
#include "CProgramFiles.h"
#include "CatePage/QCatePage.h"
#include "CategoryParts.h"
#include "EditPage/QCullingKeys.h"
#include "EditPage/QEditPage.h"
#include "EditPageActions.h"
#include "Editing/QSelectionEditor.h"
#include "InitPage/QInitPage.h"
#include "OtherWidget/QDrawImageButton.h"
#include "OtherWidget/QOutPutImageWidget.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewImageDlg.h"
#include "PhotoView/QPhotoViewImageWidget.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Records/CLastSession.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"
#include "mainwindow.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

// Sorting from the keyboard on the real window: keys on the edit page's grid and in its viewer,
// undo and redo through the edit menu's keys, the status bar's counts.
class tst_KeyboardSorting : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void numberKeysSortAndUndoRedoFollow();
    void aKeyPastTheRowsOnlyNamesTheFreeRow_data();
    void aKeyPastTheRowsOnlyNamesTheFreeRow();
    void viewerStepsInGridOrderAndSortsTheShownPicture();
    void undoOfARenameRestoresTheOldName();
    void dropsAndDeletionsOnRowsAreStepsToo();
    void aDeletionOnTheCategoryPageIsAStep();
    void aRestoredSessionCannotBeUndone();
    void eachMenuEntryDoesWhatItsKeysDo();

private:
    // Paints count pictures, scans them through the start page, shows and activates the window;
    // returns the pictures in the grid's order.
    QStringList scan(MainWindow& window, int count);
    static QList<QColor> marks(QPhotoViewListWidget* grid, int row)
    {
        return grid->model()->index(row, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>();
    }
    static void key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(widget, key, modifiers);
    }

    QScopedPointer<QTemporaryDir> m_dir;
    std::unique_ptr<AnsweredDialogs> m_answers;
};

void tst_KeyboardSorting::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    m_answers = std::make_unique<AnsweredDialogs>(m_dir->filePath("records"));
}

void tst_KeyboardSorting::cleanup()
{
    m_answers.reset();
}

QStringList tst_KeyboardSorting::scan(MainWindow& window, int count)
{
    QStringList paths = TestSupport::writePhotos(m_dir->filePath("photos"), count);
    if (paths.isEmpty())
        return {};
    window.resize(1400, 900);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return {};
    m_answers->folder = m_dir->filePath("photos");
    QTest::mouseClick(window.initPage()->GetScanButton(), Qt::LeftButton);
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(window.editPage(), "photoList");
    if (!QTest::qWaitFor([&] { return grid->count() == count; }, 20000))
        return {};
    // The search's wait dialog took the activation; the window's keys need it back.
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window))
        return {};
    grid->setFocus();
    QStringList shown;
    for (int row = 0; row < grid->count(); ++row)
        shown << grid->PathAt(row);
    std::sort(paths.begin(), paths.end());
    QStringList sorted = shown;
    std::sort(sorted.begin(), sorted.end());
    return sorted == paths ? shown : QStringList();
}

void tst_KeyboardSorting::numberKeysSortAndUndoRedoFollow()
{
    MainWindow window;
    const QStringList p = scan(window, 6);
    QVERIFY(!p.isEmpty());
    QEditPage* page = window.editPage();
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(page, "photoList");
    CSelection* selection = page->selection();
    QLabel* counts = window.countsLabel();
    QCOMPARE(counts->text(), QString("6 张照片 · 已勾选 0 张 · 已分类 0 张"));

    // Space ticks the current tile, as a click does; the arrows move it.
    key(grid, Qt::Key_Home);
    key(grid, Qt::Key_Space);
    key(grid, Qt::Key_Right);
    key(grid, Qt::Key_Right);
    key(grid, Qt::Key_Space);
    key(grid, Qt::Key_Left);
    key(grid, Qt::Key_Space);
    QCOMPARE(grid->GetCheckedPaths(), (QStringList{p[0], p[2], p[1]}));
    QCOMPARE(counts->text(), QString("6 张照片 · 已勾选 3 张 · 已分类 0 张"));

    key(grid, Qt::Key_1);
    const QColor first = selection->at(0).color;
    QCOMPARE(selection->at(0).pictures, (QStringList{p[0], p[2], p[1]}));
    for (int row : {0, 1, 2})
        QCOMPARE(marks(grid, row), QList<QColor>{first});
    QCOMPARE(marks(grid, 3), QList<QColor>{});
    QVERIFY(grid->GetCheckedPaths().isEmpty());
    QCOMPARE(selection->count(), 2); // the free row
    QCOMPARE(counts->text(), QString("6 张照片 · 已勾选 0 张 · 已分类 3 张"));
    QCOMPARE(window.undoAction()->text(), QString("撤销 放入 类别 1 (3 张)"));

    // One key, one step: the pictures and the free row it brought go again.
    key(grid, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(selection->at(0).pictures.isEmpty());
    for (int row : {0, 1, 2})
        QCOMPARE(marks(grid, row), QList<QColor>{});
    QCOMPARE(selection->count(), 1);
    QCOMPARE(CategoryParts::rowCount(page), 1);
    QCOMPARE(counts->text(), QString("6 张照片 · 已勾选 0 张 · 已分类 0 张"));
    QCOMPARE(window.redoAction()->text(), QString("重做 放入 类别 1 (3 张)"));

    key(grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(selection->at(0).pictures, (QStringList{p[0], p[2], p[1]}));
    QCOMPARE(marks(grid, 1), QList<QColor>{first});
    QCOMPARE(CategoryParts::pictureCount(CategoryParts::row(page, 0)), 3);
    QCOMPARE(selection->count(), 2);

    // Without ticks the keys act on the current tile (p1): into the free row, out of the first,
    // then out of every category.
    key(grid, Qt::Key_2);
    const QColor second = selection->at(1).color;
    QCOMPARE(selection->at(1).pictures, QStringList{p[1]});
    QCOMPARE(marks(grid, 1), (QList<QColor>{first, second}));
    key(grid, Qt::Key_1, Qt::ShiftModifier);
    QCOMPARE(selection->at(0).pictures, (QStringList{p[0], p[2]}));
    QCOMPARE(window.undoAction()->text(), QString("撤销 移出 类别 1 (1 张)"));
    key(grid, Qt::Key_0);
    QVERIFY(selection->rowsHolding(p[1]).isEmpty());
    QCOMPARE(marks(grid, 1), QList<QColor>{});
    QCOMPARE(counts->text(), QString("6 张照片 · 已勾选 0 张 · 已分类 2 张"));
    key(grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(selection->rowsHolding(p[1]), QList<int>{1});
    // Shift+2 as a US keyboard sends it: the symbol above the digit.
    key(grid, Qt::Key_At, Qt::ShiftModifier);
    QVERIFY(selection->rowsHolding(p[1]).isEmpty());
    key(grid, Qt::Key_Z, Qt::ControlModifier);
    key(grid, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(selection->rowsHolding(p[1]).isEmpty());

    // Ctrl+A ticks every tile, Esc none.
    key(grid, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(grid->GetCheckedRows().size(), 6);
    QCOMPARE(counts->text(), QString("6 张照片 · 已勾选 6 张 · 已分类 2 张"));
    key(grid, Qt::Key_Escape);
    QVERIFY(grid->GetCheckedRows().isEmpty());

    // Up and down keep the column; End reaches the last tile.
    key(grid, Qt::Key_Home);
    key(grid, Qt::Key_Down);
    const int below = grid->GetCurrentRow();
    QVERIFY(below > 0);
    const QRect belowRect = grid->visualRect(grid->model()->index(below, 0));
    const QRect firstRect = grid->visualRect(grid->model()->index(0, 0));
    QCOMPARE(belowRect.left(), firstRect.left());
    QVERIFY(belowRect.top() > firstRect.top());
    key(grid, Qt::Key_Up);
    QCOMPARE(grid->GetCurrentRow(), 0);
    key(grid, Qt::Key_End);
    QCOMPARE(grid->GetCurrentRow(), 5);
}

void tst_KeyboardSorting::aKeyPastTheRowsOnlyNamesTheFreeRow_data()
{
    QTest::addColumn<int>("filled");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("four filled, the free row is the fifth") << 4 << 6;
    QTest::newRow("three filled, the free row is the fourth") << 3 << 4;
}

void tst_KeyboardSorting::aKeyPastTheRowsOnlyNamesTheFreeRow()
{
    QFETCH(int, filled);
    QFETCH(int, rowsAfter);
    MainWindow window;
    const QStringList p = scan(window, 6);
    QVERIFY(!p.isEmpty());
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(window.editPage(), "photoList");
    CSelection* selection = window.editPage()->selection();
    key(grid, Qt::Key_Home);
    for (int i = 0; i < filled; ++i) {
        key(grid, Qt::Key(Qt::Key_1 + i));
        key(grid, Qt::Key_Right);
    }
    QCOMPARE(selection->filledRows().size(), filled);
    QCOMPARE(selection->count(), filled + 1);

    key(grid, Qt::Key_5);
    QCOMPARE(selection->count(), rowsAfter);
    QCOMPARE(CategoryParts::rowCount(window.editPage()), rowsAfter);
    QCOMPARE(selection->rowsHolding(p[filled]), filled == 4 ? QList<int>{4} : QList<int>{});
    // Past every row, free one included: nothing.
    key(grid, Qt::Key_7);
    QCOMPARE(selection->count(), rowsAfter);
    QCOMPARE(selection->sortedPictureCount(), filled == 4 ? 5 : 3);
}

void tst_KeyboardSorting::viewerStepsInGridOrderAndSortsTheShownPicture()
{
    MainWindow window;
    const QStringList p = scan(window, 4);
    QVERIFY(!p.isEmpty());
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(window.editPage(), "photoList");
    CSelection* selection = window.editPage()->selection();
    QPhotoViewImageDlg* viewer = grid->GetViewImageDlg();
    // p3 in the first category; the second is the free row.
    key(grid, Qt::Key_End);
    key(grid, Qt::Key_1);
    const QColor first = selection->at(0).color;

    QStringList seen;
    QList<QList<QColor>> shownMarks;
    m_answers->exec = [&](QDialog* dialog) {
        if (dialog != viewer)
            return int(QDialog::Rejected);
        seen << viewer->GetImagePath();
        key(viewer, Qt::Key_Right);
        seen << viewer->GetImagePath();
        key(viewer, Qt::Key_Right);
        seen << viewer->GetImagePath();
        shownMarks << viewer->GetMarks();
        key(viewer, Qt::Key_2);
        shownMarks << viewer->GetMarks();
        key(viewer, Qt::Key_Left);
        seen << viewer->GetImagePath();
        // The wheel with Ctrl steps as well; without it, it does not.
        QWheelEvent plain(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewer->GetImageWidget(), &plain);
        seen << viewer->GetImagePath();
        QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewer->GetImageWidget(), &down);
        QApplication::sendEvent(viewer->GetImageWidget(), &down);
        seen << viewer->GetImagePath();
        shownMarks << viewer->GetMarks();
        return int(QDialog::Rejected);
    };
    key(grid, Qt::Key_Home);
    key(grid, Qt::Key_Right);
    key(grid, Qt::Key_Return);

    QCOMPARE(seen, (QStringList{p[1], p[2], p[3], p[2], p[2], p[3]}));
    QCOMPARE(selection->at(1).pictures, QStringList{p[3]});
    const QColor second = selection->at(1).color;
    QCOMPARE(shownMarks, (QList<QList<QColor>>{{first}, {first, second}, {first, second}}));
    QCOMPARE(marks(grid, 3), (QList<QColor>{first, second}));
    QCOMPARE(window.countsLabel()->text(), QString("4 张照片 · 已勾选 0 张 · 已分类 1 张"));

    // Shift+2 in the viewer takes the shown picture out again.
    m_answers->exec = [&](QDialog*) {
        key(viewer, Qt::Key_2, Qt::ShiftModifier);
        shownMarks << viewer->GetMarks();
        return int(QDialog::Rejected);
    };
    key(grid, Qt::Key_Return);
    QCOMPARE(selection->at(1).pictures, QStringList{});
    QCOMPARE(shownMarks.last(), QList<QColor>{first});
}

void tst_KeyboardSorting::undoOfARenameRestoresTheOldName()
{
    MainWindow window;
    const QStringList p = scan(window, 2);
    QVERIFY(!p.isEmpty());
    QEditPage* page = window.editPage();
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(page, "photoList");
    CSelection* selection = page->selection();
    QComboBox* box = CategoryParts::nameBox(CategoryParts::row(page, 0));

    // Typed over the selected default name: one step however many keys.
    box->lineEdit()->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), "Beach");
    QCOMPARE(selection->at(0).name, QString("Beach"));
    QCOMPARE(window.undoAction()->text(), QString("撤销 重命名 Beach"));
    // Then an entry picked from the list.
    box->setCurrentIndex(2);
    QCOMPARE(selection->at(0).name, QString("家人"));

    grid->setFocus();
    key(grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(selection->at(0).name, QString("Beach"));
    QCOMPARE(box->currentText(), QString("Beach"));
    QVERIFY(page->SaveCloseData());
    bool ok = false;
    const CLastSession saved = CLastSession::read(CProgramFiles::saveLastFile(), &ok);
    QVERIFY(ok);
    QCOMPARE(saved.categories.value(0).name, QString("Beach"));

    key(grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(selection->at(0).name, QSelectionEditor::DefaultName());
    QCOMPARE(box->currentText(), QSelectionEditor::DefaultName());
    key(grid, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(box->currentText(), QString("Beach"));
}

void tst_KeyboardSorting::dropsAndDeletionsOnRowsAreStepsToo()
{
    MainWindow window;
    const QStringList p = scan(window, 3);
    QVERIFY(!p.isEmpty());
    QEditPage* page = window.editPage();
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(page, "photoList");
    CSelection* selection = page->selection();
    QVERIFY(EditPageActions::dragTicked(*page, {0, 2}, 0));
    QCOMPARE(selection->at(0).pictures, (QStringList{p[0], p[2]}));
    QCOMPARE(window.undoAction()->text(), QString("撤销 放入 类别 1 (2 张)"));

    // Deleting one picture on the row, then undoing it: it comes back, row and mark included.
    QCategoryRow* row = CategoryParts::row(page, 0);
    QCategoryPicturesView* list = CategoryParts::pictures(row);
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(selection->at(0).pictures, QStringList{p[2]});
    QCOMPARE(marks(grid, 0), QList<QColor>{});
    QCOMPARE(window.undoAction()->text(), QString("撤销 移出 类别 1 (1 张)"));
    grid->setFocus();
    key(grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(selection->at(0).pictures, (QStringList{p[2], p[0]}));
    QCOMPARE(CategoryParts::paths(row), (QStringList{p[2], p[0]}));
    QCOMPARE(marks(grid, 0), QList<QColor>{selection->at(0).color});
    // And the drop itself.
    key(grid, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(selection->at(0).pictures.isEmpty());
    QCOMPARE(CategoryParts::pictureCount(row), 0);
    QVERIFY(!window.undoAction()->isEnabled());
}

void tst_KeyboardSorting::aDeletionOnTheCategoryPageIsAStep()
{
    MainWindow window;
    const QStringList p = scan(window, 3);
    QVERIFY(!p.isEmpty());
    QEditPage* page = window.editPage();
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(page, "photoList");
    CSelection* selection = page->selection();
    key(grid, Qt::Key_A, Qt::ControlModifier);
    key(grid, Qt::Key_1);
    QTest::mouseClick(PageParts::find<QOutPutImageWidget>(page, "buttonBar")->GetNextPageButton(),
                      Qt::LeftButton);
    QCatePage* cate = window.catePage();
    QCOMPARE(window.pageStack()->currentWidget(), static_cast<QWidget*>(cate));

    QCategoryRow* row = CategoryParts::row(cate, 0);
    QCategoryPicturesView* list = CategoryParts::pictures(row);
    list->setFocus();
    list->selectionModel()->select(list->model()->index(1, 0), QItemSelectionModel::Select);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(selection->at(0).pictures, (QStringList{p[0], p[2]}));
    QCOMPARE(window.undoAction()->text(), QString("撤销 移出 类别 1 (1 张)"));
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(selection->at(0).pictures, (QStringList{p[0], p[2], p[1]}));
    QCOMPARE(CategoryParts::paths(row), (QStringList{p[0], p[2], p[1]}));
}

void tst_KeyboardSorting::aRestoredSessionCannotBeUndone()
{
    MainWindow window;
    const QStringList p = scan(window, 2);
    QVERIFY(!p.isEmpty());
    QEditPage* page = window.editPage();
    CSelection* selection = page->selection();
    key(PageParts::find<QPhotoViewListWidget>(page, "photoList"), Qt::Key_Home);
    key(PageParts::find<QPhotoViewListWidget>(page, "photoList"), Qt::Key_1);
    QVERIFY(window.undoAction()->isEnabled());
    QVERIFY(page->SaveCloseData());

    // "继续上次" adds the saved rows below the ones there are; none of it, nor what came before,
    // can be undone into the rebuilt page.
    window.onLastScanImage();
    QTRY_COMPARE(selection->count(), 4);
    QCOMPARE(selection->at(2).pictures, QStringList{p[0]});
    QVERIFY(!window.undoAction()->isEnabled());
    QCOMPARE(window.undoAction()->text(), QString("撤销"));
}

void tst_KeyboardSorting::eachMenuEntryDoesWhatItsKeysDo()
{
    // The 编辑 menu's sorting entries are the one table of keys: for every entry, each of its
    // shortcuts pressed on the grid (or in the viewer) leaves the page as choosing the entry does.
    MainWindow window;
    const QStringList p = scan(window, 4);
    QVERIFY(!p.isEmpty());
    QEditPage* page = window.editPage();
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(page, "photoList");
    QPhotoViewImageDlg* viewer = grid->GetViewImageDlg();
    QSelectionEditor* editor = page->findChild<QSelectionEditor*>();
    const CSelection* selection = editor->selection();
    auto* menu = window.menuBar()->findChild<QMenu*>("sortingKeysMenu");
    QVERIFY(menu);
    const QList<QAction*> gridActions = page->GetCullingKeys()->gridActions();
    const QList<QAction*> viewerActions = page->GetCullingKeys()->viewerActions();
    QCOMPARE(gridActions.size(), 23); // Ctrl+A, Esc, Space, Enter, 1–9, Shift+1–9, 0
    QCOMPARE(viewerActions.size(), 2);
    for (QAction* action : gridActions + viewerActions)
        QVERIFY2(menu->actions().contains(action), qPrintable(action->text()));

    // What the viewer showed while it was open, if it was.
    QString viewed;
    m_answers->exec = [&](QDialog* dialog) {
        if (dialog == viewer)
            viewed = viewer->GetImagePath();
        return int(QDialog::Rejected);
    };
    // p[2] in the first category, p[1] and p[2] ticked, p[0] current.
    auto reset = [&] {
        while (editor->undoStack()->canUndo())
            editor->undoStack()->undo();
        editor->putInto(0, {p[2]});
        grid->ClearTicks();
        grid->ToggleTick(1);
        grid->ToggleTick(2);
        grid->SetCurrentTile(0);
        viewed.clear();
    };
    auto state = [&] {
        QStringList parts;
        for (const CCategory& category : selection->categories())
            parts << category.pictures.join(QLatin1Char(','));
        QStringList ticked = grid->GetCheckedPaths();
        ticked.sort();
        return QStringLiteral("categories [%1] ticked [%2] current %3 viewed [%4]")
            .arg(parts.join(QLatin1Char('|')), ticked.join(QLatin1Char(',')))
            .arg(grid->GetCurrentRow())
            .arg(viewed);
    };
    auto press = [](QWidget* widget, const QKeySequence& sequence) {
        const int combined = sequence[0];
        QTest::keyClick(widget, Qt::Key(combined & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(combined & Qt::KeyboardModifierMask));
    };
    int changing = 0;
    for (QAction* action : gridActions) {
        QVERIFY(!action->shortcuts().isEmpty());
        reset();
        const QString before = state();
        action->trigger();
        const QString chosen = state();
        changing += chosen != before;
        for (const QKeySequence& sequence : action->shortcuts()) {
            reset();
            press(grid, sequence);
            QVERIFY2(state() == chosen, qPrintable(action->text() + ": " + sequence.toString() + " gives " +
                                                   state() + ", the entry " + chosen));
        }
    }
    // Eight entries change something here: the ticks (3), the viewer, 1 and 2 (the free row),
    // Shift+1 and 0.
    QCOMPARE(changing, 8);

    // The viewer's entries step through the grid from the picture shown.
    for (QAction* action : viewerActions) {
        QStringList results;
        for (int round = 0; round <= action->shortcuts().size(); ++round) {
            reset();
            grid->SetCurrentTile(1);
            m_answers->exec = [&](QDialog* dialog) {
                if (dialog != viewer)
                    return int(QDialog::Rejected);
                if (round == 0)
                    action->trigger();
                else
                    press(viewer, action->shortcuts().at(round - 1));
                results << viewer->GetImagePath();
                return int(QDialog::Rejected);
            };
            QTest::keyClick(grid, Qt::Key_Return);
        }
        QCOMPARE(results.size(), action->shortcuts().size() + 1);
        QVERIFY(results.first() != p[1]);
        QCOMPARE(results.count(results.first()), results.size());
    }

    // The help dialog lists every entry with its keys.
    const QStringList rows = page->GetCullingKeys()->keyList();
    for (QAction* action : gridActions + viewerActions)
        QVERIFY2(rows.contains(QCullingKeys::shortcutText(action) + '\t' + action->text()),
                 qPrintable(action->text()));
}

QTEST_MAIN(tst_KeyboardSorting)
#include "tst_keyboardsorting.moc"
