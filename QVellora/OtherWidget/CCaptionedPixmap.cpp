// SPDX-License-Identifier: MIT
#include "OtherWidget/CCaptionedPixmap.h"

#include "OtherWidget/CSharedPixmap.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace {

// The artwork's own colours (tools/make_images.sh).
const QColor blue(0x2F, 0x80, 0xED);
const QColor text(0x2B, 0x34, 0x45);
const QColor text2(0x5B, 0x65, 0x77);
const QColor helpBackground(0xF2, 0xF7, 0xFF);

QHash<QString, QPixmap*>& captioned()
{
    static QHash<QString, QPixmap*> pictures;
    return pictures;
}

void releaseCaptioned()
{
    qDeleteAll(captioned());
    captioned().clear();
}

// Writes line into area (design units) at the largest size up to pixelSize that fits its width.
void writeLine(QPainter& painter, const QRectF& area, const QString& line, int pixelSize, bool bold,
               const QColor& colour, Qt::Alignment alignment)
{
    QFont font = painter.font();
    font.setBold(bold);
    for (int size = pixelSize;; --size) {
        font.setPixelSize(size);
        if (size <= 8 || QFontMetrics(font).horizontalAdvance(line) <= area.width())
            break;
    }
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(area, int(alignment | Qt::AlignVCenter), line);
}

void paintCaption(QPixmap& picture, const QString& caption, CCaptionedPixmap::Face face)
{
    using Face = CCaptionedPixmap::Face;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QSizeF design = face == Face::StartCard  ? QSizeF(150, 150)
                          : face == Face::HelpCard ? QSizeF(241, 78)
                                                   : QSizeF(picture.size()) / picture.devicePixelRatio();
    // The artwork may be drawn larger than its design size: paint in design units.
    painter.scale(picture.width() / design.width(), picture.height() / design.height());
    switch (face) {
    case Face::StartCard: {
        const QRectF area(6, 102, 138, 36);
        painter.fillRect(area, Qt::white);
        writeLine(painter, area, caption, 18, true, text, Qt::AlignHCenter);
        break;
    }
    case Face::HelpCard: {
        const QRectF area(74, 8, 160, 62);
        painter.fillRect(area, helpBackground);
        const QStringList lines = caption.split(QLatin1Char('\n'));
        writeLine(painter, QRectF(78, 10, 156, 28), lines.value(0), 17, true, text, Qt::AlignLeft);
        writeLine(painter, QRectF(78, 40, 156, 24), lines.value(1), 13, false, text2, Qt::AlignLeft);
        break;
    }
    case Face::PrimaryButton:
    case Face::SecondaryButton: {
        const bool primary = face == Face::PrimaryButton;
        const QRectF area = QRectF(QPointF(0, 0), design).adjusted(2, 2, -2, -2);
        painter.fillRect(area, primary ? blue : QColor(Qt::white));
        writeLine(painter, area.adjusted(2, 0, -2, 0), caption, 13, false, primary ? QColor(Qt::white) : blue,
                  Qt::AlignHCenter);
        break;
    }
    }
}

} // namespace

QPixmap* CCaptionedPixmap::get(const QString& resourcePath, const char* painted, Face face)
{
    const QString caption = QCoreApplication::translate("CCaptionedPixmap", painted);
    QPixmap* artwork = CSharedPixmap::get(resourcePath);
    if (caption == QString::fromUtf8(painted) || artwork->isNull())
        return artwork;
    static const bool releasedAtExit = (qAddPostRoutine(releaseCaptioned), true);
    Q_UNUSED(releasedAtExit)
    QPixmap*& picture = captioned()[resourcePath + QLatin1Char('\n') + caption];
    if (!picture) {
        picture = new QPixmap(*artwork);
        paintCaption(*picture, caption, face);
    }
    return picture;
}
