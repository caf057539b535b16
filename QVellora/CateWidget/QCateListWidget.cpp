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
    if (m_fitRows)
        FitRows();
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
    if (m_fitRows)
        FitRows();
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

void QCateListWidget::SetRowsFitPictures(bool fit)
{
    m_fitRows = fit;
    FitRows();
}

void QCateListWidget::FitRows()
{
    const QSize rowSize = GetRowSize();
    setIconSize(rowSize);
    bool changed = false;
    for (int i = 0; i < count(); ++i) {
        const QCateListItemWidget* cate = m_fitRows ? GetCateItem(i) : nullptr;
        const QSize size = cate ? QSize(rowSize.width(), cate->HeightForPictures(rowSize.width())) : rowSize;
        if (item(i)->sizeHint() != size) {
            item(i)->setSizeHint(size);
            changed = true;
        }
    }
    // Icon mode takes a new size but leaves the rows where they were: they are laid out again.
    if (changed)
        scheduleDelayedItemsLayout();
    update();
}

int QCateListWidget::MinimumRowsWidth() const
{
    // Measured on a row like the edit page's: the caption above asks for more than it needs.
    const QCateListItemWidget row(130, false, false, false, false);
    return row.NameLineWidth() + (width() - GetRowSize().width());
}

void QCateListWidget::resizeEvent(QResizeEvent* event)
{
    QListWidget::resizeEvent(event);
    FitRows();
}

void QCateListWidget::showEvent(QShowEvent* event)
{
    QListWidget::showEvent(event);
    // Pictures may have come while the list was hidden, when rows cannot ask for a new size.
    if (m_fitRows)
        FitRows();
}

bool QCateListWidget::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest && m_fitRows)
        FitRows();
    return QListWidget::viewportEvent(event);
}
