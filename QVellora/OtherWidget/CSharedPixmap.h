// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>
#include <QString>

// Process-wide pictures from the compiled-in resources: each path is loaded once and shared by
// every widget showing it. Interface thread only. A path that cannot be loaded gives a null
// pixmap (the widget then shows nothing and keeps working). The pixmaps are freed when the
// application object is destroyed.
class CSharedPixmap
{
public:
    static QPixmap* get(const QString& resourcePath);

    // Registers the compiled-in resources; safe to call any number of times.
    static void initResources();
};
