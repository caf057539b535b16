// SPDX-License-Identifier: MIT
#include "CateWidget/QPhotoCataListWdiget.h"

#include "CLogging.h"
#include "CateWidget/QPrintBadgeDelegate.h"
#include "Pictures/CPhotoDragPayload.h"
#include "Pictures/CPrintSize.h"

#include <QDebug>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

QPhotoCataListWdiget::QPhotoCataListWdiget(int itemSize, QWidget* parent)
    : QViewerListWidget(parent), m_menu(new QMenu(this)),
      m_deleteAction(m_menu->addAction(QStringLiteral("删除"))), m_itemSize(itemSize),
      m_printSize(CPrintSize::standard().key())
{
    setItemDelegate(new QPrintBadgeDelegate(this));
    setViewMode(QListView::IconMode);
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setIconSize(QSize(itemSize, itemSize));
    setSpacing(10);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Icon mode makes the viewport accept drops; pictures never leave the list by dragging.
    setDragEnabled(false);

    connect(m_deleteAction, &QAction::triggered, this, &QPhotoCataListWdiget::onDelImageItem);
}

void QPhotoCataListWdiget::AddImageItem(QPixmap* picture, const QString& path)
{
    if (path.isNull() || !AppendPicture(picture ? *picture : QPixmap(), path))
        return;
    emit hadAddPhotos();
    emit addPhotoOnes(QStringList{path});
}

void QPhotoCataListWdiget::AddImageItems(const QList<QPixmap*>& pictures, const QStringList& paths)
{
    QStringList added;
    for (int i = 0; i < paths.size() && i < pictures.size(); ++i) {
        const QPixmap picture = pictures.at(i) ? *pictures.at(i) : QPixmap();
        if (!paths.at(i).isNull() && AppendPicture(picture, paths.at(i)))
            added.append(paths.at(i));
    }
    if (added.isEmpty())
        return;
    emit hadAddPhotos();
    emit addPhotoOnes(added);
}

void QPhotoCataListWdiget::DeleteAllPhotoItem()
{
    QStringList removed;
    for (int row = count() - 1; row >= 0; --row) {
        removed.append(m_imagePaths.value(row));
        RemoveRow(row);
    }
    emit subPhotoOnes(removed);
}

void QPhotoCataListWdiget::RemoveImageItems(const QStringList& paths)
{
    QStringList removed;
    for (const QString& path : paths) {
        if (!m_pathSet.contains(path))
            continue;
        RemoveRow(m_imagePaths.indexOf(path));
        removed.append(path);
    }
    if (removed.isEmpty())
        return;
    emit subPhotoOnes(removed);
    emit subPhotoOnesText();
}

void QPhotoCataListWdiget::SetFactsLookup(FactsLookup lookup)
{
    m_facts = std::move(lookup);
    for (int row = 0; row < count(); ++row)
        ApplyBadge(row);
    emit badgesChanged();
}

void QPhotoCataListWdiget::SetPrintSize(const QString& key)
{
    const QString known = CPrintSize::byKey(key).key();
    if (known == m_printSize)
        return;
    m_printSize = known;
    for (int row = 0; row < count(); ++row)
        ApplyBadge(row);
    emit badgesChanged();
}

void QPhotoCataListWdiget::RefreshPicture(const QString& path)
{
    if (!m_pathSet.contains(path))
        return;
    ApplyBadge(m_imagePaths.indexOf(path));
    emit badgesChanged();
}

QPhotoCataListWdiget::Badge QPhotoCataListWdiget::GetBadge(const QString& path) const
{
    const QListWidgetItem* tile = m_pathSet.contains(path) ? item(m_imagePaths.indexOf(path)) : nullptr;
    return tile ? static_cast<Badge>(tile->data(QPrintBadgeDelegate::BadgeRole).toInt()) : Badge::None;
}

int QPhotoCataListWdiget::CountBadges(Badge badge) const
{
    int counted = 0;
    for (int row = 0; row < count(); ++row)
        counted += static_cast<Badge>(item(row)->data(QPrintBadgeDelegate::BadgeRole).toInt()) == badge;
    return counted;
}

void QPhotoCataListWdiget::ApplyBadge(int row)
{
    QListWidgetItem* tile = item(row);
    if (!tile)
        return;
    const CPictureFacts facts = m_facts ? m_facts(m_imagePaths.value(row)) : CPictureFacts();
    // Unknown sizes get no badge: a warning needs figures the user can check in the tooltip.
    Badge badge = Badge::None;
    QString tip;
    if (!facts.pixelSize.isEmpty()) {
        const CPrintSize& size = CPrintSize::byKey(m_printSize);
        tip = size.describe(facts.pixelSize);
        switch (size.grade(facts.pixelSize)) {
        case CPrintSize::Grade::Good:
            break;
        case CPrintSize::Grade::Acceptable:
            badge = Badge::Acceptable;
            break;
        case CPrintSize::Grade::Poor:
            badge = Badge::Poor;
            break;
        }
    }
    tile->setData(QPrintBadgeDelegate::BadgeRole, static_cast<int>(badge));
    tile->setToolTip(tip);
}

QSize QPhotoCataListWdiget::sizeHint() const
{
    return QSize(200, 200);
}

int QPhotoCataListWdiget::HeightFor(int width, int pictures) const
{
    // Icon mode puts the spacing before every picture and after the last one, on both axes.
    const int cell = m_itemSize + spacing();
    const int inner = width - 2 * frameWidth() - spacing();
    const int perLine = qMax(1, inner / cell);
    const int lines = qMax(1, (pictures + perLine - 1) / perLine);
    return lines * cell + spacing() + 2 * frameWidth();
}

void QPhotoCataListWdiget::onDelImageItem()
{
    // The rows go before anyone hears of it: a listener may change this list in turn.
    const int current = GetCurrentRow();
    if (item(current)) {
        const QString path = m_imagePaths.value(current);
        RemoveRow(current);
        emit subPhotoOnes(QStringList{path});
    }
    emit subPhotoOnesText();
}

void QPhotoCataListWdiget::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

void QPhotoCataListWdiget::dragMoveEvent(QDragMoveEvent* event)
{
    event->acceptProposedAction();
}

void QPhotoCataListWdiget::dropEvent(QDropEvent* event)
{
    const QString mimeType = CPhotoDragPayload::MimeType();
    if (!event->mimeData()->hasFormat(mimeType)) {
        event->ignore();
        return;
    }
    QStringList paths;
    QList<QImage> pictures;
    if (!CPhotoDragPayload::Read(event->mimeData()->data(mimeType), &paths, &pictures)) {
        qCDebug(lcPages) << "category drop refused: the payload is not readable";
        event->ignore();
        return;
    }
    for (int i = 0; i < paths.size(); ++i)
        AppendPicture(QPixmap::fromImage(pictures.at(i)), paths.at(i));
    event->setDropAction(Qt::MoveAction);
    event->accept();
    emit hadAddPhotos();
    emit addPhotoOnes(paths);
}

void QPhotoCataListWdiget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete)
        DeleteSelectedItems();
    else if (event->modifiers() == Qt::ControlModifier && event->key() == Qt::Key_A)
        selectAll();
}

void QPhotoCataListWdiget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        if (QListWidgetItem* pressed = itemAt(event->pos())) {
            SetCurrentRow(row(pressed));
            m_menu->exec(event->globalPos());
        }
    }
    QListWidget::mousePressEvent(event);
}

void QPhotoCataListWdiget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (QListWidgetItem* clicked = itemAt(event->pos())) {
        SetCurrentRow(row(clicked));
        onShowImageView();
    }
    QListWidget::mouseDoubleClickEvent(event);
}

bool QPhotoCataListWdiget::AppendPicture(const QPixmap& picture, const QString& path)
{
    if (m_pathSet.contains(path))
        return false;
    // A picture nothing could read is still named, so the user can tell which file it is.
    auto* item =
        new QListWidgetItem(QIcon(picture), picture.isNull() ? QFileInfo(path).fileName() : QString());
    item->setSizeHint(QSize(m_itemSize, m_itemSize));
    addItem(item);
    m_imagePaths.append(path);
    m_pathSet.insert(path);
    ApplyBadge(count() - 1);
    return true;
}

void QPhotoCataListWdiget::RemoveRow(int row)
{
    m_pathSet.remove(m_imagePaths.value(row));
    m_imagePaths.removeAt(row);
    delete takeItem(row);
}

void QPhotoCataListWdiget::DeleteSelectedItems()
{
    const QList<QListWidgetItem*> selected = selectedItems();
    QStringList paths;
    for (QListWidgetItem* chosen : selected)
        paths.append(m_imagePaths.value(row(chosen)));
    for (QListWidgetItem* chosen : selected)
        RemoveRow(row(chosen));
    emit subPhotoOnes(paths);
    emit subPhotoOnesText();
}

int QPhotoCataListWdiget::ViewableCount() const
{
    return count() == m_imagePaths.size() ? count() : 0;
}
