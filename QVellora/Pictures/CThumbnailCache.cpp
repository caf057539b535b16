// SPDX-License-Identifier: MIT
#include "Pictures/CThumbnailCache.h"

#include "CFileCopy.h"
#include "CLogging.h"

#include "Pictures/CImageReading.h"
#include "Pictures/CPictureFile.h"
#include "Pictures/CPngText.h"
#include "Pictures/CPngWriter.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMutex>
#include <QTemporaryFile>
#include <QtEndian>

#ifndef VELLORA_VERSION
#define VELLORA_VERSION "0"
#endif

namespace {

QAtomicInt enabledFlag(1);
QMutex rootMutex;
QString rootOverride; // guarded by rootMutex

const QString largerFolders[] = {QStringLiteral("x-large"), QStringLiteral("xx-large")};
const QString failureFolder = QStringLiteral("fail/vellora-" VELLORA_VERSION);
// Our own keys ("X-" as the standard asks): when the picture was taken, and from where.
const QByteArray captureTimeKey("X-Vellora::CaptureTime");
const QByteArray captureFromKey("X-Vellora::CaptureFrom");
const QByteArray failureKey("X-Vellora::Failed");
const QString writerName = QStringLiteral("Vellora");

// The standard's largest thumbnails ("xx-large") fit 1024x1024; an entry of 1024x1024 RGBA
// pixels stored without compression stays well under this many bytes.
constexpr qint64 maxEntryBytes = 8 << 20;
constexpr int maxEntrySide = 1024;
// No photo is larger than this on a side; a claim beyond it is no size at all.
constexpr int maxClaimedSide = 1 << 20;
// The picture's sharpness score, or "none" for a picture that has none.
const QByteArray sharpnessKey("X-Vellora::Sharpness");

QByteArray keyText(qint64 value)
{
    return QByteArray::number(value);
}

// Thumb::MTime is whole seconds; a writer that added a fraction still names the same second.
qint64 parseSeconds(const QString& text)
{
    bool ok = false;
    const qint64 whole = text.toLongLong(&ok);
    if (ok)
        return whole;
    const double seconds = text.toDouble(&ok);
    return ok ? static_cast<qint64>(seconds) : -1;
}

bool entryMatches(const QHash<QByteArray, QString>& keys, const CThumbnailCache::Source& source)
{
    if (keys.value("Thumb::URI").toUtf8() != source.uri ||
        parseSeconds(keys.value("Thumb::MTime")) != source.mtime)
        return false;
    // Optional, but when present it tells apart files rewritten within the same second.
    const QString size = keys.value("Thumb::Size");
    return size.isEmpty() || size.toLongLong() == source.size;
}

// An entry file read whole, with the keys written before its pixels (as writers that follow the
// standard put them; an entry with its keys after the pixels counts as stale and is replaced).
struct Entry
{
    bool exists = false;
    QByteArray bytes;
    QHash<QByteArray, QString> keys;
};

// Entries are read only from regular files and only up to maxEntryBytes: a pipe or a link to a
// device in the cache folder must neither block a loader nor feed it without end. An entry too
// large for a thumbnail counts as existing but matches nothing.
Entry readEntry(const QString& file)
{
    Entry entry;
    if (!QFileInfo::exists(file))
        return entry;
    entry.exists = true;
    bool whole = false;
    const QByteArray bytes = CPictureFile::readHead(file, maxEntryBytes, &whole);
    if (!whole)
        return entry;
    entry.bytes = bytes;
    entry.keys = CPngText::read(entry.bytes);
    return entry;
}

// The size in the PNG header of an entry, before any pixel is decoded; invalid when the bytes do
// not start with a PNG header.
QSize pngSize(const QByteArray& png)
{
    if (png.size() < 24 || png.mid(12, 4) != "IHDR")
        return {};
    return QSize(int(qMin<quint32>(qFromBigEndian<quint32>(png.constData() + 16), INT_MAX)),
                 int(qMin<quint32>(qFromBigEndian<quint32>(png.constData() + 20), INT_MAX)));
}

// The picture's size as the entry claims it, when the claim is a size at all and fits the
// thumbnail's shape either way round (other programs may name the size before the picture's
// turn); invalid otherwise, and then the picture's own header is read instead.
QSize claimedSize(const QHash<QByteArray, QString>& keys, const QSize& thumbnail)
{
    bool widthOk = false;
    bool heightOk = false;
    const QSize claim(keys.value("Thumb::Image::Width").trimmed().toInt(&widthOk),
                      keys.value("Thumb::Image::Height").trimmed().toInt(&heightOk));
    if (!widthOk || !heightOk || claim.isEmpty() || claim.width() > maxClaimedSide ||
        claim.height() > maxClaimedSide)
        return {};
    // A thumbnail is never larger than its picture, and has its shape to within rounding.
    const auto fits = [&thumbnail](const QSize& size) {
        if (thumbnail.width() > size.width() + 1 || thumbnail.height() > size.height() + 1)
            return false;
        const QSize shape = size.scaled(thumbnail, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        return qAbs(shape.width() - thumbnail.width()) <= 1 && qAbs(shape.height() - thumbnail.height()) <= 1;
    };
    const bool sameTurn = (claim.width() >= claim.height()) == (thumbnail.width() >= thumbnail.height());
    const QSize upright = sameTurn ? claim : claim.transposed();
    return fits(upright) ? upright : QSize();
}

// The cached picture fitted into box. When the entry names the picture's own size (checked
// against the entry's shape), the tile gets exactly the size a decode of the picture gives.
QImage fitted(const QImage& image, const QSize& original, const QSize& box)
{
    const QSize target = CImageReading::fittedSize(original.isValid() ? original : image.size(), box);
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

CThumbnailCache::CThumbnailCache(const QString& root)
    : m_root(QDir::cleanPath(QDir(root).absolutePath())),
      m_canonicalRoot(QFileInfo(m_root).canonicalFilePath())
{
}

QString CThumbnailCache::standardRoot()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME").trimmed();
    if (base.isEmpty())
        base = QDir::home().filePath(QStringLiteral(".cache"));
    return QDir::cleanPath(base + QStringLiteral("/thumbnails"));
}

void CThumbnailCache::setEnabled(bool on)
{
    enabledFlag.storeRelease(on ? 1 : 0);
}

bool CThumbnailCache::isEnabled()
{
    return enabledFlag.loadAcquire() != 0;
}

void CThumbnailCache::setRootOverride(const QString& root)
{
    QMutexLocker lock(&rootMutex);
    rootOverride = root;
}

std::optional<CThumbnailCache> CThumbnailCache::forLoaders()
{
    if (!isEnabled())
        return std::nullopt;
    QString root;
    {
        QMutexLocker lock(&rootMutex);
        root = rootOverride;
    }
    return CThumbnailCache(root.isEmpty() ? standardRoot() : root);
}

QByteArray CThumbnailCache::fileUri(const QString& absolutePath)
{
    // RFC 2396 path characters: unreserved (alphanumerics and -_.!~*'()) and / : @ & = + $ ,
    static const QByteArray kept = QByteArrayLiteral("-_.!~*'()/:@&=+$,");
    QString path = QDir::fromNativeSeparators(absolutePath);
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/')); // "C:/x" becomes file:///C:/x
    const QByteArray bytes = path.toUtf8();
    QByteArray uri = QByteArrayLiteral("file://");
    uri.reserve(uri.size() + bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
            kept.contains(c)) {
            uri.append(c);
        } else {
            uri.append('%');
            uri.append("0123456789ABCDEF"[byte >> 4]);
            uri.append("0123456789ABCDEF"[byte & 0xF]);
        }
    }
    return uri;
}

QString CThumbnailCache::entryName(const QString& absolutePath)
{
    return QString::fromLatin1(
               QCryptographicHash::hash(fileUri(absolutePath), QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

QString CThumbnailCache::entryPath(const QString& sizeFolder, const QString& absolutePath) const
{
    return m_root + QLatin1Char('/') + sizeFolder + QLatin1Char('/') + entryName(absolutePath);
}

QString CThumbnailCache::failurePath(const QString& absolutePath) const
{
    return entryPath(failureFolder, absolutePath);
}

CThumbnailCache::Source CThumbnailCache::source(const QString& path) const
{
    Source source;
    const QFileInfo info(path);
    source.path = QDir::cleanPath(info.absoluteFilePath());
    if (!info.isFile() || !info.isReadable())
        return source;
    source.uri = fileUri(source.path);
    source.mtime = info.lastModified().toSecsSinceEpoch();
    source.size = info.size();
    // Thumbnails of thumbnails would only fill the cache with copies of itself.
    const QString canonical = info.canonicalFilePath();
    const auto inside = [](const QString& file, const QString& folder) {
        return !folder.isEmpty() && file.startsWith(folder + QLatin1Char('/'));
    };
    source.cacheable = !inside(source.path, m_root) && !inside(canonical, m_canonicalRoot);
    return source;
}

CThumbnailCache::Found CThumbnailCache::find(const Source& source, const QSize& box) const
{
    Found found;
    if (!source.cacheable)
        return found;

    auto tryEntry = [&](const QString& file, bool* exists) {
        const Entry entry = readEntry(file);
        *exists = *exists || entry.exists;
        if (!entry.exists || !entryMatches(entry.keys, source))
            return false;
        // No thumbnail is larger than the standard's largest: a bigger entry is not decoded.
        const QSize stored = pngSize(entry.bytes);
        if (stored.isEmpty() || stored.width() > maxEntrySide || stored.height() > maxEntrySide)
            return false;
        QImage image;
        if (!image.loadFromData(entry.bytes, "PNG") || image.size() != stored)
            return false;
        const QSize original = claimedSize(entry.keys, image.size());
        found.state = State::Hit;
        found.thumbnail = fitted(image, original, box);
        found.uprightSize = original;
        bool timeOk = false;
        const qint64 seconds = entry.keys.value(captureTimeKey).toLongLong(&timeOk);
        if (timeOk) {
            found.captureTime = QDateTime::fromSecsSinceEpoch(seconds);
            found.timeFromExif = entry.keys.value(captureFromKey) == QLatin1String("exif");
        }
        const QString sharpness = entry.keys.value(sharpnessKey);
        bool scoreOk = false;
        const qreal score = sharpness.toDouble(&scoreOk);
        if (sharpness == QLatin1String("none"))
            found.sharpness = -1;
        else if (scoreOk && score >= 0 && score <= 100)
            found.sharpness = score;
        found.stored = image;
        return true;
    };

    bool largerExists = false;
    for (const QString& folder : largerFolders) {
        if (tryEntry(entryPath(folder, source.path), &largerExists))
            return found;
    }
    // "large" is a little small for our tiles: only when nothing larger was ever made.
    bool unused = false;
    if (!largerExists && tryEntry(entryPath(QStringLiteral("large"), source.path), &unused))
        return found;

    // Only a failure we wrote ourselves for this very file counts: an entry another program put
    // there would otherwise hide a good picture for good.
    const Entry failure = readEntry(failurePath(source.path));
    if (failure.exists && entryMatches(failure.keys, source) &&
        failure.keys.value("Software") == writerName && failure.keys.value(failureKey) == QLatin1String("1"))
        found.state = State::Failed;
    return found;
}

bool CThumbnailCache::store(const Source& source, const QImage& kept, const QSize& uprightSize,
                            const QDateTime& captureTime, bool timeFromExif,
                            std::optional<qreal> sharpness) const
{
    if (!source.cacheable || kept.isNull())
        return false;
    return writeEntry(largerFolders[0], entryName(source.path), kept, source, uprightSize, captureTime,
                      timeFromExif, false, sharpness);
}

bool CThumbnailCache::storeFailure(const Source& source) const
{
    // Only pictures fail: a text file beside the photos is no thumbnail that went wrong.
    static const QList<QByteArray> pictureSuffixes = QImageReader::supportedImageFormats();
    const QByteArray suffix = QFileInfo(source.path).suffix().toLower().toUtf8();
    if (!source.cacheable || !pictureSuffixes.contains(suffix))
        return false;
    QImage empty(1, 1, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    return writeEntry(failureFolder, entryName(source.path), empty, source, QSize(), QDateTime(), false, true,
                      std::nullopt);
}

bool CThumbnailCache::writeEntry(const QString& sizeFolder, const QString& file, const QImage& image,
                                 const Source& source, const QSize& uprightSize, const QDateTime& captureTime,
                                 bool timeFromExif, bool failure, std::optional<qreal> sharpness) const
{
    const QString folder = m_root + QLatin1Char('/') + sizeFolder;
    if (!makeFolder(folder))
        return false;

    // Written beside the entry and renamed over it: a reader, or another program writing the same
    // entry, only ever sees a whole file. Unlike QSaveFile, no disk sync: an entry lost in a
    // crash is only made again, and a sync per picture would hold up every first look at a folder.
    const QString target = folder + QLatin1Char('/') + file;
    QTemporaryFile out(target + QStringLiteral(".XXXXXX"));
    if (!out.open()) {
        qCDebug(lcThumbnails) << "thumbnail cache: cannot write in" << folder;
        return false;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    CPngWriter::Texts keys{{"Thumb::URI", source.uri},
                           {"Thumb::MTime", keyText(source.mtime)},
                           {"Thumb::Size", keyText(source.size)}};
    if (uprightSize.isValid()) {
        keys.append({"Thumb::Image::Width", keyText(uprightSize.width())});
        keys.append({"Thumb::Image::Height", keyText(uprightSize.height())});
    }
    if (captureTime.isValid()) {
        keys.append({captureTimeKey, keyText(captureTime.toSecsSinceEpoch())});
        keys.append({captureFromKey, timeFromExif ? QByteArray("exif") : QByteArray("file")});
    }
    if (failure)
        keys.append({failureKey, QByteArray("1")});
    if (sharpness)
        keys.append(
            {sharpnessKey, *sharpness < 0 ? QByteArray("none") : QByteArray::number(*sharpness, 'f', 2)});
    keys.append({QByteArray("Software"), writerName.toUtf8()});
    if (!CPngWriter::write(&out, image, keys) || !out.flush())
        return false;
    out.close(); // Windows renames no open file
    if (!renameFileOver(out.fileName(), target))
        return false;
    out.setAutoRemove(false);
    return true;
}

bool CThumbnailCache::makeFolder(const QString& folder) const
{
    // Every level below the root must be a folder of its own: an entry written through a link
    // would land wherever the link points.
    const auto isOwnFolder = [](const QString& path) {
        const QFileInfo level(path);
        return level.isDir() && !level.isSymLink();
    };
    // The cache home itself is not ours to restrict; every folder from the root down is.
    if (!QDir().mkpath(QFileInfo(m_root).absolutePath()))
        return false;
    const QString relative = QDir(m_root).relativeFilePath(folder);
    QString level = m_root;
    const QStringList parts = QStringList{QString()} + relative.split(QLatin1Char('/'));
    for (const QString& part : parts) {
        if (!part.isEmpty())
            level += QLatin1Char('/') + part;
        if (part.isEmpty() ? QFileInfo(level).isDir() : isOwnFolder(level))
            continue;
        if (QFileInfo(level).isSymLink()) {
            qCDebug(lcThumbnails) << "thumbnail cache: not writing through the link" << level;
            return false;
        }
        // Another loader may create it at the same moment: what counts is that it exists. Only
        // a folder made here is restricted; one made by another program keeps its own rights.
        if (QDir().mkdir(level))
            QFile::setPermissions(level,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        else if (!isOwnFolder(level))
            return false;
    }
    return true;
}
