// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPictureFacts.h"

#include <QAbstractListModel>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QStringList>
#include <QVector>

class CSelection;
class QTimer;

// The pictures and folders of the grid, one row each: folders first, then pictures, in the order
// they were handed over. Rows are listed at once; thumbnails and facts arrive later from the feed
// (QPictureFeed) and are asked for by role, so a row costs a few hundred bytes until its
// thumbnail is in memory.
//
// Thumbnails are held within a byte budget. Over it, the ones furthest from the rows on screen
// (setFocus) are dropped again; the feed reads them back when their rows are painted. The colour
// marks are not kept here: MarksRole asks the user's categories at the time of asking, and so do
// the tooltip and the accessible text, which name those categories (colour is not the only sign).
class CPictureListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role
    {
        // Qt::DisplayRole is the file or folder name. Qt::AccessibleTextRole is what a screen
        // reader says of a tile (name, place among the pictures, tick, categories), and
        // Qt::AccessibleDescriptionRole the tooltip's details; both are made when asked.
        PathRole = Qt::UserRole + 1,
        PixelSizeRole = Qt::UserRole + 2,
        TakenRole = Qt::UserRole + 3,
        FileBytesRole = Qt::UserRole + 4,
        ThumbnailRole = Qt::UserRole + 5, // QImage; unset until loaded or while evicted
        IsFolderRole = Qt::UserRole + 6,
        LookalikeCountRole = Qt::UserRole + 7, // the size of its look-alike group (1: none)
        TickedRole = Qt::UserRole + 8,
        MarksRole = Qt::UserRole + 9,    // QList<QColor> of the categories holding it
        LoadedRole = Qt::UserRole + 10,  // the feed has been through the row once
        RefusalRole = Qt::UserRole + 11, // why the row shows the broken-picture tile, if it does
        SharpestRole = Qt::UserRole + 12 // the sharpest of its look-alike group (a scored one)
    };

    static constexpr qint64 DefaultBudget = 256 * 1024 * 1024;

    explicit CPictureListModel(QObject* parent = nullptr);

    // The user's categories, asked for MarksRole; not owned, may be null.
    void setSelection(const CSelection* selection) { m_selection = selection; }
    void setBudget(qint64 bytes);
    qint64 budget() const { return m_budget; }
    // Bytes of the thumbnails held now.
    qint64 heldBytes() const { return m_heldBytes; }
    int heldCount() const { return m_held.size(); }

    // Replaces every row. Folder rows come first.
    void setItems(const QStringList& folders, const QStringList& pictures);
    // Appends one picture row with its thumbnail (a grid filled by hand, as the history page's);
    // a path already listed only gets the thumbnail.
    void appendPicture(const QString& path, const QImage& thumbnail);
    void clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int rowOf(const QString& path) const { return m_rowOfPath.value(path, -1); }
    QString pathAt(int row) const;
    bool isFolder(int row) const;
    bool hasThumbnail(int row) const;
    bool isLoaded(int row) const;
    // A row the grid would paint a thumbnail for but has none in memory (never loaded or evicted).
    bool needsThumbnail(int row) const;
    int pictureCount() const { return m_rows.size() - m_folderCount; }
    QStringList picturePaths() const;
    QImage thumbnail(const QString& path) const;

    // What the feed learnt. A null thumbnail marks the row as not a readable picture: it is
    // removed (together with the others found meanwhile, once per pass of the event loop).
    void setThumbnail(const QString& path, const QImage& thumbnail);
    void setFacts(const QString& path, const CPictureFacts& facts);
    CPictureFacts facts(int row) const;
    void setLookalikeCount(const QString& path, int count);
    int lookalikeCount(int row) const;
    // Set by whoever knows the groups; a row never learns it from its own facts alone.
    void setSharpest(const QString& path, bool on);
    bool isSharpest(int row) const;

    // Rows on screen, first to last: the thumbnails kept over budget are the ones nearest them.
    void setFocus(int first, int last);
    int focusFirst() const { return m_focusFirst; }
    int focusLast() const { return m_focusLast; }

    // Ticks, remembered in the order they were given.
    bool isTicked(int row) const;
    void setTicked(int row, bool on);
    QList<int> tickedRows() const;
    int tickedCount() const { return m_tickedCount; }
    void clearTicks();

private:
    struct Row
    {
        QString path;
        QImage thumbnail;
        CPictureFacts facts;
        quint32 tick = 0; // 0: not ticked, else the order of ticking
        qint16 lookalikes = 1;
        bool sharpest = false;
        bool folder = false;
        bool loaded = false;
        bool gone = false;
    };

    // The names of the categories holding path, top row first.
    QStringList categoryNames(const QString& path) const;
    QString accessibleText(int at) const;

    void evictOverBudget();
    void removeGoneRows();
    void indexRows(int from);
    void rowChanged(int row, const QVector<int>& roles);

    QVector<Row> m_rows;
    QHash<QString, int> m_rowOfPath;
    QSet<int> m_held; // rows holding a thumbnail
    qint64 m_heldBytes = 0;
    qint64 m_budget = DefaultBudget;
    int m_folderCount = 0;
    int m_focusFirst = 0;
    int m_focusLast = -1;
    quint32 m_nextTick = 1;
    int m_tickedCount = 0;
    const CSelection* m_selection = nullptr;
    QTimer* m_removeTimer;
};
