// SPDX-License-Identifier: MIT
#pragma once

#include "CSelectImageData.h"

// One exported category read back from an export's "select.js": its pictures plus the export
// date, the category name and the export folder.
class CSelectPageData : public CSelectImageData
{
public:
    void SetSaveDate(const QString& date) { m_saveDate = date; }
    void SetPageName(const QString& name) { m_pageName = name; }
    void SetSavePath(const QString& path) { m_savePath = path; }
    QString GetSaveDate() const { return m_saveDate; }
    QString GetPageName() const { return m_pageName; }
    QString GetSavePath() const { return m_savePath; }

private:
    QString m_saveDate;
    QString m_pageName;
    QString m_savePath;
};
