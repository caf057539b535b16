// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPushButton>

// The colour square of a category row: a 20 x 20 button painted in the category's colour.
class QCateColorWidget : public QPushButton
{
public:
    explicit QCateColorWidget(QWidget* parent = nullptr);

    // Stores the colour and repaints at once.
    void SetColor(const QColor& color);
    QColor GetColor() const { return m_color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};
