// SPDX-License-Identifier: MIT
#pragma once

#include "CReleaseManifest.h"

#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// The updater: compares the published version manifest with the installation's own, downloads
// the release archive when the published number is higher, checks it and installs it over the
// installation (the folder of this program). Runs unattended, shows nothing and always reports
// finished exactly once: after deciding not to update, after installing, after any failure.
class QTarnwick : public QObject
{
    Q_OBJECT
public:
    enum class Outcome
    {
        UpToDate,
        Installed,
        Failed
    };
    Q_ENUM(Outcome)

    explicit QTarnwick(QObject* parent = nullptr);

    void RequestVersion();

    // A request that receives no byte for this long is given up (30 s unless changed).
    void setStallTimeout(int milliseconds);
    // The key releases must be signed with (base64); the build's key unless changed.
    void setReleasePublicKey(const QByteArray& publicKeyBase64);

signals:
    void finished(QTarnwick::Outcome outcome);

public slots:
    void getFinished(QNetworkReply* reply);
    void OnGetProgress(qint64 bytesReceived, qint64 bytesTotal);
    void replyFinished(QNetworkReply* reply);

private:
    QNetworkReply* get(QNetworkAccessManager* manager, const QUrl& url, const QByteArray& contentType);
    // The body when the answer is a 2xx that arrived whole; otherwise empty and complete false.
    static QByteArray completeBody(QNetworkReply* reply, bool* complete);
    bool install(const QByteArray& archive);
    void finish(Outcome outcome);

    QNetworkAccessManager* m_manifestManager;
    QNetworkAccessManager* m_archiveManager;
    QTimer* m_stallTimer;
    QString m_installFolder;
    CReleaseManifest m_remote;
    QByteArray m_publicKey;
    bool m_finished = false;
};
