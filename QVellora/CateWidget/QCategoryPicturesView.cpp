// SPDX-License-Identifier: MIT
#include "CateWidget/QCategoryPicturesView.h"

#include "CLogging.h"
#include "CateWidget/QPrintBadgeDelegate.h"
#include "Dialogs/QUserDialogs.h"
#include "Editing/QSelectionEditor.h"
#include "PhotoView/QPhotoViewImageDlg.h"
#include "Pictures/CPhotoDragPayload.h"
#include "Selection/CCategoryPictures.h"

#include <QDebug>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

QCategoryPicturesView::QCategoryPicturesView(CCategoryPictures* pictures, QSelectionEditor* editor,
                                             int itemSize, QWidget* parent)
    : QListView(parent), m_pictures(pictures), m_editor(editor), m_itemSize(itemSize),
      m_menu(new QMenu(this)), m_viewer(std::make_unique<QPhotoViewImageDlg>())
{
    setModel(pictures);
    setItemDelegate(new QPrintBadgeDelegate(itemSize, this));
    setViewMode(QListView::IconMode);
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setIconSize(QSize(itemSize, itemSize));
    setSpacing(10);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setMovement(QListView::Static);
    // Pictures never leave the list by dragging, but are dropped on it (after the movement,
    // which sets both).
    setDragEnabled(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);

    connect(m_menu->addAction(tr("删除")), &QAction::triggered, this,
            [this] { takeOut({m_pictures->path(m_currentRow)}); });
    connect(m_viewer.get(), &QPhotoViewImageDlg::sigGetPreImage, this, [this] {
        if (step(-1))
            m_viewer->SetImage(m_pictures->path(m_currentRow));
    });
    connect(m_viewer.get(), &QPhotoViewImageDlg::sigGetNextImage, this, [this] {
        if (step(1))
            m_viewer->SetImage(m_pictures->path(m_currentRow));
    });
    connect(m_viewer.get(), &QPhotoViewImageDlg::sigGetCompareImage, this, [this] {
        if (step(1))
            m_viewer->SetCompareImage(m_pictures->path(m_currentRow));
    });
}

QCategoryPicturesView::~QCategoryPicturesView() = default;

QSize QCategoryPicturesView::sizeHint() const
{
    return QSize(200, 200);
}

int QCategoryPicturesView::heightFor(int width, int pictures) const
{
    // Icon mode puts the spacing before every picture and after the last one, on both axes.
    const int cell = m_itemSize + spacing();
    const int inner = width - 2 * frameWidth() - spacing();
    const int perLine = qMax(1, inner / cell);
    const int lines = qMax(1, (pictures + perLine - 1) / perLine);
    return lines * cell + spacing() + 2 * frameWidth();
}

void QCategoryPicturesView::takeOut(const QStringList& paths)
{
    if (m_editor)
        m_editor->takeOutOf(m_pictures->category(), paths);
}

bool QCategoryPicturesView::step(int step)
{
    const int count = m_pictures->rowCount();
    if (count == 0)
        return false;
    m_currentRow = qMin(qMax(m_currentRow + step, 0), count - 1);
    return true;
}

void QCategoryPicturesView::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

void QCategoryPicturesView::dragMoveEvent(QDragMoveEvent* event)
{
    event->acceptProposedAction();
}

void QCategoryPicturesView::dropEvent(QDropEvent* event)
{
    const QString mimeType = CPhotoDragPayload::MimeType();
    QStringList paths;
    QList<QImage> pictures;
    if (!event->mimeData()->hasFormat(mimeType) ||
        !CPhotoDragPayload::Read(event->mimeData()->data(mimeType), &paths, &pictures)) {
        qCDebug(lcPages) << "category drop refused: not a readable picture payload";
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    // One step for the whole drop; the pictures show once the selection has them.
    if (m_editor)
        m_editor->putInto(m_pictures->category(), paths);
}

void QCategoryPicturesView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        QStringList paths;
        for (const QModelIndex& chosen : selectionModel()->selectedIndexes())
            paths.append(m_pictures->path(chosen.row()));
        takeOut(paths);
    } else if (event->modifiers() == Qt::ControlModifier && event->key() == Qt::Key_A) {
        selectAll();
    }
}

void QCategoryPicturesView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        const QModelIndex pressed = indexAt(event->pos());
        if (pressed.isValid()) {
            m_currentRow = pressed.row();
            m_menu->exec(event->globalPos());
        }
    }
    QListView::mousePressEvent(event);
}

void QCategoryPicturesView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex clicked = indexAt(event->pos());
    if (clicked.isValid()) {
        m_currentRow = clicked.row();
        m_viewer->SetImage(m_pictures->path(m_currentRow));
        QUserDialogs::exec(m_viewer.get());
    }
    QListView::mouseDoubleClickEvent(event);
}
