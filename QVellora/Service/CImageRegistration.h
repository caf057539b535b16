// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

class CFormBody;

// The form that registers a stored picture with the service under the user's ID: "zovid",
// "name", "desc", "src", "mimetype", "size", "width" and "height", in that order.
class CImageRegistration
{
public:
    // Width and height come from the picture's header (0 and 0 when it cannot be read). The type
    // is "image/" and the file's suffix unless mimeType names one.
    static CFormBody body(const QString& userId, const QString& filePath, const QString& objectName,
                          const QString& mimeType = QString());
};
