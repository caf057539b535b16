// SPDX-License-Identifier: MIT
#pragma once

#include "Service/CServiceRequests.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QThreadPool>

#include <functional>
#include <memory>

class CUploadAuth;
class QNetworkAccessManager;
class QTemporaryDir;
class QNetworkReply;

// Uploads a batch of pictures to the service's storage and registers each stored picture under
// the user's ID, without widgets; the upload dialog shows what it reports.
//
// Each picture goes through three requests: an upload authorisation, the storage form upload it
// allows, and, only once the storage has accepted the file, its registration. A picture whose
// request fails, stalls longer than the stall time-out or is cancelled counts as failed. A batch
// ends when every picture has been registered or has failed; then batchFinished() is emitted once.
// One batch at a time. Interface thread only.
//
// The storage takes only PNG, JPEG, BMP and GIF: any other picture (CUploadFolder::needsConversion)
// is converted on a worker into a JPEG in a temporary folder, which is uploaded and registered
// ("image/jpeg", its own width and height) in its place and removed once its picture is done.
class CUploadClient : public QObject
{
    Q_OBJECT
public:
    explicit CUploadClient(QObject* parent = nullptr);
    ~CUploadClient() override;

    void setUserId(const QString& userId) { m_userId = userId; }
    void setStallTimeout(int milliseconds) { m_stallTimeoutMs = milliseconds; }

    // Starts a batch; false (nothing sent) for an empty list or while a batch runs.
    bool start(const QStringList& pictures);
    // Aborts every request of the running batch; its unfinished pictures count as failed and the
    // batch ends before this returns.
    void cancel();
    bool isRunning() const { return m_running; }
    // How many pictures of the latest batch were converted to JPEG for the upload.
    int convertedCount() const { return m_convertedCount; }

signals:
    // After each picture that was registered or failed.
    void progress(int finished, int total);
    void batchFinished(int uploaded, int failed);

private:
    void authorised(QNetworkReply* reply);
    void convert(const CUploadAuth& auth, const QString& path);
    void upload(const CUploadAuth& auth, const QString& path, const QString& sent);
    void stored(QNetworkReply* reply, const QString& path, const QString& sent);
    // Removes the JPEG made for path, if one was.
    void dropConverted(const QString& sent, const QString& path);
    void registered(QNetworkReply* reply);
    void finishPicture(bool uploaded);
    // Tracks the reply for cancel() and hands it to handler once it finished, if it still
    // belongs to the running batch.
    void watch(QNetworkReply* reply, std::function<void(QNetworkReply*)> handler);

    QNetworkAccessManager* m_network = nullptr;
    QList<QPointer<QNetworkReply>> m_replies;
    QStringList m_pictures;
    QMap<QString, QString> m_objectNames;
    QString m_userId;
    int m_answersHandled = 0;
    int m_finished = 0;
    int m_failed = 0;
    int m_convertedCount = 0;
    std::unique_ptr<QTemporaryDir> m_convertedFolder;
    int m_batch = 0; // tags each request, so that nothing of an earlier batch is counted again
    bool m_running = false;
    int m_stallTimeoutMs = CServiceRequests::DefaultStallTimeoutMs;
    // Last: destroyed first, so that no conversion is still running when the rest goes.
    QThreadPool m_converters;
};
