// SPDX-License-Identifier: MIT
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// The content of an export's "select.js": which categories went into which sub-folder, with the
// file names of their pictures, the export date and the export folder.
//
// "page" members are keyed by the category's row on the category page, so rows without pictures
// leave gaps; readers list them in the order their keys sort as text.
class CExportSelection
{
public:
    struct Page
    {
        QString key;              // the row number as text
        QString name;             // category name, also the name of its sub-folder
        QStringList pictureNames; // file names only, in the category's order
    };

    static QString fileName() { return QStringLiteral("select.js"); }
    // The selection file of an export folder (as the folder dialog returned it).
    static QString filePath(const QString& exportFolder);
    // Where an exported picture lies: export folder, category name, file name.
    static QString picturePath(const QString& exportFolder, const QString& pageName,
                               const QString& pictureName);

    QString saveDate; // "yyyy-MM-dd"
    QString savePath; // the export folder with one separator appended
    QList<Page> pages;

    QJsonObject toJson() const;
    // Pages and pictures whose names are "." or "..", or hold a separator, are left out:
    // each name must stay one path segment inside the export folder.
    static CExportSelection fromJson(const QJsonObject& object);

    // Reads an export folder's selection file; ok tells whether one was found and parsed.
    static CExportSelection read(const QString& exportFolder, bool* ok = nullptr);
};
