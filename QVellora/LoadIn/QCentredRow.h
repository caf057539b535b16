// SPDX-License-Identifier: MIT
#pragma once

#include <QHBoxLayout>
#include <initializer_list>

// A row of the account dialogs: its widgets centred between two stretches of factor 100.
class QCentredRow
{
public:
    static QHBoxLayout* make(std::initializer_list<QWidget*> widgets);
};
