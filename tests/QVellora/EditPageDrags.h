// SPDX-License-Identifier: MIT
#pragma once

#include "CateWidget/QCateListItemWidget.h"
#include "CateWidget/QCateListWidget.h"
#include "CateWidget/QPhotoCataListWdiget.h"
#include "EditPage/QEditPage.h"
#include "PhotoView/QPhotoItem.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "WidgetTestHelpers.h"

#include <QApplication>
#include <QChildEvent>
#include <QDrag>
#include <QPointer>
#include <QTimer>
#include <QtTest>

// Sorting pictures on the edit page the way a user does: ticking tiles and dragging them onto a
// category row. Shared by the tests of the edit page and of the window.
namespace EditPageDrags {

inline void clickTile(QPhotoViewListWidget* grid, int row)
{
    QPhotoItem* tile = grid->GetPhotoItem(row);
    grid->scrollToItem(grid->item(row));
    QTest::mouseClick(tile, Qt::LeftButton, {}, tile->rect().center());
}

// Catches the QDrag the grid creates; the offscreen platform ends every drag at once, so the test
// drops its MIME data on the target itself.
class DragCatcher : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded)
            children.append(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    QDrag* drag() const
    {
        for (const QPointer<QObject>& child : children) {
            if (auto* found = qobject_cast<QDrag*>(child.data()))
                return found;
        }
        return nullptr;
    }
    QList<QPointer<QObject>> children;
};

// Ticks the tiles of these rows, drags the ticked pictures and drops them onto category row cate.
inline bool dragTicked(QEditPage& page, const QList<int>& rows, int cate)
{
    using WidgetTestHelpers::sendMouse;
    QPhotoViewListWidget* grid = page.GetPhotoViewList();
    for (int row : rows)
        clickTile(grid, row);
    DragCatcher catcher;
    grid->installEventFilter(&catcher);
    QPhotoItem* tile = grid->GetPhotoItem(rows.last());
    const QPoint start = tile->rect().center();
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
    QCateListItemWidget* row = page.GetCateListWidget()->GetCateItem(cate);
    if (!drag || !row)
        return false;
    QWidget* target = row->GetListWidget()->viewport();
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::MoveAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::MoveAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

} // namespace EditPageDrags
