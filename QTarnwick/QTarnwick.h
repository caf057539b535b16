// SPDX-License-Identifier: MIT
#pragma once

#include "CReleaseManifest.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
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
    // Whatever arrives, the manifest must be complete within this time and the archive within
    // this time plus one second per ArchiveBytesPerSecond announced bytes (60 s unless changed;
    // VELLORA_UPDATE_DEADLINE_MS sets another).
    void setDeadline(int milliseconds);
    // An answer bringing fewer than bytesPerSecond on average over a whole window is given up
    // (1 KiB/s over a minute unless changed).
    void setRateFloor(qint64 bytesPerSecond, int windowMilliseconds);

    static constexpr qint64 MaxManifestBytes = 64 * 1024;
    static constexpr qint64 MaxArchiveBytes = qint64(1) << 30;
    static constexpr qint64 ArchiveBytesPerSecond = 100 * 1024;
    // The key releases must be signed with (base64); the build's key unless changed.
    void setReleasePublicKey(const QByteArray& publicKeyBase64);

signals:
    void finished(QTarnwick::Outcome outcome);

public slots:
    void getFinished(QNetworkReply* reply);
    void OnGetProgress(qint64 bytesReceived, qint64 bytesTotal);
    void replyFinished(QNetworkReply* reply);

private:
    QNetworkReply* get(QNetworkAccessManager* manager, const QUrl& url, const QByteArray& contentType,
                       qint64 maxBytes);
    void checkLimits(qint64 bytesReceived, qint64 bytesTotal);
    static int localVersion();
    // The body when the answer is a 2xx that arrived whole within maxBytes; otherwise empty and
    // complete false.
    QByteArray completeBody(QNetworkReply* reply, qint64 maxBytes, bool* complete);
    // Moves what arrived of the current answer into m_body; ends the answer past the cap.
    void takeBody(QNetworkReply* reply);
    bool install(const QByteArray& archive);
    bool writeVersionFile(const QString& path) const;
    void finish(Outcome outcome);

    QNetworkAccessManager* m_manifestManager;
    QNetworkAccessManager* m_archiveManager;
    QTimer* m_stallTimer;
    QTimer* m_deadlineTimer;
    QTimer* m_rateTimer;
    qint64 m_rateFloor = 1024;
    qint64 m_windowBytes = 0; // arrived in the rate timer's current window
    QByteArray m_body;        // the current answer as far as it arrived
    QElapsedTimer m_requestClock;
    QPointer<QNetworkReply> m_current;
    qint64 m_maxBytes = 0;
    qint64 m_maxArchiveBytes = MaxArchiveBytes;
    bool m_proportional = false; // the archive: its deadline grows with its announced size
    int m_deadlineMs = 60 * 1000;
    QString m_installFolder;
    CReleaseManifest m_remote;
    QByteArray m_remoteText;
    QByteArray m_publicKey;
    bool m_finished = false;
};
