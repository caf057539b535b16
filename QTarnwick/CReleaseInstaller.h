// SPDX-License-Identifier: MIT
#pragma once

#include "CInstallJournal.h"

#include <QString>

// Copies an unpacked release over the installation so that afterwards the installation is either
// wholly the new release or exactly the old one, and no program file is ever missing on the way.
// Every file and folder is planned, and refused, before anything changes; the plan goes into the
// install journal (CInstallJournal) before the first change. Each file is written beside its
// target, the old file is given a second name (a hard link) and the new one is renamed over the
// target (a running executable cannot be written into, but it can be renamed over). A failure, or
// a request to end the updater (SIGTERM), puts back every old file and removes every new file and
// folder; a kill is repaired by CInstallJournal::recover at the next start.
class CReleaseInstaller
{
public:
    CReleaseInstaller();

    // Installs every file and folder under source into target (an existing folder). Files of the
    // installation that the release does not hold are left alone.
    bool install(const QString& source, const QString& target);

private:
    bool placeFile(const QString& from, const QString& to, bool existed);
    // Counts one change of the installation; false when the updater has been asked to end.
    bool step();

    int m_steps = 0;
    int m_stopAt = 0;
    int m_stopSignal = 0;
};
