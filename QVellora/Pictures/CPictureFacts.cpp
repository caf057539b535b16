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

namespace {

// Colour sums over the 9x8 grid of the hash; the layout's 3x4 cells are blocks of 3x2 of them.
struct CellSums
{
    std::array<quint64, gridColumns * gridRows * 3> rgb{};
    std::array<quint32, gridColumns * gridRows> counts{};

    quint64 luma(int cell) const
    {
        // Integer luma (ITU-R BT.601 weights).
        return 299 * rgb[3 * cell] + 587 * rgb[3 * cell + 1] + 114 * rgb[3 * cell + 2];
    }
};

// Cell sums over the whole thumbnail: an average, unlike a scaled copy, sees every pixel, so a
// shift of a few pixels moves the cell values only a little.
CellSums cellSums(const QImage& image)
{
    CellSums cells;
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const int height = rgb.height();
    QVector<int> columnCell(width);
    for (int x = 0; x < width; ++x)
        columnCell[x] = x * gridColumns / width;
    for (int y = 0; y < height; ++y) {
        const int row = y * gridRows / height;
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = line[x];
            const int cell = row * gridColumns + columnCell[x];
            cells.rgb[3 * cell] += qRed(pixel);
            cells.rgb[3 * cell + 1] += qGreen(pixel);
            cells.rgb[3 * cell + 2] += qBlue(pixel);
            ++cells.counts[cell];
        }
    }
    return cells;
}

quint64 hashOf(const CellSums& cells)
{
    quint64 hash = 0;
    int bit = 0;
    for (int row = 0; row < gridRows; ++row) {
        for (int column = 0; column + 1 < gridColumns; ++column, ++bit) {
            const int left = row * gridColumns + column;
            // Compared as left/countLeft > right/countRight without dividing.
            if (cells.counts[left] && cells.counts[left + 1] &&
                cells.luma(left) * cells.counts[left + 1] > cells.luma(left + 1) * cells.counts[left])
                hash |= quint64(1) << bit;
        }
    }
    return hash;
}

CPictureFacts::Layout layoutOf(const CellSums& cells)
{
    // Brightness of 3x8 bands (three cells of a row each), colours of 3x4 blocks (3x2 cells).
    constexpr int across = 3;
    constexpr int bandCells = gridColumns / across;
    constexpr int blockRows = 2;
    CPictureFacts::Layout layout{};
    std::array<double, across * gridRows> bandLuma{};
    std::array<double, across * gridRows> bandCount{};
    std::array<double, across * gridRows / blockRows * 3> blockRgb{};
    double total = 0;
    double pixels = 0;
    for (int cell = 0; cell < gridColumns * gridRows; ++cell) {
        const int row = cell / gridColumns;
        const int band = row * across + (cell % gridColumns) / bandCells;
        const int block = (row / blockRows) * across + (cell % gridColumns) / bandCells;
        bandLuma[band] += double(cells.luma(cell));
        bandCount[band] += cells.counts[cell];
        for (int channel = 0; channel < 3; ++channel)
            blockRgb[3 * block + channel] += double(cells.rgb[3 * cell + channel]);
        total += double(cells.luma(cell));
        pixels += cells.counts[cell];
    }
    // Brightness against the picture's mean (128 = as bright as the whole), so that one shot a
    // little darker than the next keeps its layout; chromaticity is unmoved by exposure anyway.
    const double mean = pixels > 0 ? total / pixels : 0;
    size_t at = 0;
    for (int band = 0; band < across * gridRows; ++band) {
        const double luma = bandCount[band] > 0 ? bandLuma[band] / bandCount[band] : 0;
        layout[at++] = quint8(qBound(0.0, mean > 0 ? 128 * luma / mean : 0.0, 255.0));
    }
    for (int block = 0; block < across * gridRows / blockRows; ++block) {
        const double all = blockRgb[3 * block] + blockRgb[3 * block + 1] + blockRgb[3 * block + 2];
        layout[at++] = quint8(all > 0 ? qRound(255 * blockRgb[3 * block] / all) : 85);
        layout[at++] = quint8(all > 0 ? qRound(255 * blockRgb[3 * block + 1] / all) : 85);
    }
    return layout;
}

} // namespace

quint64 CPictureFacts::differenceHash(const QImage& image)
{
    return image.isNull() ? 0 : hashOf(cellSums(image));
}

CPictureFacts::Layout CPictureFacts::colourLayout(const QImage& image)
{
    return image.isNull() ? Layout{} : layoutOf(cellSums(image));
}

int CPictureFacts::layoutDistance(const Layout& a, const Layout& b)
{
    int sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += qAbs(int(a[i]) - int(b[i]));
    return (sum + int(a.size()) / 2) / int(a.size());
}

void CPictureFacts::setLooks(const QImage& thumbnail)
{
    if (thumbnail.isNull()) {
        hash = 0;
        layout = Layout{};
        return;
    }
    const CellSums cells = cellSums(thumbnail);
    hash = hashOf(cells);
    layout = layoutOf(cells);
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
    facts.setLooks(thumbnail);
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
