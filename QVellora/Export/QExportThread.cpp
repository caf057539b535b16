// SPDX-License-Identifier: MIT
#include "Export/QExportThread.h"

#include "CLogging.h"
#include "CNormalFuntion.h"
#include "Export/CSelectionFileWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QThreadPool>

#include <atomic>
#include <vector>

namespace {
// Copies in flight at once.
const int CopiesAtOnce = 4;
} // namespace

QExportThread::QExportThread(QObject* parent) : QWorkerThread(parent)
{
    qRegisterMetaType<CExportResult>();
}

QExportThread::~QExportThread()
{
    Stop();
}

void QExportThread::run()
{
    const int ticket = runTicket();
    const CExportPlan plan = m_plan;
    const Copier copy = m_copier ? m_copier : [](const QString& source, const QString& target) {
        return copyFileToPath(source, target, true);
    };
    const CExportResult result = exportPlan(plan, copy, ticket);
    if (result.outcome != CExportResult::Stopped)
        deliver(ticket, [this, result]() { emit exportFinished(result); });
}

CExportResult QExportThread::exportPlan(const CExportPlan& plan, const Copier& copy, int ticket)
{
    CExportResult result;
    result.exportFolder = plan.exportFolder();

    CSelectionFileWriter writer(plan.exportFolder());
    if (!writer.open()) {
        result.outcome = CExportResult::SelectionNotWritable;
        return result;
    }

    // All folders before any copy, so that a folder that cannot be made costs nothing.
    for (const CExportPlan::Page& page : plan.pages()) {
        if (QFileInfo(page.folder).isDir())
            continue;
        if (!QDir().mkdir(page.folder)) {
            qCDebug(lcExport) << "cannot create category folder" << page.folder;
            writer.cancel();
            result.outcome = CExportResult::FolderNotCreated;
            result.problemCategory = page.name;
            return result;
        }
    }

    // Several copies at once: while one copy waits on a slow disk or network folder, the others
    // go on, so the waits overlap instead of adding up. Each task takes the next copy until none
    // is left or the run is stopped; the pool is joined before anything below reads `copied`.
    const QList<CExportPlan::Copy>& copies = plan.copies();
    std::vector<char> copied(copies.size(), 0);
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    auto copyTask = [&]() {
        for (int i = next++; i < copies.size() && !isInterruptionRequested(); i = next++) {
            copied[i] = copy(copies.at(i).source, copies.at(i).target);
            deliver(ticket,
                    [this, count = ++done, total = copies.size()]() { emit exportProgress(count, total); });
        }
    };
    QThreadPool pool;
    pool.setMaxThreadCount(CopiesAtOnce);
    for (int i = 0; i < qMin(CopiesAtOnce, copies.size()); ++i)
        pool.start(copyTask);
    pool.waitForDone();
    if (isInterruptionRequested()) {
        writer.cancel();
        return result;
    }
    for (int i = 0; i < copies.size(); ++i) {
        if (copied[i])
            ++result.copied;
        else
            result.failedNames.append(QFileInfo(copies.at(i).target).fileName());
    }

    for (const CExportPlan::Page& page : plan.pages()) {
        QStringList names;
        for (const CExportPlan::Picture& picture : page.pictures) {
            if (copied[picture.copy])
                names.append(picture.pictureName);
        }
        // A category none of whose pictures arrived has nothing to list.
        if (!names.isEmpty())
            writer.addPage(page.row, page.name, names);
    }
    if (!writer.commit()) {
        result.outcome = CExportResult::SelectionNotWritable;
        return result;
    }
    result.folders = plan.folders();
    result.outcome = CExportResult::Done;
    return result;
}
