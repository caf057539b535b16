// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// The desktop's shared thumbnail cache, as the freedesktop.org Thumbnail Managing Standard lays
// it down, so that a folder opened again (by us or by a file manager) fills at once.
//
// Entries are PNG files named after the MD5 of the picture's file:// URI, carrying the URI and the
// picture's modification time (and size) in text keys; an entry counts only while those match
// the picture. We keep "x-large" (fits 512x512, never enlarged), read "x-large" and "xx-large" and,
// only when neither exists, "large" (256, slightly enlarged for the 270 tile). Pictures that
// cannot be decoded get an empty entry under "fail/vellora-<version>/" so they are not tried again.
//
// The folder is shared with every other program of the user, so nothing in it is trusted: only
// regular files of at most a few megabytes are read, entries larger than 1024 pixels on a side are
// not decoded, text chunks are inflated only so far, a size an entry claims counts only when it
// fits the thumbnail's shape, a failure entry only when we wrote it, and nothing is written
// through a link.
//
// Everything here runs on worker threads (file work and PNG decoding); the object is a value
// holding only its root, so every thread may use its own copy.
class CThumbnailCache
{
public:
    // What is known about a picture before it is decoded; an entry must match all of it.
    struct Source
    {
        QString path;
        QByteArray uri;
        qint64 mtime = -1; // whole seconds since the epoch
        qint64 size = -1;
        bool cacheable = false; // a readable file outside the cache folder
    };

    enum class State
    {
        Miss,
        Hit,
        Failed
    };
    struct Found
    {
        State state = State::Miss;
        QImage thumbnail; // fitted into the asked box, when state is Hit
        // What the entry says of the picture, when it says it (entries of other programs may not)
        // and the claim fits the thumbnail's shape; invalid otherwise.
        QSize uprightSize;
        QDateTime captureTime;
        bool timeFromExif = false;
        // The picture's sharpness score when the entry names it (CSharpness::none: it has none),
        // and the entry's picture as stored, to work it out from when the entry does not.
        std::optional<qreal> sharpness;
        QImage stored;
    };

    explicit CThumbnailCache(const QString& root);

    // $XDG_CACHE_HOME/thumbnails when that variable is set and not blank, else
    // ~/.cache/thumbnails.
    static QString standardRoot();

    // The switch every loader follows (the settings menu), and the folder it uses (the standard
    // one unless a test or benchmark names another). Both may be changed from any thread; a
    // loader reads them when a run starts.
    static void setEnabled(bool on);
    static bool isEnabled();
    static void setRootOverride(const QString& root);
    // The cache a loader run starting now uses: none when switched off.
    static std::optional<CThumbnailCache> forLoaders();

    // The picture's URI as the standard names it: "file://" and the absolute path, UTF-8, with
    // everything outside RFC 2396's path characters percent-encoded (upper-case hex).
    static QByteArray fileUri(const QString& absolutePath);
    // The entry's file name: the MD5 of the URI in lower-case hex, and ".png".
    static QString entryName(const QString& absolutePath);
    // The largest thumbnail this class writes ("x-large").
    static QSize keptBox() { return QSize(512, 512); }

    QString root() const { return m_root; }
    // The entry of a picture in one size folder ("x-large", ...) or in our failure folder.
    QString entryPath(const QString& sizeFolder, const QString& absolutePath) const;
    QString failurePath(const QString& absolutePath) const;

    // Stats the picture; call before decoding it, so a change while decoding shows next time.
    Source source(const QString& path) const;

    // The matching thumbnail fitted into box (exactly uprightSize.scaled(box) when the entry
    // names the picture's size), a matching failure entry, or a miss.
    Found find(const Source& source, const QSize& box) const;

    // Writes the entry for a decoded picture: kept is the picture upright, fitted into keptBox();
    // uprightSize the picture's own size; captureTime, when valid, when it was taken (from its
    // EXIF block or not, as timeFromExif says), so that a hit need not open the picture again;
    // the same for sharpness, when given. A failed write only loses the entry.
    bool store(const Source& source, const QImage& kept, const QSize& uprightSize,
               const QDateTime& captureTime = QDateTime(), bool timeFromExif = false,
               std::optional<qreal> sharpness = std::nullopt) const;
    bool storeFailure(const Source& source) const;

private:
    bool writeEntry(const QString& sizeFolder, const QString& file, const QImage& image, const Source& source,
                    const QSize& uprightSize, const QDateTime& captureTime, bool timeFromExif, bool failure,
                    std::optional<qreal> sharpness) const;
    bool makeFolder(const QString& folder) const;

    QString m_root;
    QString m_canonicalRoot; // empty while the folder does not exist
};
