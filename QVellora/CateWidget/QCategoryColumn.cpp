// SPDX-License-Identifier: MIT
#include "CateWidget/QCategoryColumn.h"

#include "CateWidget/QCategoryRow.h"
#include "Editing/QSelectionEditor.h"
#include "Selection/CSelection.h"

#include <QResizeEvent>

namespace {

// The selection row of the category a column row shows.
const int CategoryRole = Qt::UserRole;
// Tiles of the edit page's rows and of the category page's.
const int TileSize = 130;

} // namespace

QCategoryColumn::QCategoryColumn(Mode mode, QWidget* parent) : QListWidget(parent), m_mode(mode)
{
    setResizeMode(QListView::Adjust);
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setMovement(QListView::Static);
    setSpacing(10);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAcceptDrops(false);
}

void QCategoryColumn::setEditor(QSelectionEditor* editor)
{
    if (m_selection)
        disconnect(m_selection, nullptr, this, nullptr);
    clear();
    m_editor = editor;
    m_selection = editor ? editor->selection() : nullptr;
    if (!m_selection)
        return;
    connect(m_selection, &CSelection::categoryRemoved, this, [this](int category) {
        const int row = rowOfCategory(category);
        if (row >= 0)
            delete takeItem(row);
    });
    if (m_mode == Mode::Editing) {
        connect(m_selection, &CSelection::categoryAdded, this, &QCategoryColumn::appendRow);
        for (int category = 0; category < m_selection->count(); ++category)
            appendRow(category);
    }
}

void QCategoryColumn::setThumbnails(CCategoryPictures::ThumbnailLookup thumbnails)
{
    m_thumbnails = std::move(thumbnails);
    for (int row = 0; row < count(); ++row)
        rowWidget(row)->pictures()->setThumbnails(m_thumbnails);
}

void QCategoryColumn::setFacts(CCategoryPictures::FactsLookup facts)
{
    m_facts = std::move(facts);
    for (int row = 0; row < count(); ++row)
        rowWidget(row)->pictures()->setFacts(m_facts);
}

void QCategoryColumn::showFilled()
{
    // Only the categories that hold pictures: an empty one in between must not push the last
    // category off the page, and no row of an earlier visit may stay behind.
    clear();
    if (m_selection) {
        for (int category : m_selection->filledRows())
            appendRow(category);
    }
    fitRows();
}

void QCategoryColumn::pictureUpdated(const QString& path)
{
    for (int row = 0; row < count(); ++row)
        rowWidget(row)->pictures()->pictureUpdated(path);
}

QList<int> QCategoryColumn::shownCategories() const
{
    QList<int> categories;
    for (int row = 0; row < count(); ++row)
        categories.append(item(row)->data(CategoryRole).toInt());
    return categories;
}

QCategoryRow* QCategoryColumn::rowWidget(int row) const
{
    if (row < 0 || row >= count())
        return nullptr;
    return qobject_cast<QCategoryRow*>(itemWidget(item(row)));
}

int QCategoryColumn::poorPictureCount() const
{
    int poor = 0;
    for (int row = 0; row < count(); ++row)
        poor += rowWidget(row)->pictures()->countBadges(CCategoryPictures::Badge::Poor);
    return poor;
}

void QCategoryColumn::appendRow(int category)
{
    auto* cate = new QCategoryRow(m_editor, category, m_mode, TileSize);
    cate->pictures()->setThumbnails(m_thumbnails);
    cate->pictures()->setFacts(m_facts);
    auto* entry = new QListWidgetItem;
    entry->setSizeHint(rowSize());
    entry->setData(CategoryRole, category);
    addItem(entry);
    setItemWidget(entry, cate);
    // A screen reader walks the list's entries, not the widgets shown on them: each entry says
    // what its row says.
    const QPersistentModelIndex at = indexFromItem(entry);
    auto speak = [this, at, cate] {
        if (!at.isValid())
            return;
        model()->setData(at, cate->accessibleName(), Qt::AccessibleTextRole);
        model()->setData(at, cate->accessibleDescription(), Qt::AccessibleDescriptionRole);
    };
    speak();
    connect(cate, &QCategoryRow::accessibleTextChanged, this, speak);
    if (m_mode == Mode::Review)
        fitRows();
}

int QCategoryColumn::rowOfCategory(int category) const
{
    for (int row = 0; row < count(); ++row) {
        if (item(row)->data(CategoryRole).toInt() == category)
            return row;
    }
    return -1;
}

void QCategoryColumn::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_mode == Mode::Editing && m_editor)
        m_editor->addCategory();
    QListWidget::mouseDoubleClickEvent(event);
}

QSize QCategoryColumn::rowSize() const
{
    return QSize(width() - 30, 430);
}

void QCategoryColumn::fitRows()
{
    const QSize size = rowSize();
    setIconSize(size);
    bool changed = false;
    for (int row = 0; row < count(); ++row) {
        const QCategoryRow* cate = m_mode == Mode::Review ? rowWidget(row) : nullptr;
        const QSize wanted = cate ? QSize(size.width(), cate->heightForPictures(size.width())) : size;
        if (item(row)->sizeHint() != wanted) {
            item(row)->setSizeHint(wanted);
            changed = true;
        }
    }
    // Icon mode takes a new size but leaves the rows where they were: they are laid out again.
    if (changed)
        scheduleDelayedItemsLayout();
    update();
}

int QCategoryColumn::minimumRowsWidth() const
{
    // Measured on a row like the edit page's: the caption above asks for more than it needs.
    CSelection selection;
    QSelectionEditor editor(&selection, QString());
    selection.addCategory();
    const QCategoryRow row(&editor, 0, Mode::Editing, TileSize);
    return row.nameLineWidth() + (width() - rowSize().width());
}

void QCategoryColumn::resizeEvent(QResizeEvent* event)
{
    QListWidget::resizeEvent(event);
    fitRows();
}

void QCategoryColumn::showEvent(QShowEvent* event)
{
    QListWidget::showEvent(event);
    // Pictures may have come while the column was hidden, when rows cannot ask for a new size.
    if (m_mode == Mode::Review)
        fitRows();
}

bool QCategoryColumn::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest && m_mode == Mode::Review)
        fitRows();
    return QListWidget::viewportEvent(event);
}
