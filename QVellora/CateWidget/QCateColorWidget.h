// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPushButton>

#include <functional>

// The colour square of a category row: a 20 x 20 button painted in the category's colour, which
// it asks for whenever it paints.
class QCateColorWidget : public QPushButton
{
public:
    explicit QCateColorWidget(std::function<QColor()> color, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<QColor()> m_color;
};
