// SPDX-License-Identifier: MIT
#pragma once

#include "Selection/CCategory.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// What an export will do, worked out before anything is touched: the sub-folders to create and
// every copy with its target name.
//
// Within one target folder a picture keeps its file name unless a different picture of this
// export already took it; the later one then gets a free name ("IMG_0001 (2).jpg"). The same
// picture met twice in one folder (two categories of the same name) is copied once. Files already
// in the folder do not count: re-exporting overwrites them, as it always has.
class CExportPlan
{
public:
    struct Copy
    {
        QString source;
        QString target;
    };
    struct Picture
    {
        int copy = -1;       // index into copies()
        QString pictureName; // the name in the sub-folder, as "select.js" lists it
    };
    struct Page
    {
        int row = 0;
        QString name;
        QString folder;
        QList<Picture> pictures;
    };

    CExportPlan() = default;
    // exportFolder: as the folder dialog returned it. A category's row (its key in "select.js") is
    // its place in the list; categories without pictures are left out but keep their rows.
    CExportPlan(const QString& exportFolder, const QList<CCategory>& categories);

    // The index of the first category whose name cannot be a folder name, or -1.
    static int firstUnsafeCategory(const QList<CCategory>& categories);
    // The sub-folder of a category (the export folder itself for the empty name).
    static QString categoryFolder(const QString& exportFolder, const QString& name);

    QString exportFolder() const { return m_exportFolder; }
    // Distinct sub-folders in category order.
    QStringList folders() const { return m_folders; }
    const QList<Page>& pages() const { return m_pages; }
    const QList<Copy>& copies() const { return m_copies; }

private:
    QString m_exportFolder;
    QStringList m_folders;
    QList<Page> m_pages;
    QList<Copy> m_copies;
};

// How an export ended.
struct CExportResult
{
    enum Outcome
    {
        Done,
        SelectionNotWritable, // "select.js" could not be opened or written
        FolderNotCreated,     // a category's sub-folder could not be created; nothing was copied
        Stopped
    };
    Outcome outcome = Stopped;
    QString exportFolder;    // as the folder dialog returned it
    QString problemCategory; // FolderNotCreated: the category's name
    QStringList folders;     // Done: the category sub-folders, in order
    int copied = 0;          // pictures copied
    QStringList failedNames; // file names of the pictures that could not be copied, in order
};
Q_DECLARE_METATYPE(CExportResult)
