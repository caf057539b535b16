// SPDX-License-Identifier: MIT
#pragma once

#include "CFormBody.h"

#include <QByteArray>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

// The usage report as both senders post it (the main window at close and the usage reporter):
// one form field "data" holding the whole "user_data.js", percent-encoded so that a "+", "&" or
// "%" in a category name or survey text reaches the service unchanged. The body still begins
// with "&data=".
class CUsageReport
{
public:
    // The file's content as read in text mode (CR LF becomes LF); false when it cannot be opened.
    static bool readFile(const QString& path, QByteArray* content);

    // The form carrying content; its bytes are the request body.
    static CFormBody form(const QByteArray& content);

    // Reads path and starts the post to the service's log endpoint on manager; the caller owns the reply.
    // Null when the file cannot be read, in which case nothing is sent. content (optional) receives what was
    // sent.
    static QNetworkReply* post(QNetworkAccessManager* manager, const QString& path,
                               QByteArray* content = nullptr);
    // Posts content as read from the file.
    static QNetworkReply* post(QNetworkAccessManager* manager, const QByteArray& content);

    // Whether a finished reply is an answer the service accepted: no transport error and a 2xx
    // status. Only then may the records be forgotten.
    static bool accepted(const QNetworkReply* reply);
};
