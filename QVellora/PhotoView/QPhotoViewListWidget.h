// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPictureListModel.h"

#include <QHash>
#include <QListView>
#include <QSet>

#include <memory>

class QAction;
class QDateTime;
class QMenu;
class QPhotoViewImageDlg;
class QTileItemDelegate;
class QTimer;

// The thumbnail grid: a view of a picture model (CPictureListModel), folder rows first, then
// pictures, in a wrapping icon grid of equal cells painted by one delegate (QTileItemDelegate);
// no widget per tile. A left click ticks or unticks a tile; dragging carries the ticked pictures,
// in the order they were ticked, to a category list under "photo/x-ombrel-cata". It owns one
// viewer, which it steps through the rows that show. Its own key presses do nothing; the edit
// page's sorting keys move and tick through the public calls below.
//
// Ticks live in the model's rows (TickedRole): what shows a tick is exactly what the next drag
// carries. Ctrl+wheel (or SetTileSize) sets the side of the tiles.
class QPhotoViewListWidget : public QListView
{
    Q_OBJECT
public:
    enum
    {
        PathRole = CPictureListModel::PathRole,
        PixelSizeRole = CPictureListModel::PixelSizeRole,
        TakenRole = CPictureListModel::TakenRole,
        FileBytesRole = CPictureListModel::FileBytesRole,
        RefusalRole = CPictureListModel::RefusalRole
    };
    static constexpr int MinTileSize = 96;
    static constexpr int MaxTileSize = 320;
    static constexpr int DefaultTileSize = 180;

    // A grid over a model of its own (filled with AddPhotoItem); SetPictureModel shares another.
    explicit QPhotoViewListWidget(int tileSize = DefaultTileSize, QWidget* parent = nullptr);
    ~QPhotoViewListWidget() override;

    // Views this model from now on; not owned.
    void SetPictureModel(CPictureListModel* pictures);
    CPictureListModel* pictureModel() const { return m_pictures; }

    // Appends a photo tile with its thumbnail (the grid's own model).
    void AddPhotoItem(const QImage& picture, const QString& path);
    // Removes every row of the grid's own model and forgets the ticks.
    void ClearSelfData();
    // The pictures joined a category: their ticks go. Other ticks stay.
    void UntickPaths(const QStringList& paths);
    // Stores what a worker learnt about the file at path on its row (see CPictureListModel).
    // refusal, when given, is why the picture was not read (it shows the broken-picture tile);
    // the tooltip leads with it.
    void SetPictureFacts(const QString& path, QSize pixels, const QDateTime& taken, qint64 bytes,
                         const QString& refusal = QString());
    // Look-alike groups on the rows of the paths in groupSizes: each gets its group's size (a
    // badge from two on) and is hidden when its path is in hidden, shown otherwise. A hidden row
    // loses its tick: a drag never carries a picture the user cannot see. Those in sharpest carry
    // the "最清晰" mark, the others lose it.
    void SetLookalikes(const QHash<QString, int>& groupSizes, const QSet<QString>& hidden,
                       const QSet<QString>& sharpest = {});

    int count() const { return m_pictures->rowCount(); }
    QString PathAt(int row) const { return m_pictures->pathAt(row); }
    // Photo rows, folder rows not counted.
    int PictureCount() const { return m_pictures->pictureCount(); }
    // The ticked rows and their paths, in ticking order.
    QList<int> GetCheckedRows() const { return m_pictures->tickedRows(); }
    QStringList GetCheckedPaths() const;
    int GetCurrentRow() const { return m_currentRow; }
    QPhotoViewImageDlg* GetViewImageDlg() const { return m_viewDlg.get(); }
    // The first and last row (partly) on screen; last < first when none.
    QPair<int, int> VisibleRows() const;
    QSize sizeHint() const override;

    int TileSize() const;
    // Clamped to MinTileSize..MaxTileSize.
    void SetTileSize(int side);

    // The keyboard's way to the same current tile and ticks as the mouse's: the current tile
    // is framed and scrolled into view; a tick is the same as a click's.
    void SetCurrentTile(int row);
    // Moves the current tile a line or a page up or down, as the view's cursor moves for the key
    // (Up, Down, PageUp, PageDown); to the first tile when there was none.
    void MoveCurrentTile(Qt::Key key);
    void ToggleTick(int row);
    // Ticks every row that shows and is not ticked yet, in row order after the ticks there were.
    void TickAll();
    // The ticks become exactly these pictures (those that show), in this order: one change.
    void SetTicks(const QStringList& paths);
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
    // The rows on screen changed (scroll, jump, resize, new rows); once per pass of the event loop.
    void visibleRowsChanged(int first, int last);
    void tileSizeChanged(int side);

public slots:
    // Previous and next step over the rows that show; compare shows the next one beside.
    void onGetPreImage();
    void onGetNextImage();
    void onGetCompareImage();
    // Shows the current row's picture in the viewer, modally; nothing for a row outside the list.
    void onShowImageView();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    void SetCurrentRow(int row);
    // The next row that shows from row in the direction of step, clamped to the ends.
    int StepShown(int row, int step) const;
    void ScheduleVisibleRows();
    void ApplyTileSize(int side);
    // The width of a cell with the spacing around it.
    int gridSizeOf() const;

    std::unique_ptr<CPictureListModel> m_ownPictures;
    CPictureListModel* m_pictures = nullptr;
    QTileItemDelegate* m_delegate;
    std::unique_ptr<QPhotoViewImageDlg> m_viewDlg;
    QMenu* m_menu;
    QAction* m_showLargeAction;
    QAction* m_compareLookalikesAction;
    QTimer* m_visibleTimer;
    QPoint m_pressPos;
    int m_currentRow = -1;
};
