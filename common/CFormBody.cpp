// SPDX-License-Identifier: MIT
#include "CFormBody.h"

CFormBody& CFormBody::add(const QString& name, const QString& value)
{
    return addBytes(name, value.toUtf8());
}

CFormBody& CFormBody::addBytes(const QString& name, const QByteArray& value)
{
    m_bytes += '&';
    m_bytes += name.toUtf8();
    m_bytes += '=';
    m_bytes += value.toPercentEncoding();
    return *this;
}

QNetworkRequest CFormBody::request(const QUrl& url) const
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    request.setHeader(QNetworkRequest::ContentLengthHeader, m_bytes.size());
    return request;
}
