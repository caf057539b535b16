// SPDX-License-Identifier: MIT
#include "Pictures/CImageReading.h"

#include "Pictures/CDecodeBudget.h"
#include "Pictures/CHeifReading.h"
#include "Pictures/CPictureFile.h"
#include "Pictures/CPictureHeader.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <memory>

namespace {

qint64 pixelsOf(const QSize& size)
{
    return qint64(qMax(0, size.width())) * qMax(0, size.height());
}

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

// The least reduction (1/2, 1/4, 1/8) that brings a JPEG decode within the pixel limit, rounded up
// as the decoder rounds; invalid when even 1/8 is too large.
QSize jpegWithinLimit(const QSize& stored)
{
    for (int denominator : {1, 2, 4, 8}) {
        const QSize reduced((stored.width() + denominator - 1) / denominator,
                            (stored.height() + denominator - 1) / denominator);
        if (pixelsOf(reduced) <= CDecodeBudget::maxDecodePixels())
            return reduced;
    }
    return {};
}

// A reader bound to one open regular file and to the decoder of its kind, nothing else.
struct OpenPicture
{
    QFile file;
    QByteArray kind; // empty: not a picture of a listed kind
    CPictureHeader::JpegFrame jpeg;
    std::unique_ptr<QImageReader> reader;
    QSize stored;
    bool quarterTurn = false;

    QSize upright() const { return quarterTurn ? stored.transposed() : stored; }
};

bool openPicture(OpenPicture& picture, const QString& path)
{
    if (!CPictureFile::open(picture.file, path))
        return false;
    picture.kind = CPictureHeader::kindOf(picture.file.peek(64));
    if (picture.kind.isEmpty())
        return false;
    if (picture.kind == "jpeg") {
        picture.jpeg = CPictureHeader::jpegFrame(picture.file);
        if (!picture.file.seek(0))
            return false;
    }
    picture.reader = std::make_unique<QImageReader>(&picture.file, picture.kind);
    // The format is settled by the bytes above: no other decoder may be tried on the file.
    picture.reader->setAutoDetectImageFormat(false);
    picture.reader->setDecideFormatFromContent(false);
    picture.reader->setAutoTransform(true);
    if (!picture.reader->canRead())
        return false;
    picture.stored = picture.reader->size();
    if (picture.kind == "jpeg" && picture.jpeg.size.isValid())
        picture.stored = picture.jpeg.size;
    picture.quarterTurn = picture.reader->transformation() & QImageIOHandler::TransformationRotate90;
    return true;
}

// What a decode at decodeSize costs beyond the file: the decoded pixels and a converted copy, and
// for a progressive JPEG the coefficients of the whole stored picture, kept until the last scan.
qint64 decodeCost(const OpenPicture& picture, const QSize& decodeSize)
{
    qint64 cost = pixelsOf(decodeSize) * 8;
    if (picture.kind == "jpeg" && picture.jpeg.progressive)
        cost += qint64(pixelsOf(picture.stored) * picture.jpeg.samplesPerPixel * 2);
    return cost;
}

// The size to decode at so that the decode fits the budget, preferring `wanted` (the stored size,
// or a reduction of it); invalid when the picture cannot be decoded within the budget.
QSize decodeSizeWithin(OpenPicture& picture, const QSize& wanted)
{
    if (!picture.stored.isValid())
        return {};
    QSize decode = wanted;
    if (pixelsOf(decode) > CDecodeBudget::maxDecodePixels()) {
        // Only the JPEG decoder reduces while it decodes; the others' scaled reading decodes
        // whole first.
        decode = picture.kind == "jpeg" ? jpegWithinLimit(picture.stored) : QSize();
    }
    if (!decode.isValid() || decodeCost(picture, decode) > CDecodeBudget::maxDecodeBytes())
        return {};
    return decode;
}

QImage decodeAt(OpenPicture& picture, const QSize& decode)
{
    if (decode != picture.stored && picture.kind == "jpeg")
        picture.reader->setScaledSize(decode);
    const CDecodeBudget::Lease lease(decodeCost(picture, decode));
    return picture.reader->read();
}

} // namespace

QSize CImageReading::fittedSize(const QSize& uprightSize, const QSize& box)
{
    if (uprightSize.isEmpty() || box.isEmpty())
        return {};
    return uprightSize.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

bool CImageReading::sameShape(const QSize& picture, const QSize& thumbnail)
{
    if (picture.isEmpty() || thumbnail.isEmpty())
        return false;
    // Scaled by s and rounded, each side is off by at most one pixel: the cross products then
    // differ by at most the picture's width plus height; twice that for a thumbnail of a thumbnail.
    const qint64 cross =
        qint64(picture.width()) * thumbnail.height() - qint64(picture.height()) * thumbnail.width();
    return qAbs(cross) <= 2 * (qint64(picture.width()) + picture.height());
}

QString CImageReading::tooLargeText(const QSize& size)
{
    return QCoreApplication::translate("CImageReading", "图片过大（%1 × %2 像素），为保护内存未读取")
        .arg(size.width())
        .arg(size.height());
}

QImage CImageReading::brokenTile(const QSize& box)
{
    QImage tile(box.expandedTo(QSize(16, 16)), QImage::Format_RGB32);
    tile.fill(QColor(0xE4, 0xE4, 0xE4));
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(tile.width(), tile.height()) / 3;
    const QRect frame(tile.width() / 2 - side / 2, tile.height() / 2 - side / 2, side, side * 3 / 4);
    painter.setPen(QPen(QColor(0x90, 0x90, 0x90), qMax(2, side / 16)));
    painter.drawRect(frame);
    // The frame torn by a jagged line from corner to corner.
    painter.setPen(QPen(QColor(0xC0, 0x39, 0x2B), qMax(2, side / 16)));
    const QPoint steps[] = {frame.topLeft(), frame.topLeft() + QPoint(side / 3, side / 3),
                            frame.topLeft() + QPoint(side / 2, side / 6),
                            frame.bottomRight() - QPoint(side / 4, side / 6), frame.bottomRight()};
    painter.drawPolyline(steps, 5);
    painter.end();
    return tile;
}

QImage CImageReading::readUpright(const QString& path, QString* refusal, QSize* wholeSize)
{
    if (wholeSize)
        *wholeSize = QSize();
    QString why;
    OpenPicture picture;
    const bool opened = openPicture(picture, path);
    // HEIF goes through libheif, which applies the file's turns; the image plugin, when there is
    // one, only when libheif could not decode the file.
    if (picture.kind == "heif" || picture.kind == "avif") {
        const QImage heif = CHeifReading::readUpright(path, &why);
        if (!heif.isNull() || !why.isEmpty() || !opened) {
            if (refusal)
                *refusal = why;
            if (wholeSize && !heif.isNull())
                *wholeSize = heif.size();
            return heif;
        }
    }
    if (refusal)
        refusal->clear();
    if (!opened)
        return {};
    const QSize decode = decodeSizeWithin(picture, picture.stored);
    if (!decode.isValid()) {
        if (refusal && picture.stored.isValid())
            *refusal = tooLargeText(picture.upright());
        return {};
    }
    const QImage image = decodeAt(picture, decode);
    if (wholeSize && !image.isNull())
        *wholeSize = decode == picture.stored ? image.size() : picture.upright();
    return image;
}

QImage CImageReading::thumbnail(const QString& path, const QSize& box)
{
    return thumbnailAndKept(path, box, QSize()).thumbnail;
}

QSize CImageReading::uprightSizeOf(const QString& path)
{
    OpenPicture picture;
    if (!openPicture(picture, path)) {
        if (picture.kind == "heif" || picture.kind == "avif")
            return CHeifReading::uprightSizeOf(path);
        return {};
    }
    return picture.upright();
}

QSize CImageReading::storedSizeOf(const QString& path)
{
    OpenPicture picture;
    if (!openPicture(picture, path)) {
        if (picture.kind == "heif" || picture.kind == "avif")
            return CHeifReading::uprightSizeOf(path);
        return {};
    }
    return picture.stored;
}

CImageReading::Thumbnails CImageReading::thumbnailAndKept(const QString& path, const QSize& box,
                                                          const QSize& keepBox)
{
    OpenPicture picture;
    const bool opened = openPicture(picture, path);
    // HEIF files carry a small thumbnail of their own, which is quicker to read than a cache
    // entry would be to write: no kept copy, so nothing goes into the shared cache.
    if (picture.kind == "heif" || picture.kind == "avif") {
        Thumbnails heif;
        CHeifReading::Details details;
        heif.thumbnail = CHeifReading::thumbnail(path, box, nullptr, &details);
        if (!heif.thumbnail.isNull() || !details.refusal.isEmpty()) {
            heif.uprightSize = details.uprightSize;
            heif.exif = details.exif;
            heif.refusal = details.refusal;
            heif.decoded = heif.thumbnail;
            return heif;
        }
    }
    if (!opened)
        return {};
    const QSize stored = picture.stored;
    const bool quarterTurn = picture.quarterTurn;

    // The JPEG decoder skips most of its work when it scales by 1/2, 1/4 or 1/8 while decoding.
    // Stopping at about twice the final size and filtering down from there keeps the result as
    // clean as a full decode; decoding straight to the final size aliases. Other formats are
    // decoded whole anyway: their readers would only add a rougher scaling step.
    QSize wanted = stored;
    if (stored.isValid() && picture.kind == "jpeg") {
        const QSize storedTarget = fittedSize(stored, quarterTurn ? box.transposed() : box);
        // The kept copy must not be enlarged from the reduced decode either.
        const QSize storedKeepBox = quarterTurn ? keepBox.transposed() : keepBox;
        const QSize keepTarget =
            keepBox.isEmpty() ? QSize() : stored.boundedTo(fittedSize(stored, storedKeepBox));
        wanted = reducedDecodeSize(stored, (storedTarget * 2).expandedTo(keepTarget));
    }
    const QSize decode = decodeSizeWithin(picture, wanted);
    if (!decode.isValid()) {
        Thumbnails refused;
        if (stored.isValid()) {
            refused.uprightSize = picture.upright();
            refused.refusal = tooLargeText(refused.uprightSize);
        }
        return refused;
    }
    const QImage image = decodeAt(picture, decode);
    if (image.isNull())
        return {};
    Thumbnails result;
    result.decoded = image;
    // A decode at full size tells the true size; a header that disagrees with it was wrong.
    const QSize upright = picture.upright();
    result.uprightSize =
        upright.isValid() && (decode != stored || image.size() == upright) ? upright : image.size();
    const QSize target = fittedSize(result.uprightSize, box);
    result.thumbnail = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!keepBox.isEmpty()) {
        const QSize kept = result.uprightSize.boundedTo(fittedSize(result.uprightSize, keepBox));
        result.kept = kept == image.size()
                          ? image
                          : image.scaled(kept, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return result;
}
