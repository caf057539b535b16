// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QStringList>

class QKeyEvent;
class QPhotoViewListWidget;
class QWheelEvent;

// The sorting keys of the photo grid and of its large-image viewer. Moving, ticking and opening
// are done on the grid directly; the category keys become requests (which pictures, which
// category) that the page carries out as undoable steps.
//
// On the grid the category keys act on the ticked tiles, or on the current tile when none is
// ticked; in the viewer on the picture shown.
class QCullingKeys : public QObject
{
    Q_OBJECT
public:
    // Watches the grid, its viewer and the viewer's picture (for the wheel).
    explicit QCullingKeys(QPhotoViewListWidget* grid, QObject* parent = nullptr);

    // The category key of a key press: the digit 0–9, or -1 for any other key. *taking says
    // whether Shift was held. Shift with a digit gives the layout's symbol instead of the digit,
    // so the symbol (US layout) or the key's place in the digit row names the digit then.
    static int categoryKey(const QKeyEvent* event, bool* taking);
    // Every key of the grid and the viewer with what it does, one "key\tmeaning" per line.
    static QStringList keyList();

signals:
    // row: the category's row, 0 for the key 1.
    void putRequested(int row, const QStringList& paths);
    void takeRequested(int row, const QStringList& paths);
    void takeAllRequested(const QStringList& paths);
    // Ctrl+Z, Ctrl+Shift+Z or Ctrl+Y in the viewer.
    void undoRequested();
    void redoRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool gridKey(QKeyEvent* event);
    bool viewerKey(QKeyEvent* event);
    bool viewerWheel(QWheelEvent* event);
    // Asks for the category key's change on paths; false when it is no category key.
    bool sortKey(const QKeyEvent* event, const QStringList& paths);
    QStringList gridTargets() const;

    QPhotoViewListWidget* m_grid;
    // Only compared with what the filter watches: they may be half destroyed when it is asked.
    const QObject* m_viewer;
    const QObject* m_viewerImage;
};
