// SPDX-License-Identifier: MIT
#pragma once

#include <QListWidget>

class QCateListItemWidget;

// The column of category rows. Row operations by index ignore indexes outside the list.
class QCateListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit QCateListWidget(QWidget* parent = nullptr);

    void AddCateImage(int row, QPixmap* picture, const QString& path);
    void SetCateName(int row, const QString& name);
    void ClearCateImages(int row);
    // The row widget at row, or null outside the list.
    QCateListItemWidget* GetCateItem(int row) const;
    // The size of every row: the list's width, so that rows stack one below the other. A row added
    // with any other size sits beside its neighbour once the list is wide enough for both.
    QSize GetRowSize() const;

signals:
    void addCateItem();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
