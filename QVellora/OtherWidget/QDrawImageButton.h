// SPDX-License-Identifier: MIT
#pragma once

#include <QPushButton>

class QPixmap;

// A button that is just a picture: it paints the shared picture stretched over its whole
// rectangle instead of the usual face (no text, no frame). The picture is not owned; it is one of
// the process-wide pictures of CSharedPixmap. A pressed button is shaded slightly darker.
class QDrawImageButton : public QPushButton
{
    Q_OBJECT
public:
    explicit QDrawImageButton(QPixmap* picture, QWidget* parent = nullptr);
    // The picture carries no text: `name` is what a screen reader says and the tooltip shows.
    QDrawImageButton(QPixmap* picture, const QString& name, QWidget* parent);

    QPixmap* picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap* m_picture;
};
