// SPDX-License-Identifier: MIT
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

namespace TestSupport {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QImage twoToneImage(const QSize& size, const QColor& a, const QColor& b)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, size.width() / 2, size.height()), a);
    painter.fillRect(QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()), b);
    return image;
}

bool writeImage(const QString& path, const QImage& image, int quality)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImageWriter writer(path);
    writer.setQuality(quality);
    return writer.write(image);
}

bool writeImage(const QString& path, const QSize& size, const QColor& a, const QColor& b)
{
    return writeImage(path, twoToneImage(size, a, b));
}

bool setModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    return file.setFileTime(time, QFileDevice::FileModificationTime);
}

} // namespace TestSupport

QStringList TestSupport::writePhotos(const QString& folder, int count)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QString("/p%1.jpg").arg(i);
        const QColor colour = QColor::fromHsv((i * 67) % 360, 180, 230);
        if (!writeImage(path, QSize(320, 240), colour, colour.darker(160)))
            return {};
        paths << path;
    }
    return paths;
}
