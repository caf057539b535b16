// SPDX-License-Identifier: MIT
#include "CateWidget/QCateColorLabel.h"

#include <QHBoxLayout>
#include <QLabel>

QCateColorLabel::QCateColorLabel(QWidget* parent)
    : QWidget(parent), m_label(new QLabel(QStringLiteral("可拖拽照片至此"), this))
{
    setMinimumSize(1000, 20);
    m_label->setMinimumWidth(900);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    ApplyPalette();
}

void QCateColorLabel::SetText(const QString& text)
{
    ApplyPalette();
    m_label->setText(text);
    update();
}

QString QCateColorLabel::GetText() const
{
    return m_label->text();
}

void QCateColorLabel::ApplyPalette()
{
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::Text, Qt::blue);
    m_label->setPalette(palette);
}
