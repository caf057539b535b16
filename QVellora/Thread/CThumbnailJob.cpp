// SPDX-License-Identifier: MIT
#include "Thread/CThumbnailJob.h"

#include "Pictures/CImageReading.h"
#include "Pictures/CSharpness.h"

namespace CThumbnailJob {

namespace {

// A picture refused for its size: the broken tile, and the reason in its facts.
Outcome refused(const QString& file, const CImageReading::Thumbnails& made, const QSize& box)
{
    Outcome outcome;
    outcome.thumbnail = CImageReading::brokenTile(box);
    outcome.facts = CPictureFacts::refused(file, made.uprightSize, made.refusal);
    return outcome;
}

} // namespace

Outcome lookUp(const CThumbnailCache& cache, const QString& file, const QSize& box, bool makeFacts)
{
    if (file.isEmpty())
        return Outcome{};
    const CThumbnailCache::Source source = cache.source(file);
    const CThumbnailCache::Found found = cache.find(source, box);
    Outcome outcome;
    outcome.thumbnail = found.thumbnail;
    outcome.settled = found.state != CThumbnailCache::State::Miss;
    if (found.state != CThumbnailCache::State::Hit)
        return outcome;
    // What an entry claims decides nothing about the picture: its header tells the size, and an
    // entry whose shape does not fit it is made again from the picture.
    const QSize header = CImageReading::uprightSizeOf(file);
    if (header.isValid() && !CImageReading::sameShape(header, found.thumbnail.size()))
        return Outcome{QImage(), false, CPictureFacts()};
    if (makeFacts) {
        // An entry of ours names size and time; another program's only the size, if that.
        if (found.captureTime.isValid()) {
            outcome.facts.captureTime = found.captureTime;
            outcome.facts.timeFromExif = found.timeFromExif;
        } else {
            outcome.facts = CPictureFacts::withCaptureTime(file);
        }
        outcome.facts.pixelSize = header.isValid() ? header : found.uprightSize;
        outcome.facts.setLooks(found.thumbnail);
        outcome.facts.fileBytes = source.size;
        // Entries written before scores were kept, or by other programs, are scored here.
        outcome.facts.sharpness = found.sharpness ? *found.sharpness : CSharpness::score(found.stored);
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
    // Refused from its header: cheap to refuse again, and no failure of the picture's own.
    if (!made.refusal.isEmpty())
        return refused(file, made, box);
    Outcome outcome;
    outcome.thumbnail = made.thumbnail;
    if (made.thumbnail.isNull()) {
        cache.storeFailure(source);
        return outcome;
    }
    std::optional<qreal> sharpness;
    if (makeFacts) {
        outcome.facts = CPictureFacts::of(file, made.thumbnail, made.uprightSize, made.exif);
        outcome.facts.sharpness = CSharpness::score(made.decoded);
        sharpness = outcome.facts.sharpness;
    }
    cache.store(source, made.kept, made.uprightSize, outcome.facts.captureTime, outcome.facts.timeFromExif,
                sharpness);
    return outcome;
}

Outcome decode(const QString& file, const QSize& box, bool makeFacts)
{
    if (file.isEmpty())
        return Outcome{};
    const CImageReading::Thumbnails made = CImageReading::thumbnailAndKept(file, box, QSize());
    if (!made.refusal.isEmpty())
        return refused(file, made, box);
    Outcome outcome;
    outcome.thumbnail = made.thumbnail;
    if (makeFacts) {
        outcome.facts = CPictureFacts::of(file, made.thumbnail, made.uprightSize, made.exif);
        outcome.facts.sharpness = CSharpness::score(made.decoded);
    }
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
