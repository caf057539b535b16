// SPDX-License-Identifier: MIT
#pragma once

#include "Export/CExportPlan.h"
#include "Thread/QWorkerThread.h"

#include <functional>

// Runs an export off the interface thread: creates every category sub-folder first, then copies
// the pictures, then writes "select.js" listing only the pictures that were copied.
//
// "select.js" is replaced only at the end: an export that cannot create a sub-folder stops before
// copying anything and leaves the previous selection file as it was. A few copies run at once on
// a thread pool of the run's own; exportProgress carries the number of copies done after each one
// (several copies finish close together, so a count may arrive after a larger one);
// exportFinished comes once per run that was not stopped. Signals arrive on the interface thread
// (QWorkerThread).
class QExportThread : public QWorkerThread
{
    Q_OBJECT
public:
    explicit QExportThread(QObject* parent = nullptr);
    ~QExportThread() override;

    // Interface thread, while no run is active.
    void SetPlan(const CExportPlan& plan) { m_plan = plan; }
    // How one picture is copied (source, target; true when copied). Unless set: copyFileToPath,
    // replacing an older file of the same name. Called on several threads at once.
    using Copier = std::function<bool(const QString&, const QString&)>;
    void SetCopier(Copier copier) { m_copier = std::move(copier); }

signals:
    void exportProgress(int done, int total);
    void exportFinished(CExportResult result);

protected:
    void run() override;

private:
    CExportResult exportPlan(const CExportPlan& plan, const Copier& copy, int ticket);

    CExportPlan m_plan;
    Copier m_copier;
};
