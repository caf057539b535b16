// SPDX-License-Identifier: MIT
#include "Service/CServiceRequests.h"

#include <QNetworkReply>

QNetworkRequest CServiceRequests::withStallTimeout(QNetworkRequest request, int stallTimeoutMs)
{
    request.setTransferTimeout(stallTimeoutMs);
    return request;
}

bool CServiceRequests::answeredWithSuccess(const QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
}
