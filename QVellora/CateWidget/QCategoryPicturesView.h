// SPDX-License-Identifier: MIT
#pragma once

#include <QListView>
#include <QPointer>

#include <memory>

class CCategoryPictures;
class QMenu;
class QPhotoViewImageDlg;
class QSelectionEditor;

// The pictures of one category, shown from its model (CCategoryPictures) and painted by
// QPrintBadgeDelegate: the drop target of drags from the photo grid. What the user does here goes
// straight to the editor as one undoable step (a drop puts the pictures in, the menu's "删除" or
// the Delete key takes them out); the view changes when the selection announces the change.
// Double-clicking a picture opens the viewer, whose buttons step through this category.
class QCategoryPicturesView : public QListView
{
    Q_OBJECT
public:
    // itemSize: the side of a tile in pixels.
    QCategoryPicturesView(CCategoryPictures* pictures, QSelectionEditor* editor, int itemSize,
                          QWidget* parent = nullptr);
    ~QCategoryPicturesView() override;

    CCategoryPictures* pictures() const { return m_pictures; }
    QPhotoViewImageDlg* viewer() const { return m_viewer.get(); }

    QSize sizeHint() const override;
    // The outer height that shows this many pictures whole at this outer width: one line of
    // pictures at least, one more for every line the width cannot hold.
    int heightFor(int width, int pictures) const;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void takeOut(const QStringList& paths);
    // Moves the viewer's row by step, clamped to the pictures; false when there are none.
    bool step(int step);

    CCategoryPictures* m_pictures;
    QPointer<QSelectionEditor> m_editor;
    int m_itemSize;
    QMenu* m_menu;
    // The row the menu and the viewer act on; kept when pictures go, so it may point past the end.
    int m_currentRow = -1;
    std::unique_ptr<QPhotoViewImageDlg> m_viewer;
};
