// SPDX-License-Identifier: MIT
#include "CImageReading.h"

#include <QImageReader>

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

    // Decoding at about twice the box and then filtering down keeps the result free of aliasing
    // while letting the JPEG decoder skip most of the work.
    if (stored.isValid()) {
        const QSize decodeBox = (quarterTurn ? box.transposed() : box) * 2;
        if (stored.width() > decodeBox.width() && stored.height() > decodeBox.height())
            reader.setScaledSize(stored.scaled(decodeBox, Qt::KeepAspectRatioByExpanding));
    }
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    const QSize target = (upright.isValid() ? upright : image.size()).scaled(box, Qt::KeepAspectRatio);
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
