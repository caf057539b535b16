// SPDX-License-Identifier: MIT
#include "CateWidget/QCateColorWidget.h"
#include "CateWidget/QCateListItemWidget.h"
#include "CateWidget/QCateListWidget.h"
#include "CateWidget/QPhotoCataListWdiget.h"
#include "OtherWidget/QDrawImageButton.h"
#include "PhotoView/QPhotoViewImageDlg.h"
#include "Pictures/CPhotoDragPayload.h"
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
#include <QtTest>

using namespace WidgetTestHelpers;

class tst_CateLists : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void dropReadsThePayload_data();
    void dropReadsThePayload();
    void addFromCode_data();
    void addFromCode();
    void deleteThroughTheMenu_data();
    void deleteThroughTheMenu();
    void deleteKeyRemovesTheSelection();
    void selectAllOnlyWithCtrlA_data();
    void selectAllOnlyWithCtrlA();
    void deleteAllReportsLastFirst();
    void viewerStepsClamped_data();
    void viewerStepsClamped();
    void rowFlags_data();
    void rowFlags();
    void rowCountsAndForwards();
    void rowNameAndColour();
    void cateListRowOperationsAreRangeChecked_data();
    void cateListRowOperationsAreRangeChecked();
    void cateListDoubleClickAndResize();
    void nameFieldShowsTheWholeName_data();
    void nameFieldShowsTheWholeName();

private:
    QString photo(int i) const { return m_dir->filePath(QStringLiteral("c%1.png").arg(i)); }
    void addPhotos(QPhotoCataListWdiget& list, int n);
    bool showList(QPhotoCataListWdiget& list, int n);

    std::unique_ptr<QTemporaryDir> m_dir;
    QPixmap m_picture;
};

// What a list emitted, in order: "had" for hadAddPhotos, "add:a,b" for addPhotoOnes, and so on.
static QStringList* record(QPhotoCataListWdiget& list)
{
    auto* events = new QStringList;
    QObject::connect(&list, &QObject::destroyed, [events] { delete events; });
    QObject::connect(&list, &QPhotoCataListWdiget::hadAddPhotos, [events] { *events << "had"; });
    QObject::connect(&list, &QPhotoCataListWdiget::addPhotoOnes,
                     [events](const QStringList& paths) { *events << "add:" + paths.join(','); });
    QObject::connect(&list, &QPhotoCataListWdiget::subPhotoOnes,
                     [events](const QStringList& paths) { *events << "sub:" + paths.join(','); });
    QObject::connect(&list, &QPhotoCataListWdiget::subPhotoOnesText, [events] { *events << "text"; });
    return events;
}

// Delivers a drag's enter and drop to the list the way the window system does.
static bool drop(QPhotoCataListWdiget& list, QMimeData* data, bool* entered = nullptr)
{
    const QPoint at = list.viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &enter);
    if (entered)
        *entered = enter.isAccepted();
    QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &dropped);
    return dropped.isAccepted() && dropped.dropAction() == Qt::MoveAction;
}

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
}

void tst_CateLists::addPhotos(QPhotoCataListWdiget& list, int n)
{
    for (int i = 0; i < n; ++i)
        list.AddImageItem(&m_picture, photo(i));
}

bool tst_CateLists::showList(QPhotoCataListWdiget& list, int n)
{
    list.resize(400, 300);
    addPhotos(list, n);
    list.show();
    return QTest::qWaitForWindowExposed(&list);
}

void tst_CateLists::dropReadsThePayload_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("pictures");
    const QString type = CPhotoDragPayload::MimeType();
    const QStringList abc{"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"};
    QTest::newRow("three new") << QStringList() << type << payload(abc) << true << abc
                               << QStringList{"had", "add:/p/a.jpg,/p/b.jpg,/p/c.jpg"} << true;
    QTest::newRow("the same three again") << abc << type << payload(abc) << true << abc
                                          << QStringList{"had", "add:/p/a.jpg,/p/b.jpg,/p/c.jpg"} << true;
    QTest::newRow("duplicates within a drop")
        << QStringList{"/p/b.jpg"} << type << payload({"/p/a.jpg", "/p/a.jpg", "/p/b.jpg"}) << true
        << QStringList{"/p/b.jpg", "/p/a.jpg"} << QStringList{"had", "add:/p/a.jpg,/p/a.jpg,/p/b.jpg"}
        << true;
    QTest::newRow("count 0") << QStringList{"/p/a.jpg"} << type << payload({}) << true
                             << QStringList{"/p/a.jpg"} << QStringList{"had", "add:"} << true;
    QByteArray cut = payload({"/p/x.jpg", "/p/y.jpg"});
    QTest::newRow("pictures cut off")
        << QStringList() << type << cut.left(4 + 2 * (4 + 16) + 10) << true
        << QStringList{"/p/x.jpg", "/p/y.jpg"} << QStringList{"had", "add:/p/x.jpg,/p/y.jpg"} << false;
    QTest::newRow("paths cut off") << QStringList{"/p/a.jpg"} << type << cut.left(30) << false
                                   << QStringList{"/p/a.jpg"} << QStringList() << true;
    QTest::newRow("corrupt count") << QStringList() << type << QByteArray("\x7f\xff\xff\xff\0\0\0\0", 8)
                                   << false << QStringList() << QStringList() << true;
    QTest::newRow("other type") << QStringList() << "text/uri-list" << QByteArray("file:///p/a.jpg") << false
                                << QStringList() << QStringList() << true;
}

void tst_CateLists::dropReadsThePayload()
{
    QFETCH(QStringList, before);
    QFETCH(QString, format);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    QFETCH(QStringList, after);
    QFETCH(QStringList, events);
    QFETCH(bool, pictures);
    QPhotoCataListWdiget list(60);
    list.resize(400, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    for (const QString& path : before)
        list.AddImageItem(&m_picture, path);
    const QStringList* seen = record(list);

    QMimeData data;
    data.setData(format, bytes);
    bool entered = false;
    QCOMPARE(drop(list, &data, &entered), accepted);
    QVERIFY(entered); // any drag is welcome until it is dropped
    QCOMPARE(*seen, events);
    QCOMPARE(list.GetImagePaths(), after);
    QCOMPARE(list.count(), after.size());
    // Dropped pictures show the payload's picture; paths whose picture was cut off show none.
    for (int row = before.size(); row < after.size(); ++row) {
        QCOMPARE(!list.item(row)->icon().isNull(), pictures);
        if (pictures)
            QCOMPARE(list.item(row)->icon().pixmap(12, 8).toImage().pixelColor(5, 5), QColor(Qt::green));
    }
}

void tst_CateLists::addFromCode_data()
{
    QTest::addColumn<bool>("withPicture");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("added");
    QTest::newRow("new picture") << true << "/p/new.jpg" << true;
    QTest::newRow("already there") << true << "/p/a.jpg" << false;
    QTest::newRow("no picture: kept, shown by its name") << false << "/p/new.jpg" << true;
    QTest::newRow("null path") << true << QString() << false;
}

void tst_CateLists::addFromCode()
{
    QFETCH(bool, withPicture);
    QFETCH(QString, path);
    QFETCH(bool, added);
    QPhotoCataListWdiget list(60);
    list.AddImageItem(&m_picture, "/p/a.jpg");
    const QStringList* seen = record(list);
    list.AddImageItem(withPicture ? &m_picture : nullptr, path);
    QCOMPARE(list.count(), added ? 2 : 1);
    if (added)
        QCOMPARE(list.item(1)->text(), withPicture ? QString() : QFileInfo(path).fileName());
    QCOMPARE(list.GetImagePaths().size(), list.count());
    const QStringList expected = added ? QStringList{"had", "add:" + path} : QStringList();
    QCOMPARE(*seen, expected);
}

void tst_CateLists::deleteThroughTheMenu_data()
{
    QTest::addColumn<int>("pressRow");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("left");
    QTest::newRow("over a picture") << 1 << QStringList{"sub:" + QStringLiteral("c1.png"), "text"} << 2;
    QTest::newRow("over empty space: no menu") << -1 << QStringList() << 3;
}

void tst_CateLists::deleteThroughTheMenu()
{
    QFETCH(int, pressRow);
    QFETCH(QStringList, events);
    QFETCH(int, left);
    QPhotoCataListWdiget list(60);
    QVERIFY(showList(list, 3));
    const QStringList* seen = record(list);
    const QPoint at = pressRow >= 0 ? list.visualItemRect(list.item(pressRow)).center() : QPoint(390, 290);
    QStringList texts;
    const bool opened = opensModal(
        [] { return QApplication::activePopupWidget(); },
        [&] { sendMouse(list.viewport(), QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton); },
        [&](QWidget* menu) {
            texts << menu->actions().first()->text();
            menu->actions().first()->trigger();
        });
    QCOMPARE(opened, pressRow >= 0);
    QCOMPARE(texts, opened ? QStringList{QStringLiteral("删除")} : QStringList());
    QStringList expected;
    for (QString event : events)
        expected << event.replace("c1.png", photo(1));
    QCOMPARE(*seen, expected);
    QCOMPARE(list.count(), left);
    const QStringList remaining =
        pressRow >= 0 ? QStringList{photo(0), photo(2)} : QStringList{photo(0), photo(1), photo(2)};
    QCOMPARE(list.GetImagePaths(), remaining);
    QCOMPARE(list.GetCurrentRow(), pressRow);

    // The current row stays: the action now takes the picture that moved up into it, and once
    // the row is past the end it removes nothing but still reports.
    if (pressRow >= 0) {
        list.findChild<QMenu*>()->actions().first()->trigger();
        list.findChild<QMenu*>()->actions().first()->trigger();
        QCOMPARE(list.GetImagePaths(), QStringList{photo(0)});
        QCOMPARE(seen->mid(seen->size() - 3), (QStringList{"sub:" + photo(2), "text", "text"}));
    }
}

void tst_CateLists::deleteKeyRemovesTheSelection()
{
    QPhotoCataListWdiget list(60);
    addPhotos(list, 4);
    list.item(3)->setSelected(true);
    list.item(0)->setSelected(true);
    list.item(2)->setSelected(true);
    QStringList reported;
    for (QListWidgetItem* item : list.selectedItems())
        reported << photo(list.row(item));
    const QStringList* seen = record(list);
    QTest::keyClick(&list, Qt::Key_Delete);
    QCOMPARE(*seen, (QStringList{"sub:" + reported.join(','), "text"}));
    QCOMPARE(list.GetImagePaths(), QStringList{photo(1)});
    QCOMPARE(list.count(), 1);

    QTest::keyClick(&list, Qt::Key_Delete); // nothing selected: an empty report
    QCOMPARE(seen->mid(2), (QStringList{"sub:", "text"}));
    QCOMPARE(list.count(), 1);
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
    QPhotoCataListWdiget list(60);
    addPhotos(list, 3);
    QTest::keyClick(&list, Qt::Key_A, Qt::KeyboardModifiers(modifiers));
    QTest::keyClick(&list, Qt::Key_Down); // swallowed
    QCOMPARE(list.selectedItems().size(), selected);
}

void tst_CateLists::deleteAllReportsLastFirst()
{
    QPhotoCataListWdiget list(60);
    addPhotos(list, 3);
    const QStringList* seen = record(list);
    list.DeleteAllPhotoItem();
    const QStringList lastFirst{photo(2), photo(1), photo(0)};
    QCOMPARE(*seen, QStringList{"sub:" + lastFirst.join(',')});
    QCOMPARE(list.count(), 0);
    QVERIFY(list.GetImagePaths().isEmpty());
}

void tst_CateLists::viewerStepsClamped_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("stray");
    QTest::newRow("next with no row") << -1 << "nextButton" << 0 << false;
    QTest::newRow("previous with no row") << -1 << "preButton" << 0 << false;
    QTest::newRow("next from the last stays") << 2 << "nextButton" << 2 << false;
    QTest::newRow("previous from the last") << 2 << "preButton" << 1 << false;
    QTest::newRow("list and paths disagree") << 1 << "nextButton" << 1 << true;
}

void tst_CateLists::viewerStepsClamped()
{
    QFETCH(int, start);
    QFETCH(QString, button);
    QFETCH(int, expected);
    QFETCH(bool, stray);
    QPhotoCataListWdiget list(60);
    QVERIFY(showList(list, 3));
    QPhotoViewImageDlg* viewer = list.GetViewImageDlg();
    if (start >= 0) {
        const QPoint at = list.visualItemRect(list.item(start)).center();
        QVERIFY(opensModal([viewer] { return viewer; },
                           [&] { QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at); }));
        QCOMPARE(viewer->GetImagePath(), photo(start));
    }
    if (stray)
        list.addItem(QStringLiteral("not a picture of this category"));
    viewer->findChild<QPushButton*>(button)->click();
    QCOMPARE(list.GetCurrentRow(), expected);
    QCOMPARE(viewer->GetImagePath(), photo(expected));
}

void tst_CateLists::rowFlags_data()
{
    QTest::addColumn<bool>("display");
    QTest::newRow("edit page row") << false;
    QTest::newRow("category page row") << true;
}

void tst_CateLists::rowFlags()
{
    QFETCH(bool, display);
    QCateListItemWidget row(130, display, display, display, display);
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    auto* box = row.findChild<QComboBox*>();
    QCOMPARE(box->isEnabled(), !display);
    QVERIFY(box->isEditable());
    QCOMPARE(box->count(), 5);
    QCOMPARE(box->itemText(4), QStringLiteral("聚会"));
    QCOMPARE(row.findChild<QDrawImageButton*>()->isVisible(), !display);
    QCOMPARE(row.findChild<QCateColorWidget*>()->isVisible(), !display);
    QCOMPARE(row.GetListWidget()->isVisible(), true);
    QCOMPARE(row.GetListWidget()->iconSize(), QSize(130, 130));
    QCOMPARE(row.GetCateColor(), QColor(255, 0, 0));
    QCOMPARE(row.GetCateName(), QStringLiteral("点击命名"));
}

void tst_CateLists::rowCountsAndForwards()
{
    QCateListItemWidget row(130, false, false, false, false);
    QCOMPARE(row.GetCaptionText(), QStringLiteral("可拖拽照片至此"));
    QStringList events;
    connect(&row, &QCateListItemWidget::autoAddOneItem, [&] { events << "auto " + row.GetCaptionText(); });
    connect(&row, &QCateListItemWidget::markAddPhotoOnes,
            [&](const QStringList& paths) { events << "mark+" + paths.join(','); });
    connect(&row, &QCateListItemWidget::markSubPhotoOnes,
            [&](const QStringList& paths) { events << "mark-" + paths.join(','); });
    connect(&row, &QCateListItemWidget::checkAddNewItem, [&] { events << "new row"; });

    QMimeData data;
    data.setData(CPhotoDragPayload::MimeType(), payload({"/p/a.jpg", "/p/b.jpg", "/p/a.jpg"}));
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    QVERIFY(drop(*row.GetListWidget(), &data));
    // The page hears of the new pictures before the caption counts them.
    QCOMPARE(events, (QStringList{"auto 可拖拽照片至此", "mark+/p/a.jpg,/p/b.jpg,/p/a.jpg"}));
    QCOMPARE(row.GetCaptionText(), QStringLiteral("可拖拽照片至此(已选 2 张)"));

    row.AddImageItem(&m_picture, "/p/c.jpg");
    QCOMPARE(row.GetCaptionText(), QStringLiteral("可拖拽照片至此(已选 3 张)"));

    events.clear();
    row.ClearImageItems();
    QCOMPARE(events, QStringList{"mark-/p/c.jpg,/p/b.jpg,/p/a.jpg"});
    QCOMPARE(row.GetCaptionText(), QStringLiteral("可拖拽照片至此(已选 0 张)"));

    events.clear();
    row.AddImageItem(&m_picture, "/p/only.jpg");
    const QPoint at = row.GetListWidget()->visualItemRect(row.GetListWidget()->item(0)).center();
    QVERIFY(opensModal([] { return QApplication::activePopupWidget(); },
                       [&] {
                           sendMouse(row.GetListWidget()->viewport(), QEvent::MouseButtonPress, at,
                                     Qt::RightButton, Qt::RightButton);
                       },
                       [](QWidget* menu) { menu->actions().first()->trigger(); }));
    QCOMPARE(events.last(), QStringLiteral("mark-/p/only.jpg"));
    QCOMPARE(row.GetCaptionText(), QStringLiteral("可拖拽照片至此(已选 0 张)"));

    QTest::mouseClick(row.findChild<QDrawImageButton*>(), Qt::LeftButton);
    QCOMPARE(events.last(), QStringLiteral("new row"));
}

void tst_CateLists::rowNameAndColour()
{
    QCateListItemWidget row(130, false, false, false, false);
    row.SetCateName(QStringLiteral("毕业"));
    QCOMPARE(row.GetCateName(), QStringLiteral("毕业"));
    auto* box = row.findChild<QComboBox*>();
    box->setCurrentIndex(2);
    QCOMPARE(row.GetCateName(), QStringLiteral("家人"));
    box->setEditText(QStringLiteral("海边旅行"));
    QCOMPARE(row.GetCateName(), QStringLiteral("海边旅行"));

    row.SetCateColor(QColor(188, 238, 104));
    QCOMPARE(row.GetCateColor(), QColor(188, 238, 104));
    auto* square = row.findChild<QCateColorWidget*>();
    QCOMPARE(square->grab().toImage().pixelColor(10, 10), QColor(188, 238, 104));
}

void tst_CateLists::cateListRowOperationsAreRangeChecked_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("touched");
    QTest::newRow("first") << 0 << 0;
    QTest::newRow("last") << 1 << 1;
    QTest::newRow("negative") << -1 << -1;
    QTest::newRow("one past the end") << 2 << -1;
}

void tst_CateLists::cateListRowOperationsAreRangeChecked()
{
    QFETCH(int, row);
    QFETCH(int, touched);
    QCateListWidget list;
    QList<QCateListItemWidget*> rows;
    for (int i = 0; i < 2; ++i) {
        auto* cate = new QCateListItemWidget(130, false, false, false, false);
        auto* item = new QListWidgetItem;
        item->setSizeHint(QSize(360, 360));
        list.addItem(item);
        list.setItemWidget(item, cate);
        rows << cate;
    }
    list.AddCateImage(row, &m_picture, "/p/a.jpg");
    list.SetCateName(row, QStringLiteral("家人们"));
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(rows[i]->GetListWidget()->GetImagePaths(),
                 i == touched ? QStringList{"/p/a.jpg"} : QStringList());
        QCOMPARE(rows[i]->GetCateName(),
                 i == touched ? QStringLiteral("家人们") : QStringLiteral("点击命名"));
    }
    list.ClearCateImages(row);
    for (QCateListItemWidget* cate : rows)
        QCOMPARE(cate->GetListWidget()->count(), 0);
    if (touched >= 0)
        QCOMPARE(rows[touched]->GetCaptionText(), QStringLiteral("可拖拽照片至此(已选 0 张)"));
}

void tst_CateLists::cateListDoubleClickAndResize()
{
    QCateListWidget list;
    auto* item = new QListWidgetItem;
    item->setSizeHint(QSize(360, 360));
    list.addItem(item);
    list.setItemWidget(item, new QCateListItemWidget(130, false, false, false, false));
    list.resize(500, 900);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(item->sizeHint(), QSize(list.width() - 30, 430));
    list.resize(420, 900);
    QCOMPARE(item->sizeHint(), QSize(390, 430));
    QCOMPARE(list.iconSize(), QSize(390, 430));

    QSignalSpy addRow(&list, &QCateListWidget::addCateItem);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, QPoint(200, 880));
    QCOMPARE(addRow.count(), 1);
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

// A name of up to twenty characters shows whole in its row, in the narrowest list the edit page
// allows; the tooltip (and on the category page the title) always holds the whole name.
void tst_CateLists::nameFieldShowsTheWholeName()
{
    QFETCH(bool, locked);
    QFETCH(QString, name);
    QCateListWidget list;
    auto* cate = new QCateListItemWidget(130, locked, locked, locked, locked);
    auto* item = new QListWidgetItem;
    list.addItem(item);
    list.setItemWidget(item, cate);
    list.resize(locked ? 1000 : list.MinimumRowsWidth(), 700);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    cate->SetCateName(name);

    auto* box = cate->findChild<QComboBox*>();
    QLineEdit* edit = box->lineEdit();
    QTRY_VERIFY(edit->isVisible());
    // The line edit keeps two pixels free on either side of its text.
    QVERIFY2(
        edit->width() - 4 >= edit->fontMetrics().horizontalAdvance(name),
        qPrintable(QString("%1 < %2").arg(edit->width()).arg(edit->fontMetrics().horizontalAdvance(name))));
    QVERIFY(QRect(QPoint(), cate->size()).contains(box->geometry()));
    QCOMPARE(box->toolTip(), name);
    auto* title = cate->findChild<QLabel*>();
    QCOMPARE(title->isVisible(), locked);
    if (locked)
        QCOMPARE(cate->GetTitleText(), name);

    // Longer than the field: the start shows, and the tooltip follows every change.
    const QString longer = name + name;
    cate->SetCateName(longer);
    QCOMPARE(edit->cursorPosition(), 0);
    QCOMPARE(box->toolTip(), longer);
    if (!locked) {
        box->setEditText(QStringLiteral("海边"));
        QCOMPARE(box->toolTip(), QStringLiteral("海边"));
    }
}

QTEST_MAIN(tst_CateLists)
#include "tst_catelists.moc"
