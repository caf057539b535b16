// SPDX-License-Identifier: MIT
#include "Service/CImageRegistration.h"

#include "CFormBody.h"
#include "Pictures/CImageReading.h"
#include "Service/CUploadFolder.h"

#include <QFileInfo>

CFormBody CImageRegistration::body(const QString& userId, const QString& filePath, const QString& objectName,
                                   const QString& mimeType)
{
    const QFileInfo info(filePath);
    QSize size = CImageReading::storedSizeOf(filePath);
    if (!size.isValid())
        size = QSize(0, 0);
    CFormBody form;
    form.add(QStringLiteral("zovid"), userId)
        .add(QStringLiteral("name"), info.baseName())
        .add(QStringLiteral("desc"), info.baseName())
        .add(QStringLiteral("src"), objectName)
        .add(QStringLiteral("mimetype"), mimeType.isEmpty() ? CUploadFolder::mimeType(filePath) : mimeType)
        .add(QStringLiteral("size"), info.size())
        .add(QStringLiteral("width"), size.width())
        .add(QStringLiteral("height"), size.height());
    return form;
}
