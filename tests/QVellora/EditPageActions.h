// SPDX-License-Identifier: MIT
#pragma once

#include "CategoryParts.h"
#include "EditPage/QEditPage.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "TestSupport.h"
#include "WidgetTestHelpers.h"

#include <QDir>

#include <QDrag>
#include <QTimer>
#include <QtTest>

// What a user does on the edit page, for the tests that drive it.
namespace EditPageActions {

// count pictures "p0000.jpg", ... in root/folder, each of its own colour; empty on failure.
inline QStringList writePictures(const QString& root, const QString& folder, int count,
                                 const QSize& size = QSize(16, 12))
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(root).filePath(QString("%1/p%2.jpg").arg(folder).arg(i, 4, 10, QChar('0')));
        const QColor colour = QColor::fromHsv((i * 37) % 360, 200, 220);
        if (!TestSupport::writeImage(path, size, colour, Qt::white))
            return {};
        paths << path;
    }
    return paths;
}

// The centre of a tile's square on the grid's viewport, scrolled into view first.
inline QPoint tileCentre(QPhotoViewListWidget* grid, int row)
{
    const QModelIndex at = grid->model()->index(row, 0);
    grid->scrollTo(at);
    const QRect cell = grid->visualRect(at);
    return cell.topLeft() + QPoint(grid->TileSize() / 2, grid->TileSize() / 2);
}

inline void clickTile(QPhotoViewListWidget* grid, int row)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, tileCentre(grid, row));
}

inline void doubleClickTile(QPhotoViewListWidget* grid, int row)
{
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, tileCentre(grid, row));
}

inline QStringList tilePaths(QPhotoViewListWidget* grid)
{
    QStringList paths;
    for (int row = 0; row < grid->count(); ++row)
        paths << grid->PathAt(row);
    return paths;
}

// What the tile of a row paints, as its model row tells the delegate.
inline QVariant tileData(QPhotoViewListWidget* grid, int row, int role)
{
    return grid->model()->index(row, 0).data(role);
}

inline QList<QColor> tileMarks(QPhotoViewListWidget* grid, int row)
{
    return tileData(grid, row, CPictureListModel::MarksRole).value<QList<QColor>>();
}

inline bool tileTicked(QPhotoViewListWidget* grid, int row)
{
    return tileData(grid, row, CPictureListModel::TickedRole).toBool();
}

inline int tileLookalikes(QPhotoViewListWidget* grid, int row)
{
    return tileData(grid, row, CPictureListModel::LookalikeCountRole).toInt();
}

// Whether every row of the grid has been through the workers once.
inline bool gridLoaded(QPhotoViewListWidget* grid)
{
    for (int row = 0; row < grid->count(); ++row) {
        if (!tileData(grid, row, CPictureListModel::LoadedRole).toBool())
            return false;
    }
    return true;
}

// Ticks the tiles of these rows, drags the ticked pictures and drops them onto category row cate.
inline bool dragTicked(QEditPage& page, const QList<int>& rows, int cate)
{
    using WidgetTestHelpers::DragCatcher;
    using WidgetTestHelpers::sendMouse;
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    for (int row : rows)
        clickTile(grid, row);
    DragCatcher catcher;
    grid->installEventFilter(&catcher);
    QWidget* tile = grid->viewport();
    const QPoint start = tileCentre(grid, rows.last());
    // On a display server (screenshots under Xvfb) the drag waits for the button to come up; the
    // offscreen platform ends it at once.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        QTimer::singleShot(100, grid, [grid] {
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(grid, &release);
        });
    }
    sendMouse(tile, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    sendMouse(tile, QEvent::MouseMove, start + QPoint(QApplication::startDragDistance() + 2, 0), Qt::NoButton,
              Qt::LeftButton);
    grid->removeEventFilter(&catcher);
    const QDrag* drag = catcher.drag();
    QCategoryRow* row = CategoryParts::column(&page)->rowWidget(cate);
    if (!drag || !row)
        return false;
    QWidget* target = CategoryParts::pictures(row)->viewport();
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::MoveAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::MoveAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

} // namespace EditPageActions
