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
    // Rows as tall as their pictures need (one line of pictures at least) instead of the fixed
    // height; they follow the list's width and their picture count. The category page asks for
    // this; the edit page's rows keep one size, so a drop target never moves under a drag.
    void SetRowsFitPictures(bool fit);
    bool GetRowsFitPictures() const { return m_fitRows; }
    // Gives every row the size it should have now.
    void FitRows();
    // The narrowest list that holds a whole row of the edit page, name box included.
    int MinimumRowsWidth() const;

signals:
    void addCateItem();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // A row whose picture count changed asks for a new geometry, which arrives here.
    bool viewportEvent(QEvent* event) override;

private:
    bool m_fitRows = false;
};
