// SPDX-License-Identifier: MIT
#include "PhotoView/QPhotoViewListWidget.h"

#include "PhotoView/QFolderItemWidget.h"
#include "PhotoView/QPhotoViewItemWidget.h"
#include "PhotoView/QTileItemDelegate.h"
#include "Pictures/CPhotoDragPayload.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDrag>
#include <QFileInfo>
#include <QFrame>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QSet>

QPhotoViewListWidget::QPhotoViewListWidget(int itemSize, QWidget* parent)
    : QViewerListWidget(parent), m_menu(new QMenu(this)), m_currentFrame(new QFrame(viewport())),
      m_showLargeAction(m_menu->addAction(QStringLiteral("显示大图"))),
      m_compareLookalikesAction(m_menu->addAction(QStringLiteral("对比相似照片"))), m_itemSize(itemSize)
{
    setViewMode(QListView::IconMode);
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setIconSize(QSize(itemSize, itemSize - 15));
    setSpacing(30);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setDragEnabled(true);
    setAcceptDrops(false);
    setDropIndicatorShown(false);
    setItemDelegate(new QTileItemDelegate(this));
    setToolTip(
        QStringLiteral("方向键、PageUp/PageDown、Home/End 移动；空格 勾选；Ctrl+A 全选；Esc 取消勾选；\n"
                       "1–9 放入类别，Shift+1–9 移出，0 移出全部类别；回车 看大图"));

    // The keyboard's current tile: a frame over it that lets the mouse through to the tile.
    m_currentFrame->setObjectName(QStringLiteral("currentTileFrame"));
    m_currentFrame->setStyleSheet(QStringLiteral(
        "#currentTileFrame { border: 3px solid rgb(61, 174, 233); background: transparent; }"));
    m_currentFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_currentFrame->hide();

    connect(m_showLargeAction, &QAction::triggered, this, &QPhotoViewListWidget::onShowImageView);
    connect(m_compareLookalikesAction, &QAction::triggered, this,
            [this]() { emit compareLookalikes(ViewablePath(GetCurrentRow())); });
}

void QPhotoViewListWidget::AddPhotoItem(QPixmap* picture, const QString& path)
{
    auto* tile = new QPhotoViewItemWidget(m_itemSize, m_itemSize, picture, path);
    AddTile(new QListWidgetItem, tile, picture ? *picture : QPixmap(), count());
}

int QPhotoViewListWidget::AddPhotosItem(const QStringList& picturePaths, const QString& folderPath,
                                        QPixmap* picture)
{
    auto* tile = new QFolderItemWidget(m_itemSize, m_itemSize, picturePaths, folderPath);
    auto* item = new QListWidgetItem;
    AddTile(item, tile, picture ? *picture : QPixmap(), 0);
    return row(item);
}

void QPhotoViewListWidget::ClearSelfData()
{
    m_checkedItems.clear();
    m_itemsOfPath.clear();
    for (int i = count() - 1; i >= 0; --i)
        delete item(i);
    clear();
    m_currentFrame->hide();
    emit ticksChanged();
}

int QPhotoViewListWidget::PictureCount() const
{
    int pictures = 0;
    for (int i = 0; i < count(); ++i) {
        if (!qobject_cast<QFolderItemWidget*>(itemWidget(item(i))))
            ++pictures;
    }
    return pictures;
}

void QPhotoViewListWidget::SetCurrentTile(int row)
{
    QListWidgetItem* tile = item(row);
    if (!tile)
        return;
    SetCurrentRow(row);
    selectionModel()->setCurrentIndex(indexFromItem(tile), QItemSelectionModel::NoUpdate);
    scrollToItem(tile);
    PlaceCurrentFrame();
}

void QPhotoViewListWidget::MoveCurrentTile(Qt::Key key)
{
    CursorAction action = MoveDown;
    if (key == Qt::Key_Up)
        action = MoveUp;
    else if (key == Qt::Key_PageUp)
        action = MovePageUp;
    else if (key == Qt::Key_PageDown)
        action = MovePageDown;
    else if (key != Qt::Key_Down)
        return;
    if (count() == 0)
        return;
    if (!item(GetCurrentRow())) {
        SetCurrentTile(0);
        return;
    }
    selectionModel()->setCurrentIndex(model()->index(GetCurrentRow(), 0), QItemSelectionModel::NoUpdate);
    const QModelIndex next = moveCursor(action, Qt::NoModifier);
    if (next.isValid())
        SetCurrentTile(next.row());
}

void QPhotoViewListWidget::ToggleTick(int row)
{
    QPhotoItem* tile = GetPhotoItem(row);
    if (!tile)
        return;
    tile->ToggleChecked();
    if (tile->IsChecked())
        m_checkedItems.append(QPersistentModelIndex(model()->index(row, 0)));
    else
        ForgetUntickedItems();
    emit ticksChanged();
}

void QPhotoViewListWidget::TickAll()
{
    for (int i = 0; i < count(); ++i) {
        QPhotoItem* tile = GetPhotoItem(i);
        if (tile && !tile->IsChecked()) {
            tile->SetChecked(true);
            m_checkedItems.append(QPersistentModelIndex(model()->index(i, 0)));
        }
    }
    emit ticksChanged();
}

void QPhotoViewListWidget::ClearTicks()
{
    for (int checkedRow : GetCheckedRows())
        GetPhotoItem(checkedRow)->SetChecked(false);
    m_checkedItems.clear();
    emit ticksChanged();
}

void QPhotoViewListWidget::PlaceCurrentFrame()
{
    const QListWidgetItem* tile = item(GetCurrentRow());
    if (!tile) {
        m_currentFrame->hide();
        return;
    }
    m_currentFrame->setGeometry(visualItemRect(tile));
    m_currentFrame->show();
    m_currentFrame->raise();
}

void QPhotoViewListWidget::scrollContentsBy(int dx, int dy)
{
    QViewerListWidget::scrollContentsBy(dx, dy);
    if (m_currentFrame->isVisible())
        PlaceCurrentFrame();
}

void QPhotoViewListWidget::updateGeometries()
{
    QViewerListWidget::updateGeometries();
    if (m_currentFrame->isVisible())
        PlaceCurrentFrame();
}

void QPhotoViewListWidget::SetAddUsePhotos(const QStringList& paths, const QColor& color)
{
    for (QPhotoItem* tile : TilesWithPaths(paths)) {
        tile->SetChecked(false);
        tile->AddItemColor(color);
    }
    ForgetUntickedItems();
    emit ticksChanged();
}

void QPhotoViewListWidget::SetSubUsePhotos(const QStringList& paths, const QColor& color)
{
    for (QPhotoItem* tile : TilesWithPaths(paths)) {
        tile->SubItemColor(color);
        tile->update();
    }
}

void QPhotoViewListWidget::SetPictureFacts(const QString& path, QSize pixels, const QDateTime& taken,
                                           qint64 bytes, const QString& refusal)
{
    for (QListWidgetItem* at : m_itemsOfPath.values(path)) {
        if (!refusal.isEmpty())
            at->setData(RefusalRole, refusal);
        if (pixels.isValid() && !pixels.isEmpty())
            at->setData(PixelSizeRole, pixels);
        if (taken.isValid())
            at->setData(TakenRole, taken);
        if (bytes >= 0)
            at->setData(FileBytesRole, bytes);
        at->setToolTip(ComposeToolTip(at));
    }
}

void QPhotoViewListWidget::SetLookalikes(const QHash<QString, int>& groupSizes, const QSet<QString>& hidden)
{
    bool untickedSome = false;
    for (auto size = groupSizes.constBegin(); size != groupSizes.constEnd(); ++size) {
        for (QListWidgetItem* at : m_itemsOfPath.values(size.key())) {
            const int i = row(at);
            QPhotoItem* tile = GetPhotoItem(i);
            if (!tile)
                continue;
            tile->SetLookalikeCount(*size);
            const bool hide = hidden.contains(tile->GetPath());
            if (hide != isRowHidden(i))
                setRowHidden(i, hide);
            if (hide && tile->IsChecked()) {
                tile->SetChecked(false);
                untickedSome = true;
            }
        }
    }
    if (untickedSome)
        ForgetUntickedItems();
}

QString QPhotoViewListWidget::ComposeToolTip(const QListWidgetItem* item)
{
    QStringList lines{QDir::toNativeSeparators(item->data(PathRole).toString())};
    const QString refusal = item->data(RefusalRole).toString();
    if (!refusal.isEmpty())
        lines.prepend(refusal);
    const QSize pixels = item->data(PixelSizeRole).toSize();
    if (pixels.isValid())
        lines << tr("尺寸 %1 × %2 像素").arg(pixels.width()).arg(pixels.height());
    const QDateTime taken = item->data(TakenRole).toDateTime();
    if (taken.isValid())
        lines << tr("拍摄时间 %1").arg(taken.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    const QVariant bytes = item->data(FileBytesRole);
    if (bytes.isValid())
        lines << tr("文件大小 %1")
                     .arg(QLocale::c().formattedDataSize(bytes.toLongLong(), 1,
                                                         QLocale::DataSizeTraditionalFormat));
    return lines.join(QLatin1Char('\n'));
}

QList<int> QPhotoViewListWidget::GetCheckedRows() const
{
    QList<int> rows;
    for (const QPersistentModelIndex& index : m_checkedItems) {
        const QPhotoItem* tile = index.isValid() ? GetPhotoItem(index.row()) : nullptr;
        if (tile && tile->IsChecked())
            rows.append(index.row());
    }
    return rows;
}

QStringList QPhotoViewListWidget::GetCheckedPaths() const
{
    QStringList paths;
    for (int checkedRow : GetCheckedRows())
        paths.append(ViewablePath(checkedRow));
    return paths;
}

void QPhotoViewListWidget::ForgetUntickedItems()
{
    QList<QPersistentModelIndex> stillTicked;
    for (int checkedRow : GetCheckedRows())
        stillTicked.append(QPersistentModelIndex(model()->index(checkedRow, 0)));
    m_checkedItems = stillTicked;
}

QPhotoItem* QPhotoViewListWidget::GetPhotoItem(int row) const
{
    return qobject_cast<QPhotoItem*>(itemWidget(item(row)));
}

QSize QPhotoViewListWidget::sizeHint() const
{
    return QSize(150, 200);
}

void QPhotoViewListWidget::onDoubleItem(const QString& qstrPath)
{
    const QFileInfo info(qstrPath);
    if (info.isDir())
        emit doubleFolder(qstrPath);
    else if (info.isFile())
        onShowImageView();
}

void QPhotoViewListWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressPos = event->pos();
        if (QListWidgetItem* pressed = itemAt(m_pressPos)) {
            SetCurrentRow(row(pressed));
            emit checkImageItem(ViewablePath(GetCurrentRow()));
        }
    } else if (event->buttons() == Qt::RightButton) {
        if (QListWidgetItem* pressed = itemAt(event->pos())) {
            SetCurrentRow(row(pressed));
            const QPhotoItem* tile = GetPhotoItem(row(pressed));
            m_compareLookalikesAction->setEnabled(tile && tile->LookalikeCount() >= 2);
            m_menu->exec(event->globalPos());
        }
    }
    QListWidget::mousePressEvent(event);
}

void QPhotoViewListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressPos = event->pos();
        if (QListWidgetItem* released = itemAt(m_pressPos)) {
            const int releasedRow = row(released);
            SetCurrentRow(releasedRow);
            ToggleTick(releasedRow);
            if (m_currentFrame->isVisible())
                PlaceCurrentFrame();
        }
    }
    QListWidget::mouseReleaseEvent(event);
}

void QPhotoViewListWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (QListWidgetItem* clicked = itemAt(event->pos()))
        SetCurrentRow(row(clicked));
    QListWidget::mouseDoubleClickEvent(event);
}

void QPhotoViewListWidget::mouseMoveEvent(QMouseEvent* event)
{
    if ((event->buttons() & Qt::LeftButton) && itemAt(m_pressPos) &&
        (event->pos() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        startDrag(Qt::MoveAction);
        // The drag ate the release: the base class must not take the next move for a new drag.
        setState(NoState);
        return;
    }
    QListWidget::mouseMoveEvent(event);
}

void QPhotoViewListWidget::keyPressEvent(QKeyEvent*) {}

void QPhotoViewListWidget::contextMenuEvent(QContextMenuEvent*)
{
    update();
}

void QPhotoViewListWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(CPhotoDragPayload::MimeType()))
        event->accept();
    else
        event->ignore();
}

void QPhotoViewListWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(CPhotoDragPayload::MimeType())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void QPhotoViewListWidget::startDrag(Qt::DropActions)
{
    // Only the ticked tiles travel, in the order they were ticked; the tile under the mouse
    // joins only if it was ticked before.
    QStringList paths;
    QList<QPixmap> pictures;
    QPixmap dragPicture;
    for (int checkedRow : GetCheckedRows()) {
        const QListWidgetItem* checked = item(checkedRow);
        if (!checked)
            continue;
        const QPixmap picture = checked->data(PictureRole).value<QPixmap>();
        paths.append(checked->data(PathRole).toString());
        pictures.append(picture);
        if (!picture.isNull())
            dragPicture = picture;
    }

    auto* mimeData = new QMimeData;
    mimeData->setData(CPhotoDragPayload::MimeType(), CPhotoDragPayload::Write(paths, pictures));
    auto* drag = new QDrag(this);
    drag->setMimeData(mimeData);
    if (!dragPicture.isNull()) {
        drag->setPixmap(dragPicture);
        drag->setHotSpot(QPoint(dragPicture.width() / 2, dragPicture.height() / 2));
    }
    drag->exec(Qt::MoveAction);
}

void QPhotoViewListWidget::AddTile(QListWidgetItem* item, QPhotoItem* tile, const QPixmap& picture, int row)
{
    connect(tile, &QPhotoItem::doublePhotoItem, this, &QPhotoViewListWidget::onDoubleItem);
    // The cell is taller than the square tile by the strip that names the file.
    item->setSizeHint(QSize(m_itemSize, m_itemSize + QPhotoItem::NameStripHeight(fontMetrics())));
    item->setData(PictureRole, picture);
    item->setData(PathRole, tile->GetPath());
    m_itemsOfPath.insert(tile->GetPath(), item);
    item->setToolTip(ComposeToolTip(item));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled);
    insertItem(row, item);
    setItemWidget(item, tile);
}

QList<QPhotoItem*> QPhotoViewListWidget::TilesWithPaths(const QStringList& paths) const
{
    const QSet<QString> wanted(paths.cbegin(), paths.cend());
    QList<QPhotoItem*> tiles;
    for (const QString& path : wanted) {
        for (QListWidgetItem* at : m_itemsOfPath.values(path)) {
            if (auto* tile = qobject_cast<QPhotoItem*>(itemWidget(at)))
                tiles.append(tile);
        }
    }
    return tiles;
}

QString QPhotoViewListWidget::ViewablePath(int row) const
{
    const QListWidgetItem* at = item(row);
    return at ? at->data(PathRole).toString() : QString();
}
