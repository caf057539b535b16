// SPDX-License-Identifier: MIT
#include "Records/CUserRecord.h"

#include "Records/CJsonFile.h"

#include <QJsonValue>

namespace {
const QString FoldersKey = QStringLiteral("folders");
const QString FolderNameKey = QStringLiteral("folder_name");
const QString PicNumberKey = QStringLiteral("pic_number");
const QString TimeKey = QStringLiteral("time");
const QString OpenTimeKey = QStringLiteral("open_time");
const QString CloseTimeKey = QStringLiteral("close_time");
const QString UploadCountKey = QStringLiteral("upload_count");
const QString FeedbackKey = QStringLiteral("feedback");

// Counts were written as numbers by the run that made them and as strings ever after.
QString countText(const QJsonValue& value)
{
    if (value.isDouble()) {
        // Converting a double outside qint64's range (1e300, inf, nan) is undefined behaviour.
        const double count = value.toDouble();
        if (!(qAbs(count) < 9.0e15))
            return QStringLiteral("0");
        return QString::number(qint64(count));
    }
    return value.toString();
}
} // namespace

void CUserRecord::AddFolder(const QString& name, const QString& count)
{
    m_folderNames.append(name);
    m_picNumbers.append(count);
}

void CUserRecord::SetTime(const QString& openTime, const QString& closeTime)
{
    m_openTime = openTime;
    m_closeTime = closeTime;
}

int CUserRecord::GetFolderCount() const
{
    return m_folderNames.size() == m_picNumbers.size() ? m_folderNames.size() : 0;
}

QJsonObject CUserRecord::toJson(Counts counts) const
{
    const QJsonObject folders = CJsonFile::numbered(GetFolderCount(), [&](int i) {
        const QJsonValue count = counts == Counts::AsNumbers ? QJsonValue(m_picNumbers.at(i).toLongLong())
                                                             : QJsonValue(m_picNumbers.at(i));
        return QJsonObject{{FolderNameKey, m_folderNames.at(i)}, {PicNumberKey, count}};
    });
    const QJsonObject time{{OpenTimeKey, m_openTime},
                           {CloseTimeKey, m_closeTime},
                           {UploadCountKey, m_uploadCount},
                           {FeedbackKey, m_feedback}};
    return QJsonObject{{FoldersKey, folders}, {TimeKey, time}};
}

CUserRecord CUserRecord::fromJson(const QJsonObject& record)
{
    CUserRecord result;
    for (const QJsonObject& folder : CJsonFile::numberedObjects(record.value(FoldersKey).toObject()))
        result.AddFolder(folder.value(FolderNameKey).toString(), countText(folder.value(PicNumberKey)));
    const QJsonObject time = record.value(TimeKey).toObject();
    result.SetTime(time.value(OpenTimeKey).toString(), time.value(CloseTimeKey).toString());
    result.SetUploadCount(time.value(UploadCountKey).toInt());
    result.SetFeedback(time.value(FeedbackKey).toString());
    return result;
}

CUserRecord CUserRecord::forRun(const QList<QPair<QString, int>>& categories, const QDateTime& openTime,
                                const QDateTime& closeTime, int uploadCount, const QString& feedback)
{
    CUserRecord record;
    for (const auto& category : categories)
        record.AddFolder(category.first, QString::number(category.second));
    record.SetTime(fileTime(openTime), fileTime(closeTime));
    record.SetUploadCount(uploadCount);
    record.SetFeedback(feedback);
    return record;
}

QString CUserRecord::fileTime(const QDateTime& time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
}
