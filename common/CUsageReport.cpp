// SPDX-License-Identifier: MIT
#include "CUsageReport.h"

#include "CLogging.h"
#include "CServiceEndpoints.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>

bool CUsageReport::readFile(const QString& path, QByteArray* content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    *content = file.readAll();
    return file.error() == QFileDevice::NoError;
}

CFormBody CUsageReport::form(const QByteArray& content)
{
    CFormBody form;
    form.addBytes(QStringLiteral("data"), content);
    return form;
}

QNetworkReply* CUsageReport::post(QNetworkAccessManager* manager, const QString& path, QByteArray* content)
{
    QByteArray bytes;
    if (!readFile(path, &bytes)) {
        qCDebug(lcReporter) << "no usage file" << path;
        return nullptr;
    }
    if (content)
        *content = bytes;
    return post(manager, bytes);
}

QNetworkReply* CUsageReport::post(QNetworkAccessManager* manager, const QByteArray& content)
{
    const CFormBody body = form(content);
    qCDebug(lcReporter) << "post" << body.toByteArray().left(1024);
    return manager->post(body.request(CServiceEndpoints::usageLog()), body.toByteArray());
}

bool CUsageReport::accepted(const QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
}
