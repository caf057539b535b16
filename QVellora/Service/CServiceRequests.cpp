// SPDX-License-Identifier: MIT
#include "Service/CServiceRequests.h"

#include <QNetworkReply>

QNetworkRequest CServiceRequests::withStallTimeout(QNetworkRequest request, int stallTimeoutMs)
{
    request.setTransferTimeout(stallTimeoutMs);
    return request;
}

namespace {
const char* const TooLargeProperty = "vellora.answerTooLarge";
} // namespace

void CServiceRequests::limitAnswer(QNetworkReply* reply, qint64 maxBytes)
{
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, maxBytes](qint64 received, qint64 total) {
                         if ((received > maxBytes || total > maxBytes) && reply->isRunning()) {
                             reply->setProperty(TooLargeProperty, true);
                             reply->abort();
                         }
                     });
}

bool CServiceRequests::answerTooLarge(const QNetworkReply* reply)
{
    return reply->property(TooLargeProperty).toBool();
}

bool CServiceRequests::answeredWithSuccess(const QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply->error() == QNetworkReply::NoError && status >= 200 && status < 300 &&
           !answerTooLarge(reply);
}
