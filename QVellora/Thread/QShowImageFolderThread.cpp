// SPDX-License-Identifier: MIT
#include "Thread/QShowImageFolderThread.h"

#include <QDir>
#include <QVector>

#include <utility>

QShowImageFolderThread::QShowImageFolderThread(QObject* parent) : QThumbnailThreadBase(parent) {}

QShowImageFolderThread::~QShowImageFolderThread()
{
    Stop();
}

static QStringList filesOfFolder(const QString& folder)
{
    QStringList files;
    for (const QFileInfo& entry :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        if (entry.isFile())
            files.append(entry.absoluteFilePath());
    }
    return files;
}

void QShowImageFolderThread::run()
{
    const int ticket = runTicket();
    const QStringList paths = m_pathList;
    // Filled as items are handed to the pipeline, read when they come back, both on this thread.
    QVector<bool> isFolder(paths.size(), false);
    QVector<QStringList> folderFiles(paths.size());

    auto fileOf = [&](int i) {
        if (!QFileInfo(paths.at(i)).isDir())
            return paths.at(i);
        isFolder[i] = true;
        folderFiles[i] = filesOfFolder(paths.at(i));
        return folderFiles.at(i).value(0);
    };
    auto handOver = [&](int i, const QImage& thumbnail, const CPictureFacts& facts) {
        const QStringList files = std::exchange(folderFiles[i], {});
        if (thumbnail.isNull())
            return;
        const QString path = paths.at(i);
        if (isFolder.at(i))
            deliver(ticket,
                    [this, path, files, thumbnail]() { emit showFolderImage(path, files, thumbnail); });
        else
            deliver(ticket, [this, path, thumbnail, facts]() {
                emit showSingleImage(path, thumbnail);
                if (facts.isValid() || !facts.refusal.isEmpty())
                    emit pictureFacts(path, facts);
            });
    };

    if (makeThumbnails(paths, fileOf, handOver))
        deliver(ticket, [this]() { emit endShowMoreImages(); });
}
