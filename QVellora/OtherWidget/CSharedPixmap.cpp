// SPDX-License-Identifier: MIT
#include "CSharedPixmap.h"

#include <QHash>

// Q_INIT_RESOURCE must be used outside any namespace; the resources live in a static library, whose
// automatic registration the linker may drop.
static void registerVelloraResources()
{
    Q_INIT_RESOURCE(vellora);
}

void CSharedPixmap::initResources()
{
    static const bool registered = (registerVelloraResources(), true);
    Q_UNUSED(registered)
}

QPixmap* CSharedPixmap::get(const QString& resourcePath)
{
    initResources();
    // Never freed: the pictures are meant to live as long as the program.
    static QHash<QString, QPixmap*> pixmaps;
    QPixmap*& pixmap = pixmaps[resourcePath];
    if (!pixmap)
        pixmap = new QPixmap(resourcePath);
    return pixmap;
}
