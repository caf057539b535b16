// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Starts the companion programs (usage reporter, then updater) from the program's folder when
// the main window closes. Each gets the arguments "/k" and its own path; they run detached and
// outlive the main program. A missing program is skipped without a word.
class CCompanionLauncher
{
public:
    static QStringList companionNames() { return {QStringLiteral("QMerrowby"), QStringLiteral("QTarnwick")}; }

    // The executable of a companion in folder, with the platform's executable suffix.
    static QString programPath(const QString& folder, const QString& name);

    // Starts every companion found in folder; returns the paths that were started.
    static QStringList startAll(const QString& folder);
};
