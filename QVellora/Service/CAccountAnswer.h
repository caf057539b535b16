// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

class QNetworkReply;

// The service's answer to a login or a registration. Only an answer that arrived whole with a
// success status, is a JSON object and carries no "error" text counts as a success; a transport
// failure or a body that is not JSON is a failure, never an empty success.
class CAccountAnswer
{
public:
    // Reads "msg", "zovid" and "error" as texts; absent members and non-objects read as empty.
    static CAccountAnswer fromJson(const QByteArray& body);
    // Reads the body, the transport error and the HTTP status of a finished reply.
    static CAccountAnswer fromReply(QNetworkReply* reply);

    bool loginSucceeded() const { return answered() && m_error.isEmpty() && !m_zovid.isEmpty(); }
    bool registrationSucceeded() const { return answered() && m_error.isEmpty(); }
    // What to tell the user after a failure: the service's own text when it gave one.
    QString failureText(const QString& fallback) const { return m_error.isEmpty() ? fallback : m_error; }

    QString msg() const { return m_msg; }
    QString zovid() const { return m_zovid; }
    QString error() const { return m_error; }

private:
    bool answered() const { return m_transportOk && m_isObject; }

    bool m_transportOk = true;
    bool m_isObject = false;
    QString m_msg;
    QString m_zovid;
    QString m_error;
};
