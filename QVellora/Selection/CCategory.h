// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPrintSize.h"

#include <QColor>
#include <QString>
#include <QStringList>

// One category of the user's selection: its name, its colour on the grid and its pictures in the
// order they were put in, each path once. The session file, the category page and the export
// all describe a category with this value; the session keeps no colour (rows take the colours
// in turn again when restored), the export takes its row from the category's place in the list.
// printSize is the key of the CPrintSize its pictures are to be printed at.
struct CCategory
{
    QString name;
    QStringList pictures;
    QColor color{};
    QString printSize = CPrintSize::standard().key();

    bool operator==(const CCategory& other) const
    {
        return name == other.name && pictures == other.pictures && color == other.color &&
               printSize == other.printSize;
    }
    bool operator!=(const CCategory& other) const { return !(*this == other); }
};
