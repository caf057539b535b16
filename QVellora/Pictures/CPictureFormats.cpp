// SPDX-License-Identifier: MIT
#include "Pictures/CPictureFormats.h"

#include <QCoreApplication>
#include <QImageReader>

const QList<CPictureFormats::Format>& CPictureFormats::all()
{
    // "jpeg" is not listed: the photo filter takes it wherever "jpg" is.
    static const QList<Format> formats{
        {QStringLiteral(QT_TRANSLATE_NOOP("CPictureFormats", "JPG类型")),
         {QStringLiteral("jpg")},
         "jpeg",
         QStringLiteral("libqt5gui5")},
        {QStringLiteral(QT_TRANSLATE_NOOP("CPictureFormats", "PNG类型")),
         {QStringLiteral("png")},
         "png",
         QString()},
        {QStringLiteral(QT_TRANSLATE_NOOP("CPictureFormats", "BMP类型")),
         {QStringLiteral("bmp")},
         "bmp",
         QString()},
        {QStringLiteral(QT_TRANSLATE_NOOP("CPictureFormats", "HEIC/HEIF类型")),
         {QStringLiteral("heic"), QStringLiteral("heif")},
         "heif",
         QStringLiteral("kimageformat-plugins")},
        {QStringLiteral(QT_TRANSLATE_NOOP("CPictureFormats", "WebP类型")),
         {QStringLiteral("webp")},
         "webp",
         QStringLiteral("qt5-image-formats-plugins")},
        {QStringLiteral(QT_TRANSLATE_NOOP("CPictureFormats", "AVIF类型")),
         {QStringLiteral("avif")},
         "avif",
         QStringLiteral("kimageformat-plugins")},
        {QStringLiteral(QT_TRANSLATE_NOOP("CPictureFormats", "TIFF类型")),
         {QStringLiteral("tif"), QStringLiteral("tiff")},
         "tiff",
         QStringLiteral("qt5-image-formats-plugins")},
    };
    return formats;
}

bool CPictureFormats::isReadable(const Format& format)
{
    return QImageReader::supportedImageFormats().contains(format.readerFormat);
}

QStringList CPictureFormats::readableSuffixes()
{
    QStringList suffixes;
    for (const Format& format : all()) {
        if (isReadable(format))
            suffixes += format.suffixes;
    }
    return suffixes;
}

QString CPictureFormats::missingPluginText(const Format& format)
{
    return QCoreApplication::translate("CPictureFormats", "未找到读取此类型的插件，请安装软件包 %1")
        .arg(format.package);
}

QString CPictureFormats::shownLabel(const Format& format)
{
    return QCoreApplication::translate("CPictureFormats", format.label.toUtf8().constData());
}
