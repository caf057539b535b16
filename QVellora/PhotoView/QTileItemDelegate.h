// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

// The delegate of the photo grid. Its tiles cover their item's rectangle exactly, so placing a
// tile needs no style look-up. The view places every tile again after each insert and each
// layout; with a thousand tiles the default placement (a full style option per tile) made each
// new thumbnail cost milliseconds on the interface thread.
class QTileItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
};
