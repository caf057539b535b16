// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <QTimer>

class QNetworkAccessManager;

// Posts "user_data.js" to the service's log endpoint once and forgets the records only when the
// service took them: the file is removed after a 2xx answer, and only if it still holds exactly
// what was sent (the main program, started again meanwhile, may have added a run). On any failure
// the file stays and goes with the next report.
//
// sigUpdateEnd() fires exactly once per post: after the answer, after a failure, or when the
// service has not answered for the stall time-out (30 s; the environment variable
// VELLORA_REPORT_TIMEOUT_MS sets another, for tests).
class QUpdateData : public QObject
{
    Q_OBJECT
public:
    explicit QUpdateData(QObject* parent = nullptr);

    // Starts the post; false (and nothing sent, no signal) when the file cannot be read.
    bool UpdateUserData(const QString& path);

    bool isFinished() const { return m_finished; }
    // Whether the service accepted the report.
    bool wasAccepted() const { return m_accepted; }

    static int stallTimeoutMs();

signals:
    void sigUpdateEnd();

public slots:
    void replyFinished(QNetworkReply* reply);
    void upLoadError(QNetworkReply::NetworkError errorCode);
    void OnUploadProgress(qint64 bytesSent, qint64 bytesTotal);

private:
    void onStalled();
    void removeIfUnchanged();

    QNetworkAccessManager* m_manager;
    QNetworkReply* m_reply = nullptr;
    QString m_path;
    bool m_finished = false;
    bool m_accepted = false;
    QByteArray m_sent;
    QTimer m_stall;
};
