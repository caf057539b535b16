// SPDX-License-Identifier: MIT
#include "QUpdateData.h"

#include "CLogging.h"
#include "CUsageReport.h"

#include <QFile>
#include <QNetworkAccessManager>

#include <csignal>

namespace {
int fromEnvironment(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    // Unset, not a number, 0 or below: the default, never a time-out that fires at once.
    return ok && value > 0 ? value : fallback;
}
} // namespace

QUpdateData::QUpdateData(QObject* parent) : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    connect(m_manager, &QNetworkAccessManager::finished, this, &QUpdateData::replyFinished);
    m_stall.setSingleShot(true);
    m_stall.setInterval(stallTimeoutMs());
    connect(&m_stall, &QTimer::timeout, this,
            [this] { giveUp(QStringLiteral("no answer within %1 ms").arg(m_stall.interval())); });
    // A service trickling a byte now and then restarts the stall clock every time; this one not.
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(deadlineMs());
    connect(&m_deadline, &QTimer::timeout, this,
            [this] { giveUp(QStringLiteral("no complete answer within %1 ms").arg(m_deadline.interval())); });
}

int QUpdateData::stallTimeoutMs()
{
    return fromEnvironment("VELLORA_REPORT_TIMEOUT_MS", 30000);
}

int QUpdateData::deadlineMs()
{
    return fromEnvironment("VELLORA_REPORT_DEADLINE_MS", 60000);
}

bool QUpdateData::UpdateUserData(const QString& path)
{
    m_path = path;
    m_claim.reset(new CUsageClaim(path));
    QByteArray content;
    if (!m_claim->claim(&content)) {
        qCDebug(lcReporter) << "no usage file" << path;
        return false;
    }
    m_reply = CUsageReport::post(m_manager, content);
    connect(m_reply, &QNetworkReply::errorOccurred, this, &QUpdateData::upLoadError);
    connect(m_reply, &QNetworkReply::uploadProgress, this, &QUpdateData::OnUploadProgress);
    // Any sign of life from the service restarts the stall clock. The answer is taken as it comes
    // (Qt holds little of it unread, and reports progress only now and then), and given up past
    // the cap.
    m_answer.clear();
    m_reply->setReadBufferSize(2 * MaxAnswerBytes);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this] { m_stall.start(); });
    connect(m_reply, &QNetworkReply::readyRead, this, &QUpdateData::takeAnswer);
    m_stall.start();
    m_deadline.start();
    return true;
}

void QUpdateData::replyFinished(QNetworkReply* reply)
{
    m_stall.stop();
    m_deadline.stop();
    // An aborted reply is closed already.
    if (reply == m_reply)
        takeAnswer();
    const QByteArray answer = std::exchange(m_answer, QByteArray());
    qCDebug(lcReporter) << "repay finished" << answer;
    // An answer cut short by its length is no answer, even when it began as a success.
    const bool accepted =
        CUsageReport::accepted(reply) && answer.size() <= MaxAnswerBytes && !reply->bytesAvailable();
    if (accepted) {
        // For tests: stops the reporter right before it forgets the records, so that a run
        // recorded at that very moment can be written.
#ifdef SIGSTOP
        if (qEnvironmentVariableIsSet("VELLORA_REPORT_STOP_BEFORE_FORGET"))
            std::raise(SIGSTOP);
#endif
        m_claim->forget();
    } else {
        qCDebug(lcReporter) << "report not accepted, records kept:" << reply->error()
                            << reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        m_claim->giveBack();
    }
    reply->deleteLater();
    if (reply == m_reply)
        m_reply = nullptr;
    emit sigUpdateEnd();
}

void QUpdateData::takeAnswer()
{
    if (!m_reply || !m_reply->isOpen())
        return;
    m_stall.start();
    m_answer.append(m_reply->read(MaxAnswerBytes + 1 - m_answer.size()));
    if (m_answer.size() > MaxAnswerBytes)
        giveUp(QStringLiteral("the answer is longer than %1 bytes").arg(MaxAnswerBytes));
}

void QUpdateData::upLoadError(QNetworkReply::NetworkError errorCode)
{
    qCDebug(lcReporter) << "repay upLoadError" << errorCode;
}

void QUpdateData::OnUploadProgress(qint64 bytesSent, qint64 bytesTotal)
{
    qCDebug(lcReporter) << "repay OnUploadProgress" << bytesSent << bytesTotal;
    m_stall.start();
}

void QUpdateData::stop()
{
    giveUp(QStringLiteral("asked to end"));
}

void QUpdateData::giveUp(const QString& why)
{
    qCDebug(lcReporter).noquote() << why << "- giving up";
    // Aborting finishes the reply with an error; replyFinished gives the records back and ends.
    if (m_reply && m_reply->isRunning())
        m_reply->abort();
}
