// SPDX-License-Identifier: MIT
#include "Pictures/CPictureFacts.h"

#include "Pictures/CCaptureTime.h"

#include <QFileInfo>
#include <QVector>

#include <array>

namespace {

constexpr int gridColumns = 9;
constexpr int gridRows = 8;

} // namespace

quint64 CPictureFacts::differenceHash(const QImage& image)
{
    if (image.isNull())
        return 0;
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const int height = rgb.height();
    // Cell sums over the whole thumbnail: an average, unlike a scaled copy, sees every pixel, so
    // a shift of a few pixels moves the cell values only a little.
    std::array<quint64, gridColumns * gridRows> sums{};
    std::array<quint32, gridColumns * gridRows> counts{};
    QVector<int> columnCell(width);
    for (int x = 0; x < width; ++x)
        columnCell[x] = x * gridColumns / width;
    for (int y = 0; y < height; ++y) {
        const int row = y * gridRows / height;
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = line[x];
            // Integer luma (ITU-R BT.601 weights).
            const quint32 luma = 299 * qRed(pixel) + 587 * qGreen(pixel) + 114 * qBlue(pixel);
            const int cell = row * gridColumns + columnCell[x];
            sums[cell] += luma;
            ++counts[cell];
        }
    }
    quint64 hash = 0;
    int bit = 0;
    for (int row = 0; row < gridRows; ++row) {
        for (int column = 0; column + 1 < gridColumns; ++column, ++bit) {
            const int left = row * gridColumns + column;
            // Compared as left/countLeft > right/countRight without dividing.
            if (counts[left] && counts[left + 1] &&
                sums[left] * counts[left + 1] > sums[left + 1] * counts[left])
                hash |= quint64(1) << bit;
        }
    }
    return hash;
}

int CPictureFacts::distance(quint64 a, quint64 b)
{
    quint64 bits = a ^ b;
    int count = 0;
    for (; bits; bits &= bits - 1)
        ++count;
    return count;
}

CPictureFacts CPictureFacts::withCaptureTime(const QString& path, const QByteArray& exifBlock)
{
    CPictureFacts facts;
    facts.captureTime =
        exifBlock.isEmpty() ? CCaptureTime::fromFile(path) : CCaptureTime::fromExifBlock(exifBlock);
    facts.timeFromExif = facts.captureTime.isValid();
    const QFileInfo file(path);
    if (!facts.timeFromExif)
        facts.captureTime = file.lastModified();
    facts.fileBytes = file.exists() ? file.size() : -1;
    return facts;
}

CPictureFacts CPictureFacts::of(const QString& path, const QImage& thumbnail, const QSize& uprightSize,
                                const QByteArray& exifBlock)
{
    if (thumbnail.isNull())
        return {};
    CPictureFacts facts = withCaptureTime(path, exifBlock);
    facts.pixelSize = uprightSize;
    facts.hash = differenceHash(thumbnail);
    return facts;
}

CPictureFacts CPictureFacts::refused(const QString& path, const QSize& uprightSize, const QString& refusal)
{
    CPictureFacts facts;
    facts.pixelSize = uprightSize;
    const QFileInfo file(path);
    facts.fileBytes = file.exists() ? file.size() : -1;
    facts.refusal = refusal;
    return facts;
}
