// SPDX-License-Identifier: MIT
#include "Export/CSelectionFileWriter.h"

#include "CLogging.h"
#include "Records/CJsonFile.h"

#include <QDir>
#include <QFileInfo>

CSelectionFileWriter::CSelectionFileWriter(const QString& exportFolder)
    : m_file(CExportSelection::filePath(exportFolder))
{
    m_selection.savePath = exportFolder + QDir::separator();
}

bool CSelectionFileWriter::open()
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qCWarning(lcExport) << "open pro error" << m_file.fileName() << m_file.errorString();
        return false;
    }
    return true;
}

void CSelectionFileWriter::addPage(int row, const QString& name, const QStringList& picturePaths)
{
    CExportSelection::Page page;
    page.key = QString::number(row);
    page.name = name;
    for (const QString& path : picturePaths)
        page.pictureNames.append(QFileInfo(path).fileName());
    m_selection.pages.append(page);
}

bool CSelectionFileWriter::commit(const QDate& exportDate)
{
    m_selection.saveDate = exportDate.toString(QStringLiteral("yyyy-MM-dd"));
    return CJsonFile::commit(m_file, m_selection.toJson());
}

void CSelectionFileWriter::cancel()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
}
