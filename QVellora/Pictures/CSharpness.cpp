// SPDX-License-Identifier: MIT
#include "Pictures/CSharpness.h"

#include <QVector>

#include <algorithm>
#include <cmath>

namespace {

// Larger copies are averaged down by the whole factor that brings them nearest to this size:
// blocks of pixels averaged also average the noise away, and every size the workers decode (a
// cache entry of 512, a JPEG decoded at 540 to 1080) is measured at nearly the same scale.
constexpr int measuredSide = 512;
// Fewer pixels than this on the short side: too small to tell focus.
constexpr int smallestSide = 48;
constexpr int scanLines = 20; // rows read with their neighbours above and below
// Pictures whose grey values spread less than this (of 255) are flat: a wall, a sky, a blank.
constexpr double lowestSpread = 4;
// Detail below this (the root mean square of second differences, in levels of 255): no more than
// the steps of 8-bit values along a gentle gradient, nothing in the picture to focus on.
constexpr double lowestDetail = 0.5;
// How many times the grain's own energy is taken from the detail's.
constexpr double noisePenalty = 2;
// The detail-to-contrast ratio that scores 50: sharp photographs score about 40 to 80. The score
// grows with the ratio without end, so no two shots tie at the top.
constexpr double halfScore = 0.15;

// The grey values along one scan line.
using Profile = QVector<float>;

class Grey
{
public:
    Grey(const QImage& rgb, int factor) : m_image(rgb), m_factor(factor) {}
    int width() const { return m_image.width() / m_factor; }
    int height() const { return m_image.height() / m_factor; }

    // Luma (BT.601) averaged over the factor x factor block at (x, y) of the measured size.
    float at(int x, int y) const
    {
        int sum = 0;
        for (int row = 0; row < m_factor; ++row) {
            const auto* line = reinterpret_cast<const QRgb*>(m_image.constScanLine(y * m_factor + row));
            for (int column = 0; column < m_factor; ++column) {
                const QRgb pixel = line[x * m_factor + column];
                sum += 77 * qRed(pixel) + 150 * qGreen(pixel) + 29 * qBlue(pixel);
            }
        }
        return sum / (256.0f * m_factor * m_factor);
    }

    // The grey values of row y, into profile (sized to the width).
    void row(int y, Profile* profile) const
    {
        float* out = profile->data();
        if (m_factor == 1) {
            const auto* line = reinterpret_cast<const QRgb*>(m_image.constScanLine(y));
            for (int x = 0; x < profile->size(); ++x)
                out[x] = (77 * qRed(line[x]) + 150 * qGreen(line[x]) + 29 * qBlue(line[x])) / 256.0f;
            return;
        }
        for (int x = 0; x < profile->size(); ++x)
            out[x] = at(x, y);
    }

private:
    const QImage& m_image;
    int m_factor;
};

// What the second differences say, across and down, on scan rows spread over the picture (each
// read with the rows above and below it, so memory is walked in order): their mean square (the
// Laplacian's energy: the picture's fine detail, which defocus and shake take away first), the
// noise (from the quietest quarter of them, where a photograph is flat and only grain is left),
// and the spread of the grey values (its contrast).
struct Detail
{
    double energy = 0;
    double noise = 0;
    double spread = 0;
    int count = 0;
};

Detail detailOf(const Grey& grey)
{
    Detail detail;
    const int width = grey.width();
    const int rows = std::min(scanLines, grey.height() / 4);
    Profile above(width), here(width), below(width);
    QVector<float> sizes;
    sizes.reserve(rows * width / 2 + 2);
    double sum = 0;
    double squares = 0;
    int values = 0;
    for (int k = 0; k < rows; ++k) {
        const int y = 1 + (grey.height() - 2) * (2 * k + 1) / (2 * rows);
        grey.row(y - 1, &above);
        grey.row(y, &here);
        grey.row(y + 1, &below);
        for (int x = 1; x + 1 < width; ++x) {
            const float across = here[x + 1] - 2 * here[x] + here[x - 1];
            const float down = below[x] - 2 * here[x] + above[x];
            detail.energy += double(across) * across + double(down) * down;
            if (x % 4 == 0) {
                sizes.append(std::abs(across));
                sizes.append(std::abs(down));
            }
            sum += here[x];
            squares += double(here[x]) * here[x];
            ++values;
        }
    }
    if (values == 0 || sizes.isEmpty())
        return detail;
    detail.count = values;
    detail.energy /= 2 * values;
    const double mean = sum / values;
    detail.spread = std::sqrt(std::max(0.0, squares / values - mean * mean));
    auto quarter = sizes.begin() + sizes.size() / 4;
    std::nth_element(sizes.begin(), quarter, sizes.end());
    // Of white noise of deviation s, second differences have deviation sqrt(6) s, and a quarter
    // of their sizes lie below 0.3186 times that.
    detail.noise = *quarter / (0.3186 * std::sqrt(6.0));
    return detail;
}

} // namespace

qreal CSharpness::score(const QImage& image)
{
    if (image.isNull())
        return none;
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    const int factor = std::max(1, (std::max(rgb.width(), rgb.height()) + measuredSide / 2) / measuredSide);
    const Grey grey(rgb, factor);
    if (std::min(grey.width(), grey.height()) < smallestSide)
        return none;

    const Detail detail = detailOf(grey);
    // Too flat: no contrast to speak of, or no detail at all.
    if (detail.count == 0 || detail.spread < lowestSpread || detail.energy < lowestDetail * lowestDetail)
        return none;
    // Grain adds 6 s^2 to the energy; twice that is taken away, so that of two shots alike but
    // for noise the clean one scores higher (noise reads as detail to a Laplacian otherwise).
    const double clean = detail.energy - noisePenalty * 6 * detail.noise * detail.noise;
    // Against the contrast: an exposure or contrast change scales both alike.
    const double ratio = std::sqrt(std::max(0.0, clean)) / detail.spread;
    return 100.0 * ratio / (ratio + halfScore);
}
