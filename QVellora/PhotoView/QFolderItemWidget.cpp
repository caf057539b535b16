// SPDX-License-Identifier: MIT
#include "PhotoView/QFolderItemWidget.h"

#include "Pictures/CImageReading.h"

#include <QPainter>

static constexpr int kLoadedThumbnails = 4;

QFolderItemWidget::QFolderItemWidget(int width, int height, const QStringList& picturePaths,
                                     const QString& folderPath, QWidget* parent)
    : QPhotoItem(width, height, parent), m_picturePaths(picturePaths),
      m_frontRect(int(m_contentWidth * 0.14388), int(m_contentHeight * 0.2446), int(m_contentWidth * 0.46763),
                  int(m_contentHeight * 0.46763)),
      m_backRect(int(m_contentWidth * 0.38489), int(m_contentHeight * 0.28058), int(m_contentWidth * 0.46763),
                 int(m_contentHeight * 0.43165))
{
    m_path = folderPath;
    LoadThumbnails();
}

void QFolderItemWidget::SetFolderPicture(QPixmap* picture)
{
    FolderPicture() = picture;
}

void QFolderItemWidget::LoadThumbnails()
{
    const bool more = m_picturePaths.size() > kLoadedThumbnails;
    const QSize box(int(m_contentWidth * 0.46763), int(m_contentHeight * (more ? 0.46763 : 0.43165)));
    for (const QString& path : m_picturePaths.mid(0, kLoadedThumbnails)) {
        // Reduced-size decoding keeps opening a folder cheap on the interface thread.
        const QImage thumbnail = CImageReading::thumbnail(path, box);
        if (!thumbnail.isNull())
            m_thumbnails.append(QPixmap::fromImage(thumbnail));
    }
}

QPixmap*& QFolderItemWidget::FolderPicture()
{
    static QPixmap* picture = nullptr;
    return picture;
}

void QFolderItemWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintShownName(painter);
    if (QPixmap* folder = FolderPicture())
        painter.drawPixmap(QRectF(m_contentRect), *folder, QRectF(folder->rect()));

    if (m_thumbnails.size() == 1) {
        painter.drawPixmap(QRectF(m_frontRect), m_thumbnails.at(0), QRectF(m_thumbnails.at(0).rect()));
    } else if (m_thumbnails.size() >= 2) {
        painter.drawPixmap(QRectF(m_backRect), m_thumbnails.at(1), QRectF(m_thumbnails.at(1).rect()));
        painter.drawPixmap(QRectF(m_frontRect), m_thumbnails.at(0), QRectF(m_thumbnails.at(0).rect()));
    }

    if (m_colors.isEmpty()) {
        painter.setPen(QColor(0, 0, 0, 100));
        painter.drawRects(&m_contentRect, 1);
    } else {
        // Drawn twice: a folder that holds used pictures gets a darker veil than a photo.
        painter.setBrush(QBrush(QColor(100, 100, 100, 100), Qt::SolidPattern));
        painter.drawRects(&m_contentRect, 1);
        painter.drawRects(&m_contentRect, 1);
    }
    PaintColorMarks(painter);

    if (m_checked) {
        const QRect mark = CheckMarkRect();
        painter.setBrush(QBrush(QColor(192, 222, 252, 150), Qt::SolidPattern));
        painter.drawRects(&m_contentRect, 1);
        painter.setPen(QColor(0, 0, 0, 255));
        painter.drawRects(&mark, 1);
        painter.drawPixmap(QRectF(mark), *CheckPicture(), QRectF(CheckPicture()->rect()));
    }
}
