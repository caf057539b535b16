// SPDX-License-Identifier: MIT
#include "LoadIn/QCentredRow.h"

QHBoxLayout* QCentredRow::make(std::initializer_list<QWidget*> widgets)
{
    auto* row = new QHBoxLayout;
    row->addStretch(100);
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    row->addStretch(100);
    return row;
}
