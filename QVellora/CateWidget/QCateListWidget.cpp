// SPDX-License-Identifier: MIT
#include "CateWidget/QCateListWidget.h"

#include "CateWidget/QCateListItemWidget.h"

#include <QResizeEvent>

QCateListWidget::QCateListWidget(QWidget* parent) : QListWidget(parent)
{
    setResizeMode(QListView::Adjust);
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setSpacing(10);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAcceptDrops(false);
}

void QCateListWidget::AddCateImage(int row, QPixmap* picture, const QString& path)
{
    if (QCateListItemWidget* cate = GetCateItem(row))
        cate->AddImageItem(picture, path);
}

void QCateListWidget::SetCateName(int row, const QString& name)
{
    if (QCateListItemWidget* cate = GetCateItem(row))
        cate->SetCateName(name);
}

void QCateListWidget::ClearCateImages(int row)
{
    if (QCateListItemWidget* cate = GetCateItem(row))
        cate->ClearImageItems();
}

QCateListItemWidget* QCateListWidget::GetCateItem(int row) const
{
    if (row < 0 || row >= count())
        return nullptr;
    return qobject_cast<QCateListItemWidget*>(itemWidget(item(row)));
}

void QCateListWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit addCateItem();
    QListWidget::mouseDoubleClickEvent(event);
}

QSize QCateListWidget::GetRowSize() const
{
    return QSize(width() - 30, 430);
}

void QCateListWidget::resizeEvent(QResizeEvent* event)
{
    QListWidget::resizeEvent(event);
    const QSize rowSize = GetRowSize();
    setIconSize(rowSize);
    for (int i = 0; i < count(); ++i)
        item(i)->setSizeHint(rowSize);
    update();
}
