// SPDX-License-Identifier: MIT
#pragma once

#include "CateWidget/QCategoryColumn.h"

#include <QPointer>
#include <QWidget>

class CCategoryPictures;
class CSelection;
class QCateColorWidget;
class QCategoryPicturesView;
class QComboBox;
class QDrawImageButton;
class QHBoxLayout;
class QLabel;
class QSelectionEditor;

// One category of the column: its picture view and a bottom line with the add button, the colour
// square, the name box and the print size box. Editing, a caption above the pictures counts
// them; in review the name and print size are locked, the whole name is the row's title and a
// line counts the pictures that print acceptably and poorly. Everything shown is read from the
// selection when it changes; the user's changes go to the editor. The row's accessible name and
// description follow the name, the count and the print size.
//
// Parts by object name: "title", "printSummary", "caption", "pictures", "addCategory", "colour",
// "nameBox", "printSizeBox".
class QCategoryRow : public QWidget
{
    Q_OBJECT
public:
    QCategoryRow(QSelectionEditor* editor, int category, QCategoryColumn::Mode mode, int itemSize,
                 QWidget* parent = nullptr);

    int category() const { return m_category; }
    CCategoryPictures* pictures() const { return m_pictures; }
    // The height that shows all of the row's pictures at this width (the title wrapped).
    int heightForPictures(int width) const;
    // The narrowest row that shows its bottom line (button, colour and name box) whole.
    int nameLineWidth() const;
    // A name box wide enough for a name of twenty characters in the box's font.
    static int nameBoxWidth(const QComboBox* box);

signals:
    // The accessible name or description changed.
    void accessibleTextChanged();

private:
    void showName(const QString& name);
    void showPrintSize();
    void showCounts();
    // What a screen reader says of the row: its name, and its count and print size.
    void showAccessibleText();

    QPointer<QSelectionEditor> m_editor;
    CSelection* m_selection;
    int m_category;
    CCategoryPictures* m_pictures;
    QLabel* m_title;
    QLabel* m_summary;
    QLabel* m_caption;
    QCategoryPicturesView* m_view;
    QComboBox* m_nameBox;
    QComboBox* m_sizeBox;
    QCateColorWidget* m_colour;
    QDrawImageButton* m_addButton;
    QHBoxLayout* m_bottom;
};
