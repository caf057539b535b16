// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

// Fixtures made in code: files with content, pictures painted with QPainter, file times set.
namespace TestSupport {

// Writes bytes to path, creating parent folders; fails the calling test on error via the result.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// A picture with a recognisable pattern: the left half in colour a, the right half in colour b.
QImage twoToneImage(const QSize& size, const QColor& a = Qt::red, const QColor& b = Qt::blue);
// Saves an image; the format follows the suffix ("jpg", "png", "bmp", ...).
bool writeImage(const QString& path, const QImage& image, int quality = 90);
// Paints count photos of 320x240 in colours of their own, "p0.jpg" … into folder; their paths,
// or nothing when one could not be written.
QStringList writePhotos(const QString& folder, int count);
bool writeImage(const QString& path, const QSize& size, const QColor& a = Qt::red,
                const QColor& b = Qt::blue);

// Sets a file's modification time.
bool setModified(const QString& path, const QDateTime& time);

} // namespace TestSupport
