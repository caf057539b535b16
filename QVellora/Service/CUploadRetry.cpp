// SPDX-License-Identifier: MIT
#include "Service/CUploadRetry.h"

#include "Service/CServiceRequests.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QNetworkReply>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

namespace {
QString transportReason(CUploadRetry::Transport transport)
{
    switch (transport) {
    case CUploadRetry::Transport::Refused:
    case CUploadRetry::Transport::HostNotFound:
        return CUploadRetry::tr("无法连接服务器");
    case CUploadRetry::Transport::TimedOut:
        return CUploadRetry::tr("连接超时");
    default:
        return CUploadRetry::tr("网络连接中断");
    }
}

CUploadRetry::Transport transportOf(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::NoError:
        return CUploadRetry::Transport::None;
    case QNetworkReply::ConnectionRefusedError:
        return CUploadRetry::Transport::Refused;
    case QNetworkReply::HostNotFoundError:
        return CUploadRetry::Transport::HostNotFound;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError: // the stall time-out aborts the reply
        return CUploadRetry::Transport::TimedOut;
    default:
        return CUploadRetry::Transport::Broken;
    }
}
} // namespace

CUploadRetry::Judgement CUploadRetry::judge(const QNetworkReply* reply)
{
    Outcome outcome;
    outcome.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    outcome.transport = transportOf(reply->error());
    outcome.tooLarge = CServiceRequests::answerTooLarge(reply);
    outcome.retryAfter = reply->rawHeader("Retry-After");
    return judge(outcome);
}

CUploadRetry::Judgement CUploadRetry::judge(const Outcome& outcome)
{
    Judgement judgement;
    // Not the service's answer: asking again brings the same.
    if (outcome.tooLarge) {
        judgement.verdict = Verdict::Fail;
        judgement.reason = tr("服务器的回答过大");
        return judgement;
    }
    const int status = outcome.status;
    if (status == 0) {
        judgement.verdict = outcome.transport == Transport::None ? Verdict::Done : Verdict::Retry;
        judgement.reason = transportReason(outcome.transport);
        return judgement;
    }
    if (status >= 200 && status < 300 && outcome.transport == Transport::None)
        return judgement;
    judgement.retryAfterMs = retryAfterMs(outcome.retryAfter);
    if (status == 429 || status == 408 || status >= 500) {
        judgement.verdict = Verdict::Retry;
        judgement.reason =
            status == 429 ? tr("服务器繁忙（HTTP 429）") : tr("服务器出错（HTTP %1）").arg(status);
        if (judgement.retryAfterMs > MaxRetryAfterMs) {
            judgement.verdict = Verdict::Fail;
            judgement.reason = tr("服务器繁忙，请 %1 分钟后再试")
                                   .arg(std::max(1, int(std::ceil(judgement.retryAfterMs / 60000.0))));
        }
        return judgement;
    }
    // A 2xx cut short by the transport is a broken line, not the service's refusal.
    if (status >= 200 && status < 300) {
        judgement.verdict = Verdict::Retry;
        judgement.reason = transportReason(outcome.transport);
        return judgement;
    }
    judgement.verdict = Verdict::Fail;
    judgement.reason = tr("服务器拒绝了请求（HTTP %1）").arg(status);
    return judgement;
}

int CUploadRetry::waitMs(int tries, double scale)
{
    const double base = std::min<double>(MaxWaitMs, FirstWaitMs * std::pow(2.0, std::max(0, tries - 1)));
    // 75 % to 125 %: pictures that failed together spread out.
    const double jitter = 0.75 + 0.5 * QRandomGenerator::global()->generateDouble();
    return int(base * jitter * scale);
}

int CUploadRetry::retryAfterMs(const QByteArray& header)
{
    const QByteArray text = header.trimmed();
    if (text.isEmpty())
        return -1;
    bool number = false;
    const qint64 seconds = text.toLongLong(&number);
    if (number)
        return seconds < 0 ? -1 : int(std::min<qint64>(seconds, 24 * 3600) * 1000);
    const QDateTime when = QLocale::c().toDateTime(QString::fromLatin1(text).left(25),
                                                   QStringLiteral("ddd, dd MMM yyyy HH:mm:ss"));
    if (!when.isValid())
        return -1;
    QDateTime utc = when;
    utc.setTimeSpec(Qt::UTC);
    return int(std::clamp<qint64>(QDateTime::currentDateTimeUtc().msecsTo(utc), 0, 24 * 3600 * 1000));
}
