// SPDX-License-Identifier: MIT
#pragma once

// Header only: used by tests that link the widgets library.
#include "Dialogs/QNoticeBox.h"

#include <QApplication>

namespace NoticeBoxes {

// The visible outcome message, if one is up.
inline QNoticeBox* visible()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QNoticeBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

inline QStringList texts()
{
    QStringList shown;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QNoticeBox*>(widget); box && box->isVisible())
            shown << box->text();
    return shown;
}

inline void closeAll()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QNoticeBox*>(widget))
            delete widget;
}

} // namespace NoticeBoxes
