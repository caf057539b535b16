// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"

#include <QCoreApplication>
#include <QDir>

QString CProgramFiles::join(const QString& folder, const QString& name)
{
    return folder + QDir::separator() + name;
}

QString CProgramFiles::path(const QString& name)
{
    return join(QCoreApplication::applicationDirPath(), name);
}
