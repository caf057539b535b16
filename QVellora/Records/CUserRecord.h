// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// One run of the program as "user_data.js" keeps it: the categories with their picture counts,
// when the run started and ended, how often the start page's upload button was used, and the
// survey text. Counts and times are held as text, the way they are read back from the file.
class CUserRecord
{
public:
    // How the picture counts are written: the run just ended writes numbers, records carried over
    // from an earlier file write the same counts as strings.
    enum class Counts
    {
        AsNumbers,
        AsText
    };

    void AddFolder(const QString& name, const QString& count);
    void SetTime(const QString& openTime, const QString& closeTime);
    void SetUploadCount(int count) { m_uploadCount = count; }
    void SetFeedback(const QString& feedback) { m_feedback = feedback; }

    // Only GetFolderCount has a caller; the other getters are kept as the record's named interface.
    // 0 when the two lists got out of step.
    int GetFolderCount() const;
    QString GetFolderName(int index) const { return m_folderNames.value(index); }
    QString GetPicNumber(int index) const { return m_picNumbers.value(index); }
    QString GetOpenTime() const { return m_openTime; }
    QString GetCloseTime() const { return m_closeTime; }
    int GetUploadCount() const { return m_uploadCount; }
    QString GetFeedback() const { return m_feedback; }

    // A "records" member and back. Missing fields read as empty text or 0.
    QJsonObject toJson(Counts counts) const;
    static CUserRecord fromJson(const QJsonObject& record);

    // The record of the run that is ending: one folder per category row, times in the file's form.
    static CUserRecord forRun(const QList<QPair<QString, int>>& categories, const QDateTime& openTime,
                              const QDateTime& closeTime, int uploadCount, const QString& feedback);

    // "2015-03-07T14:05:09": local time, whole seconds, no zone suffix.
    static QString fileTime(const QDateTime& time);

private:
    QStringList m_folderNames;
    QStringList m_picNumbers;
    QString m_openTime;
    QString m_closeTime;
    int m_uploadCount = 0;
    QString m_feedback;
};
