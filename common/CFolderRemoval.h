// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Deletes a folder tree, hidden and read-only files included. Symbolic links inside the tree are
// removed as links and never followed, so a link planted in a temporary folder cannot make us
// delete what it points at. True when the folder is gone afterwards (also when it never existed).
bool deleteFolder(QString path);
