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
QString transportReason(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
        return CUploadRetry::tr("无法连接服务器");
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError: // the stall time-out aborts the reply
        return CUploadRetry::tr("连接超时");
    default:
        return CUploadRetry::tr("网络连接中断");
    }
}
} // namespace

CUploadRetry::Judgement CUploadRetry::judge(const QNetworkReply* reply)
{
    Judgement judgement;
    // Not the service's answer: asking again brings the same.
    if (CServiceRequests::answerTooLarge(reply)) {
        judgement.verdict = Verdict::Fail;
        judgement.reason = tr("服务器的回答过大");
        return judgement;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0) {
        judgement.verdict = reply->error() == QNetworkReply::NoError ? Verdict::Done : Verdict::Retry;
        judgement.reason = transportReason(reply->error());
        return judgement;
    }
    if (status >= 200 && status < 300 && reply->error() == QNetworkReply::NoError)
        return judgement;
    judgement.retryAfterMs = retryAfterMs(reply->rawHeader("Retry-After"));
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
        judgement.reason = transportReason(reply->error());
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
