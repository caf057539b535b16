// SPDX-License-Identifier: MIT
#include "PhotoView/QPhotoViewListWidget.h"

#include "Dialogs/QUserDialogs.h"
#include "PhotoView/QPhotoViewImageDlg.h"
#include "PhotoView/QTileItemDelegate.h"
#include "Pictures/CPhotoDragPayload.h"

#include <QApplication>
#include <QDateTime>
#include <QDrag>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

namespace {
// Between tiles; small, so that more columns fit.
constexpr int kSpacing = 8;
constexpr int kWheelStep = 16;
} // namespace

QPhotoViewListWidget::QPhotoViewListWidget(int tileSize, QWidget* parent)
    : QListView(parent), m_ownPictures(std::make_unique<CPictureListModel>()),
      m_delegate(new QTileItemDelegate(this)), m_viewDlg(std::make_unique<QPhotoViewImageDlg>()),
      m_menu(new QMenu(this)), m_showLargeAction(m_menu->addAction(tr("显示大图"))),
      m_compareLookalikesAction(m_menu->addAction(tr("对比相似照片"))), m_visibleTimer(new QTimer(this))
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setSpacing(kSpacing);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setDragEnabled(true);
    setAcceptDrops(false);
    setDropIndicatorShown(false);
    setItemDelegate(m_delegate);
    ApplyTileSize(tileSize);
    SetPictureModel(m_ownPictures.get());
    setToolTip(tr("方向键、PageUp/PageDown、Home/End 移动；空格 勾选；Ctrl+A 全选；Esc 取消勾选；\n"
                  "1–9 放入类别，Shift+1–9 移出，0 移出全部类别；回车 看大图；Ctrl+滚轮 缩放"));

    m_visibleTimer->setSingleShot(true);
    m_visibleTimer->setInterval(0);
    connect(m_visibleTimer, &QTimer::timeout, this, [this]() {
        const QPair<int, int> shown = VisibleRows();
        emit visibleRowsChanged(shown.first, shown.second);
    });
    connect(m_showLargeAction, &QAction::triggered, this, &QPhotoViewListWidget::onShowImageView);
    connect(m_compareLookalikesAction, &QAction::triggered, this,
            [this]() { emit compareLookalikes(PathAt(m_currentRow)); });
    connect(m_viewDlg.get(), &QPhotoViewImageDlg::sigGetPreImage, this, &QPhotoViewListWidget::onGetPreImage);
    connect(m_viewDlg.get(), &QPhotoViewImageDlg::sigGetNextImage, this,
            &QPhotoViewListWidget::onGetNextImage);
    connect(m_viewDlg.get(), &QPhotoViewImageDlg::sigGetCompareImage, this,
            &QPhotoViewListWidget::onGetCompareImage);
}

QPhotoViewListWidget::~QPhotoViewListWidget()
{
    // The view lets go of the model before its own model goes.
    setModel(nullptr);
}

void QPhotoViewListWidget::SetPictureModel(CPictureListModel* pictures)
{
    if (m_pictures)
        disconnect(m_pictures, nullptr, this, nullptr);
    m_pictures = pictures;
    setModel(pictures);
    auto rowsMoved = [this]() {
        SetCurrentRow(-1);
        ScheduleVisibleRows();
    };
    connect(pictures, &QAbstractItemModel::modelReset, this, rowsMoved);
    connect(pictures, &QAbstractItemModel::rowsRemoved, this, rowsMoved);
    connect(pictures, &QAbstractItemModel::rowsInserted, this, [this]() { ScheduleVisibleRows(); });
    ScheduleVisibleRows();
}

void QPhotoViewListWidget::AddPhotoItem(const QImage& picture, const QString& path)
{
    m_pictures->appendPicture(path, picture);
}

void QPhotoViewListWidget::ClearSelfData()
{
    m_pictures->clear();
    emit ticksChanged();
}

QStringList QPhotoViewListWidget::GetCheckedPaths() const
{
    QStringList paths;
    for (int row : GetCheckedRows())
        paths.append(PathAt(row));
    return paths;
}

void QPhotoViewListWidget::UntickPaths(const QStringList& paths)
{
    bool changed = false;
    for (const QString& path : paths) {
        const int row = m_pictures->rowOf(path);
        if (m_pictures->isTicked(row)) {
            m_pictures->setTicked(row, false);
            changed = true;
        }
    }
    if (changed)
        emit ticksChanged();
}

void QPhotoViewListWidget::SetPictureFacts(const QString& path, QSize pixels, const QDateTime& taken,
                                           qint64 bytes, const QString& refusal)
{
    CPictureFacts facts = m_pictures->facts(m_pictures->rowOf(path));
    if (!refusal.isEmpty())
        facts.refusal = refusal;
    if (pixels.isValid() && !pixels.isEmpty())
        facts.pixelSize = pixels;
    if (taken.isValid())
        facts.captureTime = taken;
    if (bytes >= 0)
        facts.fileBytes = bytes;
    m_pictures->setFacts(path, facts);
}

void QPhotoViewListWidget::SetLookalikes(const QHash<QString, int>& groupSizes, const QSet<QString>& hidden,
                                         const QSet<QString>& sharpest)
{
    bool untickedSome = false;
    for (auto size = groupSizes.constBegin(); size != groupSizes.constEnd(); ++size) {
        const int row = m_pictures->rowOf(size.key());
        if (row < 0 || m_pictures->isFolder(row))
            continue;
        m_pictures->setLookalikeCount(size.key(), *size);
        m_pictures->setSharpest(size.key(), sharpest.contains(size.key()));
        const bool hide = hidden.contains(size.key());
        if (hide != isRowHidden(row))
            setRowHidden(row, hide);
        if (hide && m_pictures->isTicked(row)) {
            m_pictures->setTicked(row, false);
            untickedSome = true;
        }
    }
    if (untickedSome)
        emit ticksChanged();
    ScheduleVisibleRows();
}

QPair<int, int> QPhotoViewListWidget::VisibleRows() const
{
    const int rows = count();
    if (rows == 0)
        return {0, -1};
    const QRect area = viewport()->rect();
    // Any point of a cell finds it; the gaps between cells are searched a step at a time.
    auto firstFrom = [&](QPoint at, int stepX, int stepY) {
        for (int tries = 0; tries < 64; ++tries) {
            const QModelIndex found = indexAt(at);
            if (found.isValid())
                return found.row();
            at += QPoint(stepX, stepY);
            if (!area.adjusted(-1, -1, 1, 1).contains(at))
                break;
        }
        return -1;
    };
    const int step = kSpacing;
    int first = firstFrom(area.topLeft() + QPoint(1, 1), step, step);
    int last = firstFrom(area.bottomRight() - QPoint(1, 1), -step, -step);
    if (first < 0)
        first = 0;
    if (last < 0)
        last = qMin(rows - 1, first + 64);
    // A line's last cells are right of the corner found.
    const int perLine = qMax(1, area.width() / qMax(1, gridSizeOf()));
    return {first, qMin(rows - 1, last + perLine)};
}

int QPhotoViewListWidget::gridSizeOf() const
{
    return TileSize() + 2 * kSpacing;
}

QSize QPhotoViewListWidget::sizeHint() const
{
    return QSize(150, 200);
}

int QPhotoViewListWidget::TileSize() const
{
    return m_delegate->tileSize();
}

void QPhotoViewListWidget::SetTileSize(int side)
{
    side = qBound(MinTileSize, side, MaxTileSize);
    if (side == TileSize())
        return;
    // The tile on screen stays in view.
    const int keep = VisibleRows().first;
    ApplyTileSize(side);
    if (keep >= 0 && keep < count())
        scrollTo(model()->index(keep, 0), QAbstractItemView::PositionAtTop);
    ScheduleVisibleRows();
    emit tileSizeChanged(side);
}

void QPhotoViewListWidget::ApplyTileSize(int side)
{
    m_delegate->setTileSize(qBound(MinTileSize, side, MaxTileSize));
    // Equal cells: the delegate's size hint changed for every row at once.
    doItemsLayout();
}

void QPhotoViewListWidget::SetCurrentRow(int row)
{
    m_currentRow = row;
    m_delegate->setCurrentRow(row);
    viewport()->update();
}

void QPhotoViewListWidget::SetCurrentTile(int row)
{
    if (row < 0 || row >= count())
        return;
    SetCurrentRow(row);
    const QModelIndex at = model()->index(row, 0);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
    scrollTo(at);
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
    if (m_currentRow < 0 || m_currentRow >= count()) {
        SetCurrentTile(0);
        return;
    }
    selectionModel()->setCurrentIndex(model()->index(m_currentRow, 0), QItemSelectionModel::NoUpdate);
    const QModelIndex next = moveCursor(action, Qt::NoModifier);
    if (next.isValid())
        SetCurrentTile(next.row());
}

void QPhotoViewListWidget::ToggleTick(int row)
{
    if (row < 0 || row >= count())
        return;
    m_pictures->setTicked(row, !m_pictures->isTicked(row));
    emit ticksChanged();
}

void QPhotoViewListWidget::TickAll()
{
    for (int row = 0; row < count(); ++row) {
        if (!isRowHidden(row))
            m_pictures->setTicked(row, true);
    }
    emit ticksChanged();
}

void QPhotoViewListWidget::SetTicks(const QStringList& paths)
{
    m_pictures->clearTicks();
    for (const QString& path : paths) {
        const int row = m_pictures->rowOf(path);
        if (row >= 0 && !m_pictures->isFolder(row) && !isRowHidden(row))
            m_pictures->setTicked(row, true);
    }
    emit ticksChanged();
}

void QPhotoViewListWidget::ClearTicks()
{
    m_pictures->clearTicks();
    emit ticksChanged();
}

int QPhotoViewListWidget::StepShown(int row, int step) const
{
    const int rows = count();
    if (rows == 0)
        return -1;
    int at = qBound(0, row, rows - 1);
    for (int next = row + step; next >= 0 && next < rows; next += step) {
        if (!isRowHidden(next))
            return next;
    }
    return at;
}

void QPhotoViewListWidget::onGetPreImage()
{
    const int row = StepShown(m_currentRow, -1);
    if (row < 0)
        return;
    m_currentRow = row;
    m_viewDlg->SetImage(PathAt(row));
}

void QPhotoViewListWidget::onGetNextImage()
{
    const int row = StepShown(m_currentRow, 1);
    if (row < 0)
        return;
    m_currentRow = row;
    m_viewDlg->SetImage(PathAt(row));
}

void QPhotoViewListWidget::onGetCompareImage()
{
    const int row = StepShown(m_currentRow, 1);
    if (row < 0)
        return;
    m_currentRow = row;
    m_viewDlg->SetCompareImage(PathAt(row));
}

void QPhotoViewListWidget::onShowImageView()
{
    if (m_currentRow < 0 || m_currentRow >= count())
        return;
    m_viewDlg->SetImage(PathAt(m_currentRow));
    QUserDialogs::exec(m_viewDlg.get());
}

void QPhotoViewListWidget::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex pressed = indexAt(event->pos());
    if (event->button() == Qt::LeftButton) {
        m_pressPos = event->pos();
        if (pressed.isValid()) {
            SetCurrentRow(pressed.row());
            emit checkImageItem(PathAt(pressed.row()));
        }
    } else if (event->buttons() == Qt::RightButton && pressed.isValid()) {
        SetCurrentRow(pressed.row());
        m_compareLookalikesAction->setEnabled(!m_pictures->isFolder(pressed.row()) &&
                                              m_pictures->lookalikeCount(pressed.row()) >= 2);
        m_menu->exec(event->globalPos());
    }
    QListView::mousePressEvent(event);
}

void QPhotoViewListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressPos = event->pos();
        const QModelIndex released = indexAt(m_pressPos);
        if (released.isValid()) {
            SetCurrentRow(released.row());
            ToggleTick(released.row());
        }
    }
    QListView::mouseReleaseEvent(event);
}

void QPhotoViewListWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex clicked = indexAt(event->pos());
    if (clicked.isValid()) {
        SetCurrentRow(clicked.row());
        const QString path = PathAt(clicked.row());
        const QFileInfo info(path);
        if (info.isDir())
            emit doubleFolder(path);
        else if (info.isFile())
            onShowImageView();
    }
    QListView::mouseDoubleClickEvent(event);
}

void QPhotoViewListWidget::mouseMoveEvent(QMouseEvent* event)
{
    if ((event->buttons() & Qt::LeftButton) && indexAt(m_pressPos).isValid() &&
        (event->pos() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        startDrag(Qt::MoveAction);
        // The drag ate the release: the base class must not take the next move for a new drag.
        setState(NoState);
        return;
    }
    QListView::mouseMoveEvent(event);
}

void QPhotoViewListWidget::keyPressEvent(QKeyEvent*) {}

void QPhotoViewListWidget::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int notches = event->angleDelta().y() / 120;
        if (notches != 0)
            SetTileSize(TileSize() + notches * kWheelStep);
        event->accept();
        return;
    }
    QListView::wheelEvent(event);
}

void QPhotoViewListWidget::contextMenuEvent(QContextMenuEvent*)
{
    viewport()->update();
}

void QPhotoViewListWidget::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    // At once: what the workers take next must already follow the jump.
    m_visibleTimer->stop();
    const QPair<int, int> shown = VisibleRows();
    emit visibleRowsChanged(shown.first, shown.second);
}

void QPhotoViewListWidget::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    ScheduleVisibleRows();
}

void QPhotoViewListWidget::ScheduleVisibleRows()
{
    if (!m_visibleTimer->isActive())
        m_visibleTimer->start();
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
    // joins only if it was ticked before. A thumbnail not in memory travels as a null picture.
    QStringList paths;
    QList<QPixmap> pictures;
    QPixmap dragPicture;
    for (int row : GetCheckedRows()) {
        const QString path = PathAt(row);
        const QImage thumbnail = m_pictures->thumbnail(path);
        const QPixmap picture = thumbnail.isNull() ? QPixmap() : QPixmap::fromImage(thumbnail);
        paths.append(path);
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
