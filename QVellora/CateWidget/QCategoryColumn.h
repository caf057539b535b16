// SPDX-License-Identifier: MIT
#pragma once

#include "Editing/QSelectionEditor.h"
#include "Selection/CCategoryPictures.h"

#include <QListWidget>
#include <QPointer>

class CSelection;
class QCategoryRow;

// The column of category rows of both pages, one view of the editor's selection. Every gesture on
// a row (a drop, a deletion, a name, a print size, the add button, a double-click below the rows)
// goes to the editor as an undoable step, and the rows follow what the selection announces.
//
// Editing (the edit page) shows every category, each row with its caption, add button, colour
// and editable name and print size, all rows of one height so that a drop target never moves
// under a drag. Review (the category page) shows the categories that held pictures when
// showFilled() was last called, locked, each row as tall as its pictures need.
class QCategoryColumn : public QListWidget
{
    Q_OBJECT
public:
    enum class Mode
    {
        Editing,
        Review
    };

    QCategoryColumn(Mode mode, QWidget* parent = nullptr);

    // The editor whose selection the column shows (not owned). Rows are made again.
    void setEditor(QSelectionEditor* editor);
    QSelectionEditor* editor() const { return m_editor; }
    // Where rows find thumbnails and facts.
    void setThumbnails(CCategoryPictures::ThumbnailLookup thumbnails);
    void setFacts(CCategoryPictures::FactsLookup facts);
    // Review: shows exactly the categories that hold pictures now, in order.
    void showFilled();
    // The facts or the thumbnail of path arrived: its tiles follow.
    void pictureUpdated(const QString& path);

    // The categories shown, top row first.
    QList<int> shownCategories() const;
    // The row widget showing row number row of the column, or null.
    QCategoryRow* rowWidget(int row) const;
    // Pictures of the shown categories that print poorly at their category's size.
    int poorPictureCount() const;
    // The narrowest column that holds a whole row of the edit page, name box included.
    int minimumRowsWidth() const;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // A row whose picture count changed asks for a new geometry, which arrives here.
    bool viewportEvent(QEvent* event) override;

private:
    void appendRow(int category);
    int rowOfCategory(int category) const;
    QSize rowSize() const;
    // Gives every row the size it should have now.
    void fitRows();

    const Mode m_mode;
    QPointer<QSelectionEditor> m_editor;
    QPointer<CSelection> m_selection;
    CCategoryPictures::ThumbnailLookup m_thumbnails;
    CCategoryPictures::FactsLookup m_facts;
};
