// SPDX-License-Identifier: MIT
#include "PictureKinds.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <libheif/heif.h>

#include <cstring>

namespace PictureKinds {

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll());
    return {};
}

QString heifError(const heif_error& error, const char* step)
{
    return error.code == heif_error_Ok
               ? QString()
               : QStringLiteral("%1: %2").arg(QLatin1String(step), QLatin1String(error.message));
}

// An 8-bit RGB libheif picture holding image's pixels; release with heif_image_release.
heif_image* toHeif(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    heif_image* picture = nullptr;
    if (heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                          &picture)
            .code != heif_error_Ok)
        return nullptr;
    heif_image_add_plane(picture, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(plane + y * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
    return picture;
}

} // namespace

bool haveTool(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

QString toolFor(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "webp" || suffix == "tif" || suffix == "tiff")
        return QStringLiteral("convert");
    if (suffix == "heic" || suffix == "heif" || suffix == "avif")
        return QStringLiteral("heif-enc");
    return {};
}

QString write(const QString& path, const QImage& image, int thumbnailBox)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("cannot create the folder of ") + path;
    const QString tool = toolFor(path);
    if (tool.isEmpty())
        return image.save(path, nullptr, 95) ? QString() : QStringLiteral("Qt cannot write ") + path;

    QTemporaryDir scratch;
    const QString source = scratch.filePath(QStringLiteral("source.png"));
    if (!scratch.isValid() || !image.save(source))
        return QStringLiteral("cannot write the source picture");
    if (tool == QLatin1String("convert"))
        return run(tool, {source, QStringLiteral("-quality"), QStringLiteral("95"), path});
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("90")};
    if (thumbnailBox > 0)
        arguments << QStringLiteral("-t") << QString::number(thumbnailBox);
    if (QFileInfo(path).suffix().compare(QLatin1String("avif"), Qt::CaseInsensitive) == 0)
        arguments << QStringLiteral("-A");
    arguments << QStringLiteral("-o") << path << source;
    return run(tool, arguments);
}

QString writeHeic(const QString& path, const QImage& stored, int orientation, const QImage& thumbnail,
                  int thumbnailBox, const QByteArray& exif)
{
    // libheif does not report a file it could not create.
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("cannot create the folder of ") + path;
    // Entered once and never left: an image plugin in the process that leaves libheif would
    // otherwise unload the encoders.
    static const bool entered = heif_init(nullptr).code == heif_error_Ok;
    if (!entered)
        return QStringLiteral("libheif cannot start");
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    QString error = heifError(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder),
                              "no HEVC encoder");
    heif_image* primary = error.isEmpty() ? toHeif(stored) : nullptr;
    heif_image* small = error.isEmpty() && thumbnailBox > 0 ? toHeif(thumbnail) : nullptr;
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = heif_orientation(orientation);
    heif_image_handle* handle = nullptr;
    if (error.isEmpty() && !primary)
        error = QStringLiteral("cannot make the picture");
    if (error.isEmpty()) {
        heif_encoder_set_lossy_quality(encoder, 90);
        error = heifError(heif_context_encode_image(context, primary, encoder, options, &handle), "encode");
    }
    if (error.isEmpty() && !exif.isEmpty())
        error =
            heifError(heif_context_add_exif_metadata(context, handle, exif.constData(), exif.size()), "EXIF");
    if (error.isEmpty() && small)
        error = heifError(
            heif_context_encode_thumbnail(context, small, handle, encoder, options, thumbnailBox, nullptr),
            "thumbnail");
    if (error.isEmpty())
        error = heifError(heif_context_write_to_file(context, QFile::encodeName(path).constData()), "write");
    if (error.isEmpty() && !QFileInfo(path).isFile())
        error = QStringLiteral("no file written at ") + path;

    if (handle)
        heif_image_handle_release(handle);
    heif_encoding_options_free(options);
    if (small)
        heif_image_release(small);
    if (primary)
        heif_image_release(primary);
    if (encoder)
        heif_encoder_release(encoder);
    heif_context_free(context);
    return error;
}

} // namespace PictureKinds
