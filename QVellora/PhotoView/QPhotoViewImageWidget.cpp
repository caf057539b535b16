// SPDX-License-Identifier: MIT
#include "PhotoView/QPhotoViewImageWidget.h"

#include "Pictures/CPictureFit.h"

#include <QPainter>
#include <QResizeEvent>
#include <QTransform>

QPhotoViewImageWidget::QPhotoViewImageWidget(QWidget* parent) : QWidget(parent), m_area(0, 0, 800, 750) {}

QPhotoViewImageWidget::~QPhotoViewImageWidget() = default;

void QPhotoViewImageWidget::SetPixmap(QPixmap* picture)
{
    if (picture) {
        const QRect fitted = FitRect(picture->size());
        m_fitRect = fitted;
        m_drawRect = fitted;
        if (fitted.isEmpty())
            m_displayPicture.reset();
        else
            m_displayPicture = std::make_unique<QPixmap>(
                picture->scaled(fitted.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    update();
}

void QPhotoViewImageWidget::SetScale(double factor)
{
    const int sw = int(m_fitRect.width() * factor);
    const int sh = int(m_fitRect.height() * factor);
    m_drawRect = QRect((m_fitRect.width() - sw) / 2 + m_fitRect.x(),
                       (m_fitRect.height() - sh) / 2 + m_fitRect.y(), sw, sh);
    update();
}

void QPhotoViewImageWidget::Rotate(int degrees)
{
    if (m_displayPicture) {
        // Fitted for the size the picture will have after the turn.
        m_fitRect = FitRect(m_displayPicture->size().transposed());
        m_drawRect = m_fitRect;
        m_displayPicture = std::make_unique<QPixmap>(
            m_displayPicture->transformed(QTransform().rotate(degrees), Qt::FastTransformation));
    }
    update();
}

QPixmap QPhotoViewImageWidget::GetDisplayPixmap() const
{
    return m_displayPicture ? *m_displayPicture : QPixmap();
}

void QPhotoViewImageWidget::paintEvent(QPaintEvent*)
{
    if (!m_displayPicture)
        return;
    QPainter painter(this);
    painter.drawPixmap(QRectF(m_drawRect), *m_displayPicture, QRectF(m_displayPicture->rect()));
}

void QPhotoViewImageWidget::resizeEvent(QResizeEvent* event)
{
    m_area = QRect(QPoint(0, 0), event->size());
    if (m_displayPicture) {
        // The scaled copy is scaled again: a zoom in force is dropped from the drawing.
        m_fitRect = FitRect(m_displayPicture->size());
        m_drawRect = m_fitRect;
        if (!m_fitRect.isEmpty())
            m_displayPicture = std::make_unique<QPixmap>(
                m_displayPicture->scaled(m_fitRect.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    update();
}

QRect QPhotoViewImageWidget::FitRect(const QSize& picture) const
{
    const QSize fitted = CPictureFit::FittedSize(picture, m_area.width(), m_area.height());
    if (fitted.isEmpty())
        return {};
    return QRect((m_area.width() - fitted.width()) / 2, (m_area.height() - fitted.height()) / 2,
                 fitted.width(), fitted.height());
}
