// SPDX-License-Identifier: MIT
#include "Pictures/CHeifReading.h"

#include "CLogging.h"

#include "Pictures/CDecodeBudget.h"
#include "Pictures/CImageReading.h"
#include "Pictures/CPictureFile.h"

#include <QFile>

#include <libheif/heif.h>

#include <memory>

namespace {

// libheif counts its users; it is entered once for the whole run and never left, so that an
// image plugin in the same process that enters and leaves it cannot unload its decoders.
void enterLibheif()
{
    static const bool entered = [] {
        heif_init(nullptr);
        return true;
    }();
    Q_UNUSED(entered);
}

struct ContextFree
{
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease
{
    void operator()(const heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease
{
    void operator()(const heif_image* image) const { heif_image_release(image); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<const heif_image_handle, HandleRelease>;
using Image = std::unique_ptr<const heif_image, ImageRelease>;

bool failed(const heif_error& error, const QString& path)
{
    if (error.code == heif_error_Ok)
        return false;
    qCDebug(lcThumbnails) << "libheif cannot read" << path << error.message;
    return true;
}

// Whether the primary picture, as large as it claims to be, may be decoded: its RGB pixels and
// the decoder's planes.
bool withinBudget(const QSize& claimed)
{
    return qint64(claimed.width()) * claimed.height() <= CDecodeBudget::maxDecodePixels();
}

qint64 decodeCost(const QSize& claimed)
{
    return qint64(claimed.width()) * claimed.height() * 8;
}

Context openFile(const QString& path)
{
    enterLibheif();
    // libheif opens by name: only a regular file is handed to it.
    {
        QFile check;
        if (!CPictureFile::open(check, path))
            return {};
    }
    Context context(heif_context_alloc());
    if (failed(heif_context_read_from_file(context.get(), QFile::encodeName(path).constData(), nullptr),
               path))
        return {};
    return context;
}

Handle primaryOf(heif_context* context, const QString& path)
{
    heif_image_handle* handle = nullptr;
    if (failed(heif_context_get_primary_image_handle(context, &handle), path))
        return {};
    return Handle(handle);
}

// Sizes a handle reports are those after its rotation, so they are the upright sizes.
QSize sizeOf(const heif_image_handle* handle)
{
    return QSize(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
}

// The largest embedded thumbnail of the primary picture, or none.
Handle largestThumbnail(const heif_image_handle* primary, const QString& path)
{
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0)
        return {};
    std::unique_ptr<heif_item_id[]> ids(new heif_item_id[count]);
    const int listed = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.get(), count);
    Handle best;
    for (int i = 0; i < listed; ++i) {
        heif_image_handle* thumbnail = nullptr;
        if (failed(heif_image_handle_get_thumbnail(primary, ids[i], &thumbnail), path))
            continue;
        Handle candidate(thumbnail);
        const QSize size = sizeOf(candidate.get());
        if (!best || size.width() * qint64(size.height()) >
                         sizeOf(best.get()).width() * qint64(sizeOf(best.get()).height()))
            best = std::move(candidate);
    }
    return best;
}

// Decodes with the handle's rotation, mirroring and crop applied (libheif's default).
QImage decode(const heif_image_handle* handle, const QString& path)
{
    const bool alpha = heif_image_handle_has_alpha_channel(handle);
    // 10-bit pictures (HDR phone shots) come out as 8-bit RGB like the others.
    std::unique_ptr<heif_decoding_options, void (*)(heif_decoding_options*)> options(
        heif_decoding_options_alloc(), heif_decoding_options_free);
    options->convert_hdr_to_8bit = 1;
    heif_image* decoded = nullptr;
    if (failed(heif_decode_image(handle, &decoded, heif_colorspace_RGB,
                                 alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                                 options.get()),
               path))
        return {};
    const Image image(decoded);
    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    int stride = 0;
    const uint8_t* pixels = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    if (!pixels || width <= 0 || height <= 0)
        return {};
    // The plane goes with the decoded image: the QImage made over it is copied before that.
    return QImage(pixels, width, height, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888)
        .copy();
}

// The first EXIF block of the picture, as libheif holds it (led by a 4-byte offset); empty when
// there is none or it is implausibly large.
QByteArray exifOf(const heif_image_handle* handle)
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) != 1)
        return {};
    const size_t size = heif_image_handle_get_metadata_size(handle, id);
    if (size == 0 || size > 1024 * 1024)
        return {};
    QByteArray block(int(size), Qt::Uninitialized);
    if (heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok)
        return {};
    return block;
}

} // namespace

bool CHeifReading::isHeif(const QString& path)
{
    QFile file;
    if (!CPictureFile::open(file, path))
        return false;
    const QByteArray head = file.read(64);
    return heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()), head.size()) ==
           heif_filetype_yes_supported;
}

QImage CHeifReading::thumbnail(const QString& path, const QSize& box, Source* source, Details* details)
{
    if (source)
        *source = Source::None;
    const Context context = openFile(path);
    if (!context)
        return {};
    const Handle primary = primaryOf(context.get(), path);
    if (!primary)
        return {};
    const QSize upright = sizeOf(primary.get());
    if (upright.isEmpty())
        return {};
    QSize target = CImageReading::fittedSize(upright, box);
    if (details) {
        details->uprightSize = upright;
        details->exif = exifOf(primary.get());
    }

    QImage picture;
    const Handle embedded = largestThumbnail(primary.get(), path);
    if (embedded) {
        // A thumbnail turned differently from the picture (its rotation missing) is not used.
        const QSize size = sizeOf(embedded.get());
        const bool sameTurn = (size.width() >= size.height()) == (upright.width() >= upright.height());
        if (sameTurn && size.width() >= target.width() && size.height() >= target.height()) {
            picture = decode(embedded.get(), path);
            if (!picture.isNull() && source)
                *source = Source::Embedded;
        }
    }
    if (picture.isNull()) {
        if (!withinBudget(upright)) {
            if (details)
                details->refusal = CImageReading::tooLargeText(upright);
            return {};
        }
        {
            const CDecodeBudget::Lease lease(decodeCost(upright));
            picture = decode(primary.get(), path);
        }
        if (picture.isNull())
            return {};
        if (source)
            *source = Source::Primary;
        // The size the file claims may be false; the decoded picture is what there is.
        if (picture.size() != upright) {
            if (details)
                details->uprightSize = picture.size();
            target = CImageReading::fittedSize(picture.size(), box);
        }
    }
    return picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage CHeifReading::readUpright(const QString& path, QString* refusal)
{
    if (refusal)
        refusal->clear();
    const Context context = openFile(path);
    if (!context)
        return {};
    const Handle primary = primaryOf(context.get(), path);
    if (!primary)
        return {};
    const QSize claimed = sizeOf(primary.get());
    if (!withinBudget(claimed)) {
        if (refusal)
            *refusal = CImageReading::tooLargeText(claimed);
        return {};
    }
    const CDecodeBudget::Lease lease(decodeCost(claimed));
    return decode(primary.get(), path);
}

QSize CHeifReading::uprightSizeOf(const QString& path)
{
    const Context context = openFile(path);
    if (!context)
        return {};
    const Handle primary = primaryOf(context.get(), path);
    return primary ? sizeOf(primary.get()) : QSize();
}
