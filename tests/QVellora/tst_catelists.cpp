// SPDX-License-Identifier: MIT
#include "CategoryParts.h"
#include "Editing/QSelectionEditor.h"
#include "OtherWidget/QDrawImageButton.h"
#include "PhotoView/QPhotoViewImageDlg.h"
#include "Pictures/CPhotoDragPayload.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"
#include "WidgetTestHelpers.h"

#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

using namespace WidgetTestHelpers;
using CategoryParts::paths;

// The category column of both pages, driven as the user drives it: drops, the menu, keys, the
// name box and the add button. Each gesture is one step of the editor; what the rows show is
// read from their views.
class tst_CateLists : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void dropReadsThePayload_data();
    void dropReadsThePayload();
    void deleteThroughTheMenu_data();
    void deleteThroughTheMenu();
    void deleteKeyRemovesTheSelection();
    void selectAllOnlyWithCtrlA_data();
    void selectAllOnlyWithCtrlA();
    void viewerStepsClamped_data();
    void viewerStepsClamped();
    void modesShowTheirParts_data();
    void modesShowTheirParts();
    void captionNameAndColourFollowTheSelection();
    void reviewShowsTheFilledCategories();
    void columnDoubleClickAndResize();
    void nameFieldShowsTheWholeName_data();
    void nameFieldShowsTheWholeName();

private:
    QString photo(int i) const { return m_dir->filePath(QStringLiteral("c%1.png").arg(i)); }
    // A column of the given mode over m_selection, with pictures 0 .. n-1 in the first category.
    std::unique_ptr<QCategoryColumn> column(QCategoryColumn::Mode mode, int n, bool show = true);
    QCategoryRow* first() const { return m_column->rowWidget(0); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CSelection> m_selection;
    std::unique_ptr<QSelectionEditor> m_editor;
    QCategoryColumn* m_column = nullptr;
    QPixmap m_picture;
};

static QByteArray payload(const QStringList& paths, const QColor& colour = Qt::green)
{
    QPixmap picture(12, 8);
    picture.fill(colour);
    return CPhotoDragPayload::Write(paths, QList<QPixmap>() << picture << picture << picture << picture);
}

void tst_CateLists::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    for (int i = 0; i < 4; ++i)
        QVERIFY(TestSupport::writeImage(photo(i), QSize(30 + i, 20)));
    m_picture = QPixmap(16, 16);
    m_picture.fill(Qt::magenta);
    m_column = nullptr;
    m_editor.reset();
    m_selection = std::make_unique<CSelection>();
    m_editor = std::make_unique<QSelectionEditor>(m_selection.get());
}

std::unique_ptr<QCategoryColumn> tst_CateLists::column(QCategoryColumn::Mode mode, int n, bool show)
{
    auto made = std::make_unique<QCategoryColumn>(mode);
    m_column = made.get();
    made->setThumbnails(
        [this](const QString& path) { return path.startsWith("/p/") ? QPixmap() : m_picture; });
    made->setEditor(m_editor.get());
    const int category = m_selection->addCategory(QSelectionEditor::DefaultName());
    QStringList pictures;
    for (int i = 0; i < n; ++i)
        pictures << photo(i);
    m_selection->addPictures(category, pictures);
    if (mode == QCategoryColumn::Mode::Review)
        made->showFilled();
    made->resize(500, 700);
    if (show) {
        made->show();
        if (!QTest::qWaitForWindowExposed(made.get()))
            return nullptr;
    }
    return made;
}

void tst_CateLists::dropReadsThePayload_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("steps");
    const QString type = CPhotoDragPayload::MimeType();
    const QStringList abc{"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"};
    for (int mode : {int(QCategoryColumn::Mode::Editing), int(QCategoryColumn::Mode::Review)}) {
        const QByteArray page =
            mode == int(QCategoryColumn::Mode::Editing) ? "edit page: " : "category page: ";
        QTest::newRow((page + "three new").constData())
            << mode << QStringList{"/p/z.jpg"} << type << payload(abc) << true
            << QStringList{"/p/z.jpg"} + abc << 1;
        QTest::newRow((page + "the same three again").constData())
            << mode << abc << type << payload(abc) << true << abc << 0;
        QTest::newRow((page + "duplicates within a drop").constData())
            << mode << QStringList{"/p/b.jpg"} << type << payload({"/p/a.jpg", "/p/a.jpg", "/p/b.jpg"})
            << true << QStringList{"/p/b.jpg", "/p/a.jpg"} << 1;
        QTest::newRow((page + "count 0").constData())
            << mode << QStringList{"/p/a.jpg"} << type << payload({}) << true << QStringList{"/p/a.jpg"} << 0;
        QByteArray cut = payload({"/p/x.jpg", "/p/y.jpg"});
        QTest::newRow((page + "pictures cut off").constData())
            << mode << QStringList{"/p/a.jpg"} << type << cut.left(4 + 2 * (4 + 16) + 10) << true
            << QStringList{"/p/a.jpg", "/p/x.jpg", "/p/y.jpg"} << 1;
        QTest::newRow((page + "paths cut off").constData())
            << mode << QStringList{"/p/a.jpg"} << type << cut.left(30) << false << QStringList{"/p/a.jpg"}
            << 0;
        QTest::newRow((page + "corrupt count").constData())
            << mode << QStringList{"/p/a.jpg"} << type << QByteArray("\x7f\xff\xff\xff\0\0\0\0", 8) << false
            << QStringList{"/p/a.jpg"} << 0;
        QTest::newRow((page + "other type").constData())
            << mode << QStringList{"/p/a.jpg"} << "text/uri-list" << QByteArray("file:///p/a.jpg") << false
            << QStringList{"/p/a.jpg"} << 0;
    }
}

// A drop is one step of the editor, made once: the row shows the pictures when the selection
// announces them, not before and not twice.
void tst_CateLists::dropReadsThePayload()
{
    QFETCH(int, mode);
    QFETCH(QStringList, before);
    QFETCH(QString, format);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    QFETCH(QStringList, after);
    QFETCH(int, steps);
    const auto list = column(QCategoryColumn::Mode(mode), 0);
    QVERIFY(list);
    m_selection->addPictures(0, before);
    if (QCategoryColumn::Mode(mode) == QCategoryColumn::Mode::Review)
        list->showFilled();
    QCOMPARE(paths(first()), before);
    QSignalSpy added(m_selection.get(), &CSelection::picturesAdded);

    QMimeData data;
    data.setData(format, bytes);
    bool entered = false;
    QCOMPARE(CategoryParts::drop(first(), &data, &entered), accepted);
    QVERIFY(entered); // any drag is welcome until it is dropped
    QCOMPARE(m_selection->at(0).pictures, after);
    QCOMPARE(paths(first()), after);
    QCOMPARE(added.count(), steps);
    QCOMPARE(m_editor->undoStack()->count(), steps);
    // Pictures without a thumbnail are shown by their names.
    const QAbstractItemModel* tiles = CategoryParts::pictures(first())->model();
    for (int row = 0; row < tiles->rowCount(); ++row)
        QCOMPARE(tiles->index(row, 0).data().toString(), QFileInfo(after.at(row)).fileName());

    // Undo takes the whole drop away again.
    m_editor->undoStack()->undo();
    QCOMPARE(paths(first()), before);
}

void tst_CateLists::deleteThroughTheMenu_data()
{
    QTest::addColumn<int>("pressRow");
    QTest::addColumn<int>("left");
    QTest::newRow("over a picture") << 1 << 2;
    QTest::newRow("over empty space: no menu") << -1 << 3;
}

void tst_CateLists::deleteThroughTheMenu()
{
    QFETCH(int, pressRow);
    QFETCH(int, left);
    const auto list = column(QCategoryColumn::Mode::Editing, 3);
    QVERIFY(list);
    QCategoryPicturesView* view = CategoryParts::pictures(first());
    const QPoint at = pressRow >= 0 ? view->visualRect(view->model()->index(pressRow, 0)).center()
                                    : QPoint(view->viewport()->width() - 5, view->viewport()->height() - 5);
    QStringList texts;
    const bool opened = opensModal(
        [] { return QApplication::activePopupWidget(); },
        [&] { sendMouse(view->viewport(), QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton); },
        [&](QWidget* menu) {
            texts << menu->actions().first()->text();
            menu->actions().first()->trigger();
        });
    QCOMPARE(opened, pressRow >= 0);
    QCOMPARE(texts, opened ? QStringList{QStringLiteral("删除")} : QStringList());
    QCOMPARE(CategoryParts::pictureCount(first()), left);
    const QStringList remaining =
        pressRow >= 0 ? QStringList{photo(0), photo(2)} : QStringList{photo(0), photo(1), photo(2)};
    QCOMPARE(paths(first()), remaining);
    QCOMPARE(m_selection->at(0).pictures, remaining);
    QCOMPARE(m_editor->undoStack()->count(), opened ? 1 : 0);

    // The row the menu acts on stays: the action now takes the picture that moved up into it,
    // and once that is past the end it takes nothing and makes no step.
    if (pressRow >= 0) {
        view->findChild<QMenu*>()->actions().first()->trigger();
        view->findChild<QMenu*>()->actions().first()->trigger();
        QCOMPARE(paths(first()), QStringList{photo(0)});
        QCOMPARE(m_editor->undoStack()->count(), 2);
        QCOMPARE(m_editor->undoStack()->undoText(), QStringLiteral("移出 类别 1 (1 张)"));
    }
}

void tst_CateLists::deleteKeyRemovesTheSelection()
{
    const auto list = column(QCategoryColumn::Mode::Review, 4);
    QVERIFY(list);
    QCategoryPicturesView* view = CategoryParts::pictures(first());
    for (int row : {3, 0, 2})
        view->selectionModel()->select(view->model()->index(row, 0), QItemSelectionModel::Select);
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(paths(first()), QStringList{photo(1)});
    QCOMPARE(m_editor->undoStack()->count(), 1);
    QCOMPARE(m_editor->undoStack()->undoText(), QStringLiteral("移出 类别 1 (3 张)"));

    QTest::keyClick(view, Qt::Key_Delete); // nothing selected: no step
    QCOMPARE(CategoryParts::pictureCount(first()), 1);
    QCOMPARE(m_editor->undoStack()->count(), 1);

    // Undo brings them back at the end, and the row shows them.
    m_editor->undoStack()->undo();
    QCOMPARE(CategoryParts::pictureCount(first()), 4);
    QCOMPARE(paths(first()).first(), photo(1));
}

void tst_CateLists::selectAllOnlyWithCtrlA_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("selected");
    QTest::newRow("Ctrl+A") << int(Qt::ControlModifier) << 3;
    QTest::newRow("Ctrl+Shift+A") << int(Qt::ControlModifier | Qt::ShiftModifier) << 0;
    QTest::newRow("A alone") << int(Qt::NoModifier) << 0;
}

void tst_CateLists::selectAllOnlyWithCtrlA()
{
    QFETCH(int, modifiers);
    QFETCH(int, selected);
    const auto list = column(QCategoryColumn::Mode::Editing, 3);
    QVERIFY(list);
    QCategoryPicturesView* view = CategoryParts::pictures(first());
    QTest::keyClick(view, Qt::Key_A, Qt::KeyboardModifiers(modifiers));
    QTest::keyClick(view, Qt::Key_Down); // swallowed
    QCOMPARE(view->selectionModel()->selectedIndexes().size(), selected);
}

void tst_CateLists::viewerStepsClamped_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("expected");
    QTest::newRow("next with no row") << -1 << "nextButton" << 0;
    QTest::newRow("previous with no row") << -1 << "preButton" << 0;
    QTest::newRow("next from the last stays") << 2 << "nextButton" << 2;
    QTest::newRow("previous from the last") << 2 << "preButton" << 1;
}

void tst_CateLists::viewerStepsClamped()
{
    QFETCH(int, start);
    QFETCH(QString, button);
    QFETCH(int, expected);
    const auto list = column(QCategoryColumn::Mode::Review, 3);
    QVERIFY(list);
    QCategoryPicturesView* view = CategoryParts::pictures(first());
    QPhotoViewImageDlg* viewer = view->viewer();
    if (start >= 0) {
        const QPoint at = view->visualRect(view->model()->index(start, 0)).center();
        QVERIFY(opensModal([viewer] { return viewer; },
                           [&] { QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at); }));
        QCOMPARE(viewer->GetImagePath(), photo(start));
    }
    viewer->findChild<QPushButton*>(button)->click();
    QCOMPARE(viewer->GetImagePath(), photo(expected));
}

void tst_CateLists::modesShowTheirParts_data()
{
    QTest::addColumn<bool>("review");
    QTest::newRow("edit page row") << false;
    QTest::newRow("category page row") << true;
}

void tst_CateLists::modesShowTheirParts()
{
    QFETCH(bool, review);
    const auto list = column(review ? QCategoryColumn::Mode::Review : QCategoryColumn::Mode::Editing, 1);
    QVERIFY(list);
    QCategoryRow* row = first();
    QComboBox* box = CategoryParts::nameBox(row);
    QCOMPARE(box->isEnabled(), !review);
    QCOMPARE(PageParts::find<QComboBox>(row, "printSizeBox")->isEnabled(), !review);
    QVERIFY(box->isEditable());
    QCOMPARE(box->count(), 5);
    QCOMPARE(box->itemText(4), QStringLiteral("聚会"));
    QCOMPARE(PageParts::find<QDrawImageButton>(row, "addCategory")->isVisible(), !review);
    QCOMPARE(PageParts::find<QCateColorWidget>(row, "colour")->isVisible(), !review);
    QCOMPARE(PageParts::find<QLabel>(row, "caption")->isVisible(), !review);
    QCOMPARE(PageParts::find<QLabel>(row, "title")->isVisible(), review);
    QCOMPARE(PageParts::find<QLabel>(row, "printSummary")->isVisible(), review);
    QCOMPARE(CategoryParts::pictures(row)->iconSize(), QSize(130, 130));
    QCOMPARE(CategoryParts::name(row), QSelectionEditor::DefaultName());
    if (!review)
        QCOMPARE(CategoryParts::colour(row), CSelection::colors().first());
}

// The caption counts, the name box and the colour square show the category as the selection has
// it, whoever changed it; typing a name is a step of the editor.
void tst_CateLists::captionNameAndColourFollowTheSelection()
{
    const auto list = column(QCategoryColumn::Mode::Editing, 2);
    QVERIFY(list);
    QCategoryRow* row = first();
    QCOMPARE(CategoryParts::text(row, "caption"), QStringLiteral("可拖拽照片至此(已选 2 张)"));
    m_selection->addPictures(0, {photo(2)});
    QCOMPARE(CategoryParts::text(row, "caption"), QStringLiteral("可拖拽照片至此(已选 3 张)"));
    m_selection->clearPictures(0);
    QCOMPARE(CategoryParts::text(row, "caption"), QStringLiteral("可拖拽照片至此(已选 0 张)"));
    QCOMPARE(CategoryParts::pictureCount(row), 0);

    QComboBox* box = CategoryParts::nameBox(row);
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), "Beach");
    QCOMPARE(m_selection->at(0).name, QString("Beach"));
    QCOMPARE(m_editor->undoStack()->undoText(), QString("重命名 Beach"));
    box->setCurrentIndex(2);
    QCOMPARE(m_selection->at(0).name, QStringLiteral("家人"));
    m_editor->undoStack()->undo();
    QCOMPARE(CategoryParts::name(row), QString("Beach"));
    m_selection->rename(0, QStringLiteral("毕业"));
    QCOMPARE(CategoryParts::name(row), QStringLiteral("毕业"));
    QCOMPARE(box->toolTip(), QStringLiteral("毕业"));

    // The add button adds a category; its row takes the next colour.
    QTest::mouseClick(PageParts::find<QDrawImageButton>(row, "addCategory"), Qt::LeftButton);
    QCOMPARE(list->count(), 2);
    QCOMPARE(CategoryParts::colour(list->rowWidget(1)), CSelection::colors().at(1));
    m_editor->undoStack()->undo();
    QCOMPARE(list->count(), 1);
}

// Review shows the categories that held pictures when asked, in order; a category emptied
// meanwhile keeps its row, one taken away loses it.
void tst_CateLists::reviewShowsTheFilledCategories()
{
    const auto list = column(QCategoryColumn::Mode::Review, 1);
    QVERIFY(list);
    m_selection->addCategory("empty");
    m_selection->addPictures(m_selection->addCategory("third"), {photo(3)});
    m_selection->addCategory("last");
    QCOMPARE(list->count(), 1);
    list->showFilled();
    QCOMPARE(list->shownCategories(), (QList<int>{0, 2}));
    QCOMPARE(CategoryParts::name(list->rowWidget(1)), QString("third"));
    QCOMPARE(paths(list->rowWidget(1)), QStringList{photo(3)});
    m_selection->clearPictures(2);
    QCOMPARE(list->count(), 2);
    QCOMPARE(CategoryParts::pictureCount(list->rowWidget(1)), 0);
    QVERIFY(m_selection->removeLastCategory());
    QCOMPARE(list->count(), 2);
    m_selection->clearPictures(2);
    QVERIFY(m_selection->removeLastCategory());
    QCOMPARE(list->shownCategories(), QList<int>{0});
}

void tst_CateLists::columnDoubleClickAndResize()
{
    const auto list = column(QCategoryColumn::Mode::Editing, 0, false);
    list->resize(500, 900);
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    QCOMPARE(list->item(0)->sizeHint(), QSize(list->width() - 30, 430));
    list->resize(420, 900);
    QCOMPARE(list->item(0)->sizeHint(), QSize(390, 430));
    QCOMPARE(list->iconSize(), QSize(390, 430));

    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(200, 880));
    QCOMPARE(m_selection->count(), 2);
    QCOMPARE(list->count(), 2);
    QCOMPARE(m_editor->undoStack()->count(), 1);
}

void tst_CateLists::nameFieldShowsTheWholeName_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("name");
    const QString family = QStringLiteral("Family (家人)");
    const QString chinese = QStringLiteral("二零二四年春节全家人一起去海边旅行的照片");
    const QString latin = QStringLiteral("WWW Summer Holiday W");
    QVERIFY(chinese.size() == 20 && latin.size() == 20);
    QTest::newRow("edit page, mixed") << false << family;
    QTest::newRow("edit page, 20 Chinese") << false << chinese;
    QTest::newRow("edit page, 20 Latin") << false << latin;
    QTest::newRow("category page, mixed") << true << family;
    QTest::newRow("category page, 20 Chinese") << true << chinese;
}

// A name of up to twenty characters shows whole in its row, in the narrowest column the edit page
// allows; the tooltip (and on the category page the title) always holds the whole name.
void tst_CateLists::nameFieldShowsTheWholeName()
{
    QFETCH(bool, locked);
    QFETCH(QString, name);
    const auto list =
        column(locked ? QCategoryColumn::Mode::Review : QCategoryColumn::Mode::Editing, 1, false);
    list->resize(locked ? 1000 : list->minimumRowsWidth(), 700);
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    m_selection->rename(0, name);
    QCategoryRow* cate = first();

    QComboBox* box = CategoryParts::nameBox(cate);
    QLineEdit* edit = box->lineEdit();
    QTRY_VERIFY(edit->isVisible());
    // The line edit keeps two pixels free on either side of its text.
    QVERIFY2(
        edit->width() - 4 >= edit->fontMetrics().horizontalAdvance(name),
        qPrintable(QString("%1 < %2").arg(edit->width()).arg(edit->fontMetrics().horizontalAdvance(name))));
    QVERIFY(QRect(QPoint(), cate->size()).contains(box->geometry()));
    QCOMPARE(box->toolTip(), name);
    QCOMPARE(PageParts::find<QLabel>(cate, "title")->isVisible(), locked);
    if (locked)
        QCOMPARE(CategoryParts::text(cate, "title"), name);

    // Longer than the field: the start shows, and the tooltip follows every change.
    const QString longer = name + name;
    m_selection->rename(0, longer);
    QCOMPARE(edit->cursorPosition(), 0);
    QCOMPARE(box->toolTip(), longer);
    if (!locked) {
        box->setEditText(QStringLiteral("海边"));
        QCOMPARE(box->toolTip(), QStringLiteral("海边"));
        QCOMPARE(m_selection->at(0).name, QStringLiteral("海边"));
    }
}

QTEST_MAIN(tst_CateLists)
#include "tst_catelists.moc"
