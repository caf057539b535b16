// SPDX-License-Identifier: MIT
#include "Thread/CThumbnailJob.h"

#include "Pictures/CImageReading.h"

namespace CThumbnailJob {

Outcome lookUp(const CThumbnailCache& cache, const QString& file, const QSize& box, bool makeFacts)
{
    if (file.isEmpty())
        return Outcome{};
    const CThumbnailCache::Source source = cache.source(file);
    const CThumbnailCache::Found found = cache.find(source, box);
    Outcome outcome;
    outcome.thumbnail = found.thumbnail;
    outcome.settled = found.state != CThumbnailCache::State::Miss;
    if (makeFacts && found.state == CThumbnailCache::State::Hit) {
        // An entry of ours names size and time; another program's only the size, if that.
        if (found.captureTime.isValid()) {
            outcome.facts.captureTime = found.captureTime;
            outcome.facts.timeFromExif = found.timeFromExif;
        } else {
            outcome.facts = CPictureFacts::withCaptureTime(file);
        }
        outcome.facts.pixelSize =
            found.uprightSize.isValid() ? found.uprightSize : CImageReading::uprightSizeOf(file);
        outcome.facts.hash = CPictureFacts::differenceHash(found.thumbnail);
        outcome.facts.fileBytes = source.size;
    }
    return outcome;
}

Outcome decodeAndKeep(const CThumbnailCache& cache, const QString& file, const QSize& box, bool makeFacts)
{
    if (file.isEmpty())
        return Outcome{};
    // Stat before decoding: a picture changed meanwhile gets an entry that no longer matches.
    const CThumbnailCache::Source source = cache.source(file);
    const CImageReading::Thumbnails made =
        CImageReading::thumbnailAndKept(file, box, CThumbnailCache::keptBox());
    Outcome outcome;
    outcome.thumbnail = made.thumbnail;
    if (made.thumbnail.isNull()) {
        cache.storeFailure(source);
        return outcome;
    }
    if (makeFacts)
        outcome.facts = CPictureFacts::of(file, made.thumbnail, made.uprightSize, made.exif);
    cache.store(source, made.kept, made.uprightSize, outcome.facts.captureTime, outcome.facts.timeFromExif);
    return outcome;
}

Outcome decode(const QString& file, const QSize& box, bool makeFacts)
{
    if (file.isEmpty())
        return Outcome{};
    const CImageReading::Thumbnails made = CImageReading::thumbnailAndKept(file, box, QSize());
    Outcome outcome;
    outcome.thumbnail = made.thumbnail;
    if (makeFacts)
        outcome.facts = CPictureFacts::of(file, made.thumbnail, made.uprightSize, made.exif);
    return outcome;
}

Outcome make(const std::optional<CThumbnailCache>& cache, const QString& file, const QSize& box,
             bool makeFacts)
{
    if (!cache)
        return decode(file, box, makeFacts);
    const Outcome cached = lookUp(*cache, file, box, makeFacts);
    return cached.settled ? cached : decodeAndKeep(*cache, file, box, makeFacts);
}

} // namespace CThumbnailJob
