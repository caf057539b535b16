// SPDX-License-Identifier: MIT
#include "CatePage/QExportThread.h"

#include "CNormalFuntion.h"
#include "CSelectionFileWriter.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

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
    const CExportResult result = exportPlan(plan, ticket);
    if (result.outcome != CExportResult::Stopped)
        deliver(ticket, [this, result]() { emit exportFinished(result); });
}

CExportResult QExportThread::exportPlan(const CExportPlan& plan, int ticket)
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
            qDebug() << "cannot create category folder" << page.folder;
            writer.cancel();
            result.outcome = CExportResult::FolderNotCreated;
            result.problemCategory = page.name;
            return result;
        }
    }

    const QList<CExportPlan::Copy>& copies = plan.copies();
    QVector<bool> copied(copies.size(), false);
    for (int i = 0; i < copies.size(); ++i) {
        if (isInterruptionRequested()) {
            writer.cancel();
            return result;
        }
        copied[i] = copyFileToPath(copies.at(i).source, copies.at(i).target, true);
        if (copied[i])
            ++result.copied;
        else
            result.failedNames.append(QFileInfo(copies.at(i).target).fileName());
        deliver(ticket, [this, done = i + 1, total = copies.size()]() { emit exportProgress(done, total); });
    }

    for (const CExportPlan::Page& page : plan.pages()) {
        QStringList names;
        for (const CExportPlan::Picture& picture : page.pictures) {
            if (copied.at(picture.copy))
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
