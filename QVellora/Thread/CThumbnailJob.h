// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPictureFacts.h"
#include "Pictures/CThumbnailCache.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// The thumbnail of one picture file and its facts, as every loader makes them: from the shared
// thumbnail cache when it has a matching entry, else decoded (and the entry written). Runs on a
// worker thread.
namespace CThumbnailJob {

struct Outcome
{
    QImage thumbnail;    // null: not a readable picture
    bool settled = true; // false: the cache could not answer, decode it
    CPictureFacts facts; // empty when not asked for or when the thumbnail is null
};

// Only what the cache answers (settled false on a miss).
Outcome lookUp(const CThumbnailCache& cache, const QString& file, const QSize& box, bool makeFacts);
// Decodes the file and writes its entry (or its failure entry).
Outcome decodeAndKeep(const CThumbnailCache& cache, const QString& file, const QSize& box, bool makeFacts);
// Decodes without a cache.
Outcome decode(const QString& file, const QSize& box, bool makeFacts);
// The cache first, then the file; without a cache, the file.
Outcome make(const std::optional<CThumbnailCache>& cache, const QString& file, const QSize& box,
             bool makeFacts);

} // namespace CThumbnailJob
