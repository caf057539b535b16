// SPDX-License-Identifier: MIT
#include "Records/CCompanionLauncher.h"

#include "CLogging.h"
#include "CProgramFiles.h"

#include <QFileInfo>
#include <QProcess>

QString CCompanionLauncher::programPath(const QString& folder, const QString& name)
{
#ifdef Q_OS_WIN
    return CProgramFiles::join(folder, name + QStringLiteral(".exe"));
#else
    return CProgramFiles::join(folder, name);
#endif
}

QStringList CCompanionLauncher::startAll(const QString& folder)
{
    QStringList started;
    for (const QString& name : companionNames()) {
        const QString program = programPath(folder, name);
        if (!QFileInfo(program).isFile())
            continue;
        if (QProcess::startDetached(program, {QStringLiteral("/k"), program}))
            started.append(program);
        else
            qCDebug(lcProcess) << "cannot start" << program;
    }
    return started;
}
