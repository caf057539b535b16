// SPDX-License-Identifier: MIT
#pragma once

#include "Selection/CCategory.h"

#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The edit page's work as "save_last.js" keeps it: every category row with its name, print
// size and pictures, where the grid's pictures came from, and every picture in the thumbnail cache.
// Plain value; building and parsing the JSON need no widgets and no files.
class CLastSession
{
public:
    // Where the grid's pictures came from ("scan_image"/"type").
    enum SourceKind
    {
        SearchResult = 0,
        ChosenFolder = 2
    };

    QList<CCategory> categories; // top row first; their colours are not kept
    int sourceKind = SearchResult;
    QString chosenFolder;    // empty when none was chosen
    QStringList cachedPaths; // thumbnail cache, in cache order

    bool operator==(const CLastSession& other) const;

    QJsonObject toJson() const;
    // Categories come back in key-text order ("0", "1", "10", "2"); missing fields read empty.
    static CLastSession fromJson(const QJsonObject& root);

    // Whole-file replace: a crash never leaves a torn file. False when it could not be written.
    bool write(const QString& path) const;
    // ok (optional) is false when the file is missing, does not parse or is JSON of another shape
    // (see hasSessionShape); the result is then empty.
    static CLastSession read(const QString& path, bool* ok = nullptr);
    // Whether every key the session uses that is present has the type the session writes, and
    // the categories are not more than MaxCategories: a file of another shape would restore as an
    // empty session and then be written over, and one of absurd size would block the window.
    static bool hasSessionShape(const QJsonObject& root);
    // More categories than anyone sorts into; a file holding more is not a session of this program.
    static constexpr int MaxCategories = 2000;

    // Restoring. A saved picture comes back by its exact saved path when its thumbnail was
    // restored (it is in cachedPaths) or, unreadable, its file is still there; a picture whose file
    // is gone does not. A saved "1.jpg" never brings back "11.jpg".
    static QStringList restorablePictures(const CCategory& category, const QStringList& cachedPaths);
    // The same with the cached paths as a set, made once for every category of a restore.
    static QStringList restorablePicturesIn(const CCategory& category, const QSet<QString>& cachedPaths);
    // The cached paths, in cache order, that lie inside folder at any depth (a saved "trip" does
    // not take in "trip2"); every cached path when folder is empty. Native separators are accepted.
    static QStringList picturesInFolder(const QStringList& cachedPaths, const QString& folder);
    // What a restored category is saved as later. saved: its pictures as the file had them;
    // shown: those that could be shown (files present); now: what its row holds now. Pictures
    // that could not be shown are never dropped: an untouched row is saved exactly as it was
    // read, a changed one as its pictures now followed by those that could not be shown.
    static QStringList keepUnshown(const QStringList& saved, const QStringList& shown,
                                   const QStringList& now);
};
