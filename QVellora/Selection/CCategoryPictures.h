// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPictureFacts.h"
#include "Selection/CSelection.h"

#include <QAbstractListModel>
#include <QPixmap>
#include <QPointer>

#include <functional>

// The pictures of one category of a CSelection as a list model, for the category rows' picture
// views. It keeps nothing of the selection: every row, path, thumbnail and print grade is read
// when asked for, so whatever changed the selection (a drop, a key, an undo, a restore) shows
// without being told twice. A category's row number names it for as long as it exists.
class CCategoryPictures : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role
    {
        PathRole = Qt::UserRole,
        // How sharp the picture prints at the category's print size (a Badge as an int).
        BadgeRole
    };
    enum class Badge
    {
        None,       // prints well, or its size is not known yet
        Acceptable, // between 150 and 300 dpi
        Poor        // under 150 dpi
    };
    // The thumbnail of a picture; null while there is none (not loaded, or unreadable).
    using ThumbnailLookup = std::function<QPixmap(const QString& path)>;
    // What is known of a picture; invalid facts while nothing is.
    using FactsLookup = std::function<CPictureFacts(const QString& path)>;

    CCategoryPictures(CSelection* selection, int category, QObject* parent = nullptr);

    void setThumbnails(ThumbnailLookup thumbnails);
    void setFacts(FactsLookup facts);
    int category() const { return m_category; }
    CSelection* selection() const { return m_selection; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    QString path(int row) const;
    Badge badge(int row) const;
    int countBadges(Badge badge) const;
    // The facts or the thumbnail of path arrived: its tile follows.
    void pictureUpdated(const QString& path);

signals:
    // The pictures or their grades changed (pictures in or out, print size, facts).
    void picturesChanged();

private:
    QStringList pictures() const;
    Badge badgeOf(const QString& path) const;
    void reset();

    QPointer<CSelection> m_selection;
    int m_category;
    ThumbnailLookup m_thumbnails;
    FactsLookup m_facts;
};
