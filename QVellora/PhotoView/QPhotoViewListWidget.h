// SPDX-License-Identifier: MIT
#pragma once

#include <QListWidget>

#include <memory>

class QAction;
class QMenu;
class QPhotoItem;
class QPhotoViewImageDlg;

// The thumbnail grid: folder tiles first, then photo tiles, in a wrapping icon grid. A left click
// ticks or unticks a tile; dragging carries the ticked pictures, in the order they were ticked, to
// a category list under "photo/x-ombrel-cata". It owns one viewer, which it steps through its rows.
class QPhotoViewListWidget : public QListWidget
{
    Q_OBJECT
public:
    enum { PictureRole = Qt::UserRole, PathRole = Qt::UserRole + 1 };

    explicit QPhotoViewListWidget(int itemSize, QWidget* parent = nullptr);
    ~QPhotoViewListWidget() override;

    // Appends a photo tile. The picture is painted through the pointer and must stay alive as
    // long as the item (it lives in the page's thumbnail cache); a copy goes into the item.
    void AddPhotoItem(QPixmap* picture, const QString& path);
    // Inserts a folder tile at row 0 and returns its row; picture is only copied.
    int AddPhotosItem(const QStringList& picturePaths, const QString& folderPath, QPixmap* picture);
    // Removes every item and forgets the ticks.
    void ClearSelfData();
    // The pictures joined a category of this colour: untick them, mark them, forget all ticks.
    void SetAddUsePhotos(const QStringList& paths, const QColor& color);
    // The pictures left the category of this colour.
    void SetSubUsePhotos(const QStringList& paths, const QColor& color);

    QList<int> GetCheckedRows() const { return m_checkedRows; }
    int GetCurrentRow() const { return m_currentRow; }
    QPhotoItem* GetPhotoItem(int row) const;
    QPhotoViewImageDlg* GetViewImageDlg() const { return m_viewDlg.get(); }
    QSize sizeHint() const override;

signals:
    void checkImageItem(QString qstrPath);
    void doubleFolder(QString qstrPath);
    // Declared for the pages that connect them; the grid itself never emits these.
    void deletePhoto(QList<int>);
    void doubleImageFile(QString qstrPath);

public slots:
    void onDoubleItem(const QString& qstrPath);
    void onGetPreImage();
    void onGetNextImage();
    void onGetCompareImage();
    void onShowImageView();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    void AddTile(QListWidgetItem* item, QPhotoItem* tile, const QPixmap& picture, int row);
    // Moves the current row by step, clamped to the rows; false (and no move) while empty.
    bool StepCurrentRow(int step);
    QString PathAt(int row) const;

    QMenu* m_menu;
    QAction* m_showLargeAction;
    int m_currentRow = -1;
    std::unique_ptr<QPhotoViewImageDlg> m_viewDlg;
    QPoint m_pressPos;
    int m_itemSize;
    QList<int> m_checkedRows;
};
