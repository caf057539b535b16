// SPDX-License-Identifier: MIT
#include "CImageReading.h"

#include <QImageReader>

namespace {

// The size a JPEG decoder produces when it scales by 1/8, 1/4 or 1/2 while decoding: the
// smallest such size that is still at least `needed`, or `stored` when none is.
QSize reducedDecodeSize(const QSize& stored, const QSize& needed)
{
    for (int denominator : {8, 4, 2}) {
        const QSize reduced(stored.width() / denominator, stored.height() / denominator);
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
    return reader.read();
}

QImage CImageReading::thumbnail(const QString& path, const QSize& box)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    const bool quarterTurn = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize upright = quarterTurn ? stored.transposed() : stored;

    // Decoders that can scale while decoding (JPEG) skip most of their work at a fraction of the
    // size. Stopping at about twice the final size and filtering down from there keeps the
    // result as clean as a full decode would; decoding straight to the final size aliases.
    if (stored.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const QSize storedTarget = stored.scaled(quarterTurn ? box.transposed() : box, Qt::KeepAspectRatio);
        const QSize decode = reducedDecodeSize(stored, storedTarget * 2);
        if (decode != stored)
            reader.setScaledSize(decode);
    }
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    const QSize target = (upright.isValid() ? upright : image.size()).scaled(box, Qt::KeepAspectRatio);
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
