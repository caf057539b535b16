// SPDX-License-Identifier: MIT
#include "Export/CExportPlan.h"

#include "CProgramFiles.h"
#include "Export/CExportNames.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

CExportPlan::CExportPlan(const QString& exportFolder, const QList<CCategory>& categories)
    : m_exportFolder(exportFolder)
{
    struct FolderNames
    {
        QSet<QString> taken;              // name keys given in this folder
        QHash<QString, int> copyOfSource; // source path -> copy index
    };
    QHash<QString, FolderNames> byFolder;

    for (int row = 0; row < categories.size(); ++row) {
        const CCategory& category = categories.at(row);
        if (category.pictures.isEmpty())
            continue;
        Page page;
        page.row = row;
        page.name = category.name;
        page.folder = categoryFolder(exportFolder, category.name);
        if (!m_folders.contains(page.folder))
            m_folders.append(page.folder);
        FolderNames& names = byFolder[page.folder];
        for (const QString& source : category.pictures) {
            Picture picture;
            const auto known = names.copyOfSource.constFind(source);
            if (known != names.copyOfSource.constEnd()) {
                picture.copy = known.value();
                picture.pictureName = QFileInfo(m_copies.at(picture.copy).target).fileName();
            } else {
                picture.pictureName = CExportNames::freeName(QFileInfo(source).fileName(), names.taken);
                names.taken.insert(CExportNames::nameKey(picture.pictureName));
                picture.copy = m_copies.size();
                names.copyOfSource.insert(source, picture.copy);
                m_copies.append({source, CProgramFiles::join(page.folder, picture.pictureName)});
            }
            page.pictures.append(picture);
        }
        m_pages.append(page);
    }
}

int CExportPlan::firstUnsafeCategory(const QList<CCategory>& categories)
{
    for (int i = 0; i < categories.size(); ++i) {
        if (!categories.at(i).pictures.isEmpty() && !CExportNames::isSafeFolderName(categories.at(i).name))
            return i;
    }
    return -1;
}

QString CExportPlan::categoryFolder(const QString& exportFolder, const QString& name)
{
    return name.isEmpty() ? exportFolder : CProgramFiles::join(exportFolder, name);
}
