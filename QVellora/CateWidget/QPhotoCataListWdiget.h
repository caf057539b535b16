// SPDX-License-Identifier: MIT
#pragma once

#include "PhotoView/QViewerListWidget.h"
#include "Pictures/CPictureFacts.h"

#include <QSet>
#include <QStringList>

#include <functional>

class QAction;
class QMenu;

// The pictures of one category: the drop target of drags from the photo grid. Row i of the list
// and entry i of the picture paths always describe the same picture, and no path is there twice.
// It owns one viewer, which it steps through its pictures.
//
// Each tile carries a badge telling how sharp its picture prints at the category's print size
// (amber acceptable, red poor, none for good or not yet known), with the figures in its tooltip.
// The list learns a picture's size from the facts lookup its page sets; the page calls
// RefreshPicture when facts arrive later.
class QPhotoCataListWdiget : public QViewerListWidget
{
    Q_OBJECT
public:
    enum class Badge
    {
        None,
        Acceptable,
        Poor
    };
    // What is known of a picture; invalid facts while nothing is.
    using FactsLookup = std::function<CPictureFacts(const QString& path)>;

    explicit QPhotoCataListWdiget(int itemSize, QWidget* parent = nullptr);

    // The badges are worked out again for every tile.
    void SetFactsLookup(FactsLookup lookup);
    void SetPrintSize(const QString& key);
    QString GetPrintSize() const { return m_printSize; }
    // The picture's facts may have changed: its badge follows (nothing when it is not here).
    void RefreshPicture(const QString& path);
    Badge GetBadge(const QString& path) const;
    int CountBadges(Badge badge) const;

    // Adds a picture from program code unless the path is null or already here. The item shows
    // its own copy; the caller keeps the picture. Without a picture (its file could not be
    // read) the picture still belongs to the category: the item shows no picture and the name.
    void AddImageItem(QPixmap* picture, const QString& path);
    // The same for many pictures at once (pictures[i] belongs to paths[i]), with one addPhotoOnes
    // for all that were added: a restored category of thousands costs one pass over the grid.
    void AddImageItems(const QList<QPixmap*>& pictures, const QStringList& paths);
    QStringList GetImagePaths() const { return m_imagePaths; }
    // Removes these pictures (those it holds); subPhotoOnes carries them.
    void RemoveImageItems(const QStringList& paths);
    // Removes every picture; subPhotoOnes carries their paths, last row first.
    void DeleteAllPhotoItem();

    QSize sizeHint() const override;
    // The outer height that shows this many pictures whole at this outer width: one line of
    // pictures at least, one more for every line the width cannot hold.
    int HeightFor(int width, int pictures) const;

signals:
    void hadAddPhotos();
    void addPhotoOnes(QStringList qstrPathList);
    void subPhotoOnes(QStringList qstrPathList);
    void subPhotoOnesText();
    // A badge was set again for print size or facts (not for pictures added or removed).
    void badgesChanged();

private slots:
    void onDelImageItem();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Viewing follows the picture paths, and only while they agree with the rows.
    int ViewableCount() const override;
    QString ViewablePath(int row) const override { return m_imagePaths.value(row); }

private:
    // Appends a row unless the path is already here; returns whether it did.
    bool AppendPicture(const QPixmap& picture, const QString& path);
    void RemoveRow(int row);
    void ApplyBadge(int row);
    void DeleteSelectedItems();

    QMenu* m_menu;
    QAction* m_deleteAction;
    int m_itemSize;
    QStringList m_imagePaths;
    // The same paths for look-ups, so that adding n pictures stays linear.
    QSet<QString> m_pathSet;
    FactsLookup m_facts;
    QString m_printSize;
};
