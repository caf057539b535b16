// SPDX-License-Identifier: MIT
#include "OtherWidget/CSharedPixmap.h"

#include <QCoreApplication>
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

namespace {
QHash<QString, QPixmap*>& pixmaps()
{
    static QHash<QString, QPixmap*> shared;
    return shared;
}

// Runs while the application object is destroyed, before the platform behind the pixmaps goes.
void releasePixmaps()
{
    qDeleteAll(pixmaps());
    pixmaps().clear();
}
} // namespace

QPixmap* CSharedPixmap::get(const QString& resourcePath)
{
    initResources();
    // The pictures live as long as the application object.
    static const bool releasedAtExit = (qAddPostRoutine(releasePixmaps), true);
    Q_UNUSED(releasedAtExit)
    QPixmap*& pixmap = pixmaps()[resourcePath];
    if (!pixmap)
        pixmap = new QPixmap(resourcePath);
    return pixmap;
}
