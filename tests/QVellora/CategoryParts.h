// SPDX-License-Identifier: MIT
#pragma once

#include "CateWidget/QCateColorWidget.h"
#include "CateWidget/QCategoryColumn.h"
#include "CateWidget/QCategoryPicturesView.h"
#include "CateWidget/QCategoryRow.h"
#include "PageParts.h"
#include "Selection/CCategoryPictures.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>

// The category column of a page ("cateList") as the user sees it: its rows, what each row's
// picture view shows, the name box, the colour square. Read from the views, never from the
// selection, so that a view that does not follow its model fails the test.
namespace CategoryParts {

inline QCategoryColumn* column(const QObject* page)
{
    return PageParts::find<QCategoryColumn>(page, "cateList");
}

inline int rowCount(const QObject* page)
{
    return column(page)->count();
}

inline QCategoryRow* row(const QObject* page, int row)
{
    QCategoryRow* found = column(page)->rowWidget(row);
    if (!found)
        qFatal("category row %d not found", row);
    return found;
}

inline QCategoryPicturesView* pictures(const QCategoryRow* row)
{
    return PageParts::find<QCategoryPicturesView>(row, "pictures");
}

// The paths the row's picture view shows, in order.
inline QStringList paths(const QCategoryRow* row)
{
    const QAbstractItemModel* model = pictures(row)->model();
    QStringList shown;
    for (int i = 0; i < model->rowCount(); ++i)
        shown << model->index(i, 0).data(CCategoryPictures::PathRole).toString();
    return shown;
}

inline int pictureCount(const QCategoryRow* row)
{
    return pictures(row)->model()->rowCount();
}

inline QComboBox* nameBox(const QCategoryRow* row)
{
    return PageParts::find<QComboBox>(row, "nameBox");
}

inline QString name(const QCategoryRow* row)
{
    return nameBox(row)->currentText();
}

// The colour the row's square is painted in.
inline QColor colour(const QCategoryRow* row)
{
    return PageParts::find<QCateColorWidget>(row, "colour")->grab().toImage().pixelColor(10, 10);
}

inline QString text(const QCategoryRow* row, const char* label)
{
    return PageParts::find<QLabel>(row, label)->text();
}

// The print badge the row's tile of path carries (None when there is no such tile).
inline CCategoryPictures::Badge badge(const QCategoryRow* row, const QString& path)
{
    const QAbstractItemModel* model = pictures(row)->model();
    for (int i = 0; i < model->rowCount(); ++i) {
        const QModelIndex tile = model->index(i, 0);
        if (tile.data(CCategoryPictures::PathRole).toString() == path)
            return static_cast<CCategoryPictures::Badge>(tile.data(CCategoryPictures::BadgeRole).toInt());
    }
    return CCategoryPictures::Badge::None;
}

// Delivers a drag's enter and drop to the row's pictures the way the window system does; whether
// the drop was taken.
inline bool drop(const QCategoryRow* row, const QMimeData* data, bool* entered = nullptr)
{
    QWidget* target = pictures(row)->viewport();
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (entered)
        *entered = enter.isAccepted();
    QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return dropped.isAccepted() && dropped.dropAction() == Qt::MoveAction;
}

} // namespace CategoryParts
