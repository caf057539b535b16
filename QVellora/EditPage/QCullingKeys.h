// SPDX-License-Identifier: MIT
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QStringList>

class QAction;
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
    // The sorting keys as entries of the window's 编辑 menu, each with its shortcuts; choosing
    // one does what its key does. The keys themselves are handled by this filter, not by these
    // shortcuts (they only apply while the menu has the focus): a digit typed into a name field
    // stays a digit, and a key works the same whatever menu shows it.
    QList<QAction*> gridActions() const { return m_gridActions; }
    // ← and → of the large picture.
    QList<QAction*> viewerActions() const { return m_viewerActions; }
    // What the help dialog lists, one "key\tmeaning" per line ("heading\t" before each part):
    // the moving keys, then every action's shortcuts with its text.
    QStringList keyList() const;
    // An action's shortcuts as the user reads them ("Return, Enter").
    static QString shortcutText(const QAction* action);

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
    void makeActions();
    QAction* addAction(QList<QAction*>& list, const QString& text, const QList<QKeySequence>& keys);

    QPhotoViewListWidget* m_grid;
    // Only compared with what the filter watches: they may be half destroyed when it is asked.
    const QObject* m_viewer;
    const QObject* m_viewerImage;
    QList<QAction*> m_gridActions;
    QList<QAction*> m_viewerActions;
};
