// SPDX-License-Identifier: MIT
#include "Selection/CCategoryPictures.h"

#include "Pictures/CPrintSize.h"
#include "Selection/CSelection.h"

#include <QFileInfo>
#include <QIcon>

CCategoryPictures::CCategoryPictures(CSelection* selection, int category, QObject* parent)
    : QAbstractListModel(parent), m_selection(selection), m_category(category)
{
    // The selection has changed already when it says so: views are told to read everything
    // again, which costs no more than the one category's count.
    auto mine = [this](int row) {
        if (row == m_category)
            reset();
    };
    connect(selection, &CSelection::picturesAdded, this, mine);
    connect(selection, &CSelection::picturesRemoved, this, mine);
    connect(selection, &CSelection::printSizeChanged, this, [this](int row) {
        if (row != m_category)
            return;
        emit dataChanged(index(0), index(qMax(0, rowCount() - 1)), {BadgeRole, Qt::ToolTipRole});
        emit picturesChanged();
    });
    connect(selection, &CSelection::categoryRemoved, this, mine);
}

void CCategoryPictures::reset()
{
    beginResetModel();
    endResetModel();
    emit picturesChanged();
}

void CCategoryPictures::setThumbnails(ThumbnailLookup thumbnails)
{
    m_thumbnails = std::move(thumbnails);
    if (rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole, Qt::DisplayRole});
}

void CCategoryPictures::setFacts(FactsLookup facts)
{
    m_facts = std::move(facts);
    if (rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1), {BadgeRole, Qt::ToolTipRole});
    emit picturesChanged();
}

QStringList CCategoryPictures::pictures() const
{
    return m_selection ? m_selection->at(m_category).pictures : QStringList();
}

int CCategoryPictures::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : pictures().size();
}

QString CCategoryPictures::path(int row) const
{
    return pictures().value(row);
}

QVariant CCategoryPictures::data(const QModelIndex& index, int role) const
{
    const QString picture = path(index.row());
    if (!index.isValid() || picture.isEmpty())
        return QVariant();
    switch (role) {
    case PathRole:
        return picture;
    case BadgeRole:
        return static_cast<int>(badgeOf(picture));
    case Qt::DecorationRole: {
        const QPixmap thumbnail = m_thumbnails ? m_thumbnails(picture) : QPixmap();
        return thumbnail.isNull() ? QVariant() : QVariant(QIcon(thumbnail));
    }
    case Qt::DisplayRole: {
        // A picture nothing could read is still named, so the user can tell which file it is.
        const bool shown = m_thumbnails && !m_thumbnails(picture).isNull();
        return shown ? QVariant() : QVariant(QFileInfo(picture).fileName());
    }
    case Qt::AccessibleTextRole:
        // Named also where the thumbnail stands in for the name.
        return QFileInfo(picture).fileName();
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        const CPictureFacts facts = m_facts ? m_facts(picture) : CPictureFacts();
        if (facts.pixelSize.isEmpty())
            return QVariant();
        return CPrintSize::byKey(m_selection->at(m_category).printSize).describe(facts.pixelSize);
    }
    default:
        return QVariant();
    }
}

CCategoryPictures::Badge CCategoryPictures::badge(int row) const
{
    return badgeOf(path(row));
}

CCategoryPictures::Badge CCategoryPictures::badgeOf(const QString& picture) const
{
    const CPictureFacts facts = m_facts && !picture.isEmpty() ? m_facts(picture) : CPictureFacts();
    // Unknown sizes get no badge: a warning needs figures the user can check in the tooltip.
    if (facts.pixelSize.isEmpty() || !m_selection)
        return Badge::None;
    switch (CPrintSize::byKey(m_selection->at(m_category).printSize).grade(facts.pixelSize)) {
    case CPrintSize::Grade::Good:
        return Badge::None;
    case CPrintSize::Grade::Acceptable:
        return Badge::Acceptable;
    case CPrintSize::Grade::Poor:
        return Badge::Poor;
    }
    return Badge::None;
}

int CCategoryPictures::countBadges(Badge badge) const
{
    int counted = 0;
    for (const QString& picture : pictures())
        counted += badgeOf(picture) == badge;
    return counted;
}

void CCategoryPictures::pictureUpdated(const QString& picture)
{
    if (!m_selection || !m_selection->contains(m_category, picture))
        return;
    const QModelIndex at = index(pictures().indexOf(picture));
    emit dataChanged(at, at, {BadgeRole, Qt::ToolTipRole, Qt::DecorationRole, Qt::DisplayRole});
    emit picturesChanged();
}
