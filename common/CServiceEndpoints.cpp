// SPDX-License-Identifier: MIT
#include "CServiceEndpoints.h"

#include <QtGlobal>

QUrl CServiceEndpoints::hostUrl(Host host)
{
    const QByteArray overrideUrl = qgetenv("VELLORA_SERVICE_URL");
    if (!overrideUrl.isEmpty())
        return QUrl(QString::fromUtf8(overrideUrl));
    switch (host) {
    case Host::Api:
        return QUrl(QStringLiteral(VELLORA_API_HOST));
    case Host::MobileApi:
        return QUrl(QStringLiteral(VELLORA_MOBILE_API_HOST));
    case Host::Storage:
        return QUrl(QStringLiteral(VELLORA_STORAGE_HOST));
    case Host::Web:
        break;
    }
    return QUrl(QStringLiteral(VELLORA_WEB_HOST));
}

QUrl CServiceEndpoints::onHost(Host host, const QString& path)
{
    QUrl url = hostUrl(host);
    QString base = url.path();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    url.setPath(base + path);
    return url;
}

QUrl CServiceEndpoints::usageLog()
{
    return onHost(Host::Api, QStringLiteral("/restapi/vessik/log/add"));
}
QUrl CServiceEndpoints::login()
{
    return onHost(Host::MobileApi, QStringLiteral("/api/user/auth/login"));
}
QUrl CServiceEndpoints::registration()
{
    return onHost(Host::MobileApi, QStringLiteral("/api/user/auth/register"));
}
QUrl CServiceEndpoints::uploadAuth()
{
    return onHost(Host::MobileApi, QStringLiteral("/api/user/image/upload_auth"));
}
QUrl CServiceEndpoints::imageSave()
{
    return onHost(Host::MobileApi, QStringLiteral("/api/user/image/save"));
}
QUrl CServiceEndpoints::versionManifest()
{
    return onHost(Host::Storage, QStringLiteral("/Vellora/version.js"));
}
QUrl CServiceEndpoints::releaseArchive()
{
    return onHost(Host::Storage, QStringLiteral("/Vellora/Vellora.zip"));
}
QUrl CServiceEndpoints::webHome()
{
    return hostUrl(Host::Web);
}
QUrl CServiceEndpoints::printOrder()
{
    return onHost(Host::Web, QStringLiteral("/print/index/index.html"));
}
