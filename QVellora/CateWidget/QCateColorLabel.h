// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;

// The caption of a category row, which tells how many pictures the row holds.
class QCateColorLabel : public QWidget
{
public:
    explicit QCateColorLabel(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString GetText() const;

private:
    void ApplyPalette();

    QLabel* m_label;
};
