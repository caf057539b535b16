// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>
#include <QRect>
#include <QWidget>

#include <memory>

// The picture area of the viewer: fits a picture into itself, zooms it about the centre of the
// fitted rectangle and turns it by quarter turns. It works on its own scaled copy of the picture;
// the caller's picture and the file are never changed.
class QPhotoViewImageWidget : public QWidget
{
public:
    explicit QPhotoViewImageWidget(QWidget* parent = nullptr);
    ~QPhotoViewImageWidget() override;

    // Shows a copy of picture scaled to fit; a picture that did not load empties the area.
    // A null pointer only schedules a repaint.
    void SetPixmap(QPixmap* picture);
    // Grows or shrinks the drawing about the centre of the fitted rectangle (1.0 = fitted).
    void SetScale(double factor);
    // Turns the displayed copy by degrees (quarter turns) and fits it again.
    void Rotate(int degrees);

    QRect GetDrawRect() const { return m_drawRect; }
    QRect GetFitRect() const { return m_fitRect; }
    // The scaled (and turned) copy that is painted; null while nothing is shown.
    QPixmap GetDisplayPixmap() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect FitRect(const QSize& picture) const;

    std::unique_ptr<QPixmap> m_displayPicture;
    QRect m_area;
    QRect m_drawRect;
    QRect m_fitRect;
};
