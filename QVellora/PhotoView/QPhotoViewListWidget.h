// SPDX-License-Identifier: MIT
#pragma once

#include "PhotoView/QViewerListWidget.h"

#include <QHash>
#include <QPersistentModelIndex>
#include <QSet>

class QDateTime;

class QAction;
class QFrame;
class QMenu;
class QPhotoItem;

// The thumbnail grid: folder tiles first, then photo tiles, in a wrapping icon grid. A left click
// ticks or unticks a tile; dragging carries the ticked pictures, in the order they were ticked, to
// a category list under "photo/x-ombrel-cata". It owns one viewer, which it steps through its rows.
// Its own key presses do nothing; the edit page's sorting keys move and tick through the public
// calls below.
//
// Ticks are kept on the items themselves, not as row numbers: a folder tile inserted at the top
// while a folder still loads moves the rows but not what a drag carries. What shows a tick is
// exactly what the next drag carries.
class QPhotoViewListWidget : public QViewerListWidget
{
    Q_OBJECT
public:
    enum
    {
        PictureRole = Qt::UserRole,
        PathRole = Qt::UserRole + 1,
        // Facts about a photo's file, known once a worker has read them (unset until then).
        PixelSizeRole = Qt::UserRole + 2,
        TakenRole = Qt::UserRole + 3,
        FileBytesRole = Qt::UserRole + 4,
        RefusalRole = Qt::UserRole + 5 // why the picture shows the broken-picture tile
    };

    explicit QPhotoViewListWidget(int itemSize, QWidget* parent = nullptr);

    // Appends a photo tile. The picture is painted through the pointer and must stay alive as
    // long as the item (it lives in the page's thumbnail cache); a copy goes into the item.
    void AddPhotoItem(QPixmap* picture, const QString& path);
    // Inserts a folder tile at row 0 and returns its row; picture is only copied.
    int AddPhotosItem(const QStringList& picturePaths, const QString& folderPath, QPixmap* picture);
    // Removes every item and forgets the ticks.
    void ClearSelfData();
    // The pictures joined a category of this colour: untick and mark them. Other ticks stay.
    void SetAddUsePhotos(const QStringList& paths, const QColor& color);
    // The pictures left the category of this colour.
    void SetSubUsePhotos(const QStringList& paths, const QColor& color);

    // Stores what a worker learnt about the file at path on its tiles and renews their tooltips:
    // the size in pixels, when it was taken and its size on disk. Invalid or negative values stay
    // unknown. The grid itself reads nothing from the disk. refusal, when given, is why the
    // picture was not read (it shows the broken-picture tile); the tooltip leads with it.
    void SetPictureFacts(const QString& path, QSize pixels, const QDateTime& taken, qint64 bytes,
                         const QString& refusal = QString());

    // Look-alike groups on the tiles of the paths in groupSizes: each gets its group's size (a
    // badge from two on) and is hidden when its path is in hidden, shown otherwise. Tiles of other
    // paths are left as they are. A hidden tile loses its tick: a drag never carries a picture the
    // user cannot see.
    void SetLookalikes(const QHash<QString, int>& groupSizes, const QSet<QString>& hidden);

    // The current rows and the paths of the ticked tiles, in ticking order.
    QList<int> GetCheckedRows() const;
    QStringList GetCheckedPaths() const;
    QPhotoItem* GetPhotoItem(int row) const;
    // Photo tiles, folder tiles not counted.
    int PictureCount() const;
    QSize sizeHint() const override;

    // The keyboard's way to the same current tile and ticks as the mouse's: the current tile
    // is framed and scrolled into view; a tick is the same as a click's.
    void SetCurrentTile(int row);
    // Moves the current tile a line or a page up or down, as the view's cursor moves for the key
    // (Up, Down, PageUp, PageDown); to the first tile when there was none.
    void MoveCurrentTile(Qt::Key key);
    void ToggleTick(int row);
    // Ticks every tile not ticked yet, in row order after the ticks there were.
    void TickAll();
    void ClearTicks();

signals:
    // A tile was ticked or unticked, by the mouse, the keyboard or by joining a category.
    void ticksChanged();
    void checkImageItem(QString qstrPath);
    void doubleFolder(QString qstrPath);
    // Declared for the pages that connect them; the grid itself never emits these.
    void deletePhoto(QList<int>);
    void doubleImageFile(QString qstrPath);
    // "对比相似照片" was chosen on the tile of this picture.
    void compareLookalikes(QString qstrPath);

public slots:
    void onDoubleItem(const QString& qstrPath);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    // Every row can be viewed, folder rows included (they show an empty picture).
    int ViewableCount() const override { return count(); }
    QString ViewablePath(int row) const override;

private:
    void AddTile(QListWidgetItem* item, QPhotoItem* tile, const QPixmap& picture, int row);
    // The tooltip from what the item knows: always the path, the facts once they are set.
    static QString ComposeToolTip(const QListWidgetItem* item);
    // The tiles whose path is one of paths (exact text), found through the path index.
    QList<QPhotoItem*> TilesWithPaths(const QStringList& paths) const;
    // Drops the items that are gone or no longer show a tick.
    void ForgetUntickedItems();
    void PlaceCurrentFrame();

    QMenu* m_menu;
    QFrame* m_currentFrame;
    QAction* m_showLargeAction;
    QAction* m_compareLookalikesAction;
    QPoint m_pressPos;
    int m_itemSize;
    // Persistent indexes follow their items through inserts and become invalid when they go.
    QList<QPersistentModelIndex> m_checkedItems;
    // The items by path, so that what arrives for one picture (its facts, its group) costs the
    // same in a grid of a thousand tiles as in one of ten. Items go only all at once.
    QMultiHash<QString, QListWidgetItem*> m_itemsOfPath;
};
