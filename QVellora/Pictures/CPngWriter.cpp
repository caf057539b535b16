// SPDX-License-Identifier: MIT
#include "Pictures/CPngWriter.h"

#include <QIODevice>

#include <csetjmp>
#include <vector>

#include <png.h>
#include <zlib.h>

namespace {

struct Sink
{
    QIODevice* device;
    bool failed;
};

void writeBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
    if (sink->device->write(reinterpret_cast<const char*>(data), qint64(length)) != qint64(length)) {
        sink->failed = true;
        png_error(png, "write failed");
    }
}

void flushNothing(png_structp) {}

// libpng reports errors by jumping back here; nothing with a destructor may live in this frame.
bool encode(Sink* sink, const QImage* image, bool alpha, png_text* texts, int textCount)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, sink, writeBytes, flushNothing);
    png_set_IHDR(png, info, png_uint_32(image->width()), png_uint_32(image->height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, Z_NO_COMPRESSION);
    if (textCount > 0)
        png_set_text(png, info, texts, textCount);
    png_write_info(png, info);
    if (!alpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER); // drops the unused fourth byte of each pixel
    for (int y = 0; y < image->height(); ++y)
        png_write_row(png, const_cast<png_bytep>(image->constScanLine(y)));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool CPngWriter::write(QIODevice* device, const QImage& image, const Texts& texts)
{
    if (image.isNull() || !device)
        return false;
    // Byte-ordered formats: R, G, B, then alpha or filler, whatever the machine's byte order.
    const bool alpha = image.hasAlphaChannel();
    const QImage rows = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);

    std::vector<png_text> chunks(size_t(texts.size()));
    for (int i = 0; i < texts.size(); ++i) {
        png_text& chunk = chunks[size_t(i)];
        chunk.compression = PNG_TEXT_COMPRESSION_NONE;
        chunk.key = const_cast<char*>(texts.at(i).first.constData());
        chunk.text = const_cast<char*>(texts.at(i).second.constData());
        chunk.text_length = size_t(texts.at(i).second.size());
    }
    Sink sink{device, false};
    return encode(&sink, &rows, alpha, chunks.data(), int(chunks.size())) && !sink.failed;
}
