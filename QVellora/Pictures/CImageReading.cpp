// SPDX-License-Identifier: MIT
#include "Pictures/CImageReading.h"

#include "Pictures/CHeifReading.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

// The size at which the JPEG decoder is asked to decode: the stored size divided by the largest
// of 8, 4 or 2 that divides it evenly and still leaves at least `needed`; the stored size when
// none does. Only even divisions are used: for any other size the decoder finishes with a
// coarse rescale of its own that shows in the thumbnail.
QSize reducedDecodeSize(const QSize& stored, const QSize& needed)
{
    for (int denominator : {8, 4, 2}) {
        if (stored.width() % denominator != 0 || stored.height() % denominator != 0)
            continue;
        const QSize reduced = stored / denominator;
        if (reduced.width() >= needed.width() && reduced.height() >= needed.height())
            return reduced;
    }
    return stored;
}

} // namespace

QImage CImageReading::readUpright(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    // Without the HEIF image plugin the file is still decoded, through libheif.
    if (image.isNull() && CHeifReading::isHeif(path))
        return CHeifReading::readUpright(path);
    return image;
}

QImage CImageReading::thumbnail(const QString& path, const QSize& box)
{
    return thumbnailAndKept(path, box, QSize()).thumbnail;
}

QSize CImageReading::uprightSizeOf(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    return reader.transformation() & QImageIOHandler::TransformationRotate90 ? stored.transposed() : stored;
}

CImageReading::Thumbnails CImageReading::thumbnailAndKept(const QString& path, const QSize& box,
                                                          const QSize& keepBox)
{
    // A reader given a name that cannot be opened tries it again with every image suffix it
    // knows: some twenty failed opens for each picture of an unplugged card.
    if (!QFileInfo(path).isFile())
        return {};
    // HEIF files carry a small thumbnail of their own, which is quicker to read than a cache
    // entry would be to write: no kept copy, so nothing goes into the shared cache.
    if (CHeifReading::isHeif(path)) {
        Thumbnails heif;
        CHeifReading::Details details;
        heif.thumbnail = CHeifReading::thumbnail(path, box, nullptr, &details);
        if (!heif.thumbnail.isNull()) {
            heif.uprightSize = details.uprightSize;
            heif.exif = details.exif;
            heif.decoded = heif.thumbnail;
            return heif;
        }
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    const bool quarterTurn = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize upright = quarterTurn ? stored.transposed() : stored;

    // The JPEG decoder skips most of its work when it scales by 1/2, 1/4 or 1/8 while decoding.
    // Stopping at about twice the final size and filtering down from there keeps the result as
    // clean as a full decode; decoding straight to the final size aliases. Other formats are
    // decoded whole anyway: their readers would only add a rougher scaling step.
    if (stored.isValid() && reader.format() == "jpeg") {
        const QSize storedTarget = stored.scaled(quarterTurn ? box.transposed() : box, Qt::KeepAspectRatio);
        // The kept copy must not be enlarged from the reduced decode either.
        const QSize storedKeepBox = quarterTurn ? keepBox.transposed() : keepBox;
        const QSize keepTarget =
            keepBox.isEmpty() ? QSize() : stored.boundedTo(stored.scaled(storedKeepBox, Qt::KeepAspectRatio));
        const QSize decode = reducedDecodeSize(stored, (storedTarget * 2).expandedTo(keepTarget));
        if (decode != stored)
            reader.setScaledSize(decode);
    }
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    Thumbnails result;
    result.decoded = image;
    result.uprightSize = upright.isValid() ? upright : image.size();
    const QSize target = result.uprightSize.scaled(box, Qt::KeepAspectRatio);
    result.thumbnail = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!keepBox.isEmpty()) {
        const QSize kept =
            result.uprightSize.boundedTo(result.uprightSize.scaled(keepBox, Qt::KeepAspectRatio));
        result.kept = kept == image.size()
                          ? image
                          : image.scaled(kept, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return result;
}
