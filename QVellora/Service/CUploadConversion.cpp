// SPDX-License-Identifier: MIT
#include "Service/CUploadConversion.h"

#include "CLogging.h"
#include "Pictures/CImageReading.h"

#include <QColorSpace>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

QString CUploadConversion::toJpeg(const QString& source, const QString& folder)
{
    const QImage picture = CImageReading::readUpright(source);
    if (picture.isNull()) {
        qCDebug(lcService) << "cannot read for conversion" << source;
        return {};
    }
    const QString target =
        QDir(folder).filePath(QFileInfo(source).completeBaseName() + QStringLiteral(".jpg"));
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        qCDebug(lcService) << "cannot write the converted picture" << target << file.errorString();
        return {};
    }
    QImageWriter writer(&file, QByteArrayLiteral("jpeg"));
    writer.setQuality(Quality);
    // JPEG has no alpha channel: transparent parts come out white, as they print.
    QImage opaque = picture;
    if (picture.hasAlphaChannel()) {
        opaque = QImage(picture.size(), QImage::Format_RGB32);
        opaque.setColorSpace(picture.colorSpace());
        opaque.fill(Qt::white);
        QPainter(&opaque).drawImage(0, 0, picture);
    }
    if (!writer.write(opaque) || !file.commit()) {
        qCDebug(lcService) << "cannot write the converted picture" << target << writer.errorString()
                           << file.errorString();
        return {};
    }
    return target;
}
