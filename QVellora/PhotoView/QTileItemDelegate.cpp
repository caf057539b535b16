// SPDX-License-Identifier: MIT
#include "PhotoView/QTileItemDelegate.h"

#include <QWidget>

void QTileItemDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}
