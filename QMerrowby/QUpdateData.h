// SPDX-License-Identifier: MIT
#pragma once

#include "CUsageClaim.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QScopedPointer>
#include <QString>
#include <QTimer>

class QNetworkAccessManager;

// Posts "user_data.js" to the service's log endpoint once and forgets the records only when the
// service took them (a 2xx answer). The file is claimed (CUsageClaim) before it is read, so runs
// the main program records meanwhile are never deleted with it; on any failure the claimed records
// are given back and go with the next report.
//
// sigUpdateEnd() fires exactly once per post: after the answer, after a failure, when the service
// has sent or taken nothing for the stall time-out (30 s; VELLORA_REPORT_TIMEOUT_MS), or when the
// whole exchange has taken longer than the deadline (60 s; VELLORA_REPORT_DEADLINE_MS). An answer
// longer than 64 KiB is cut off and counts as a failure.
class QUpdateData : public QObject
{
    Q_OBJECT
public:
    explicit QUpdateData(QObject* parent = nullptr);

    // Starts the post; false (and nothing sent, no signal) when the file cannot be read.
    bool UpdateUserData(const QString& path);

    // Ends a post under way as a failure (the records are given back); sigUpdateEnd follows.
    void stop();

    static int stallTimeoutMs();
    static int deadlineMs();
    static constexpr qint64 MaxAnswerBytes = 64 * 1024;

signals:
    void sigUpdateEnd();

public slots:
    void replyFinished(QNetworkReply* reply);
    void upLoadError(QNetworkReply::NetworkError errorCode);
    void OnUploadProgress(qint64 bytesSent, qint64 bytesTotal);

private:
    void giveUp(const QString& why);
    // Moves what arrived of the answer into m_answer; gives up past MaxAnswerBytes.
    void takeAnswer();

    QNetworkAccessManager* m_manager;
    QNetworkReply* m_reply = nullptr;
    QByteArray m_answer; // the answer as far as it arrived, at most MaxAnswerBytes + 1
    QString m_path;
    QScopedPointer<CUsageClaim> m_claim;
    QTimer m_stall;
    QTimer m_deadline;
};
