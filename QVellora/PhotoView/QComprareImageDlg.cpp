// SPDX-License-Identifier: MIT
#include "PhotoView/QComprareImageDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>

static QPixmap fitted(const QPixmap* picture)
{
    if (!picture || picture->isNull())
        return {};
    return picture->scaled(800, 800, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QComprareImageDlg::QComprareImageDlg(QWidget* parent)
    : QDialog(parent), m_leftLabel(new QLabel(this)), m_rightLabel(new QLabel(this))
{
    m_leftLabel->setObjectName(QStringLiteral("leftLabel"));
    m_rightLabel->setObjectName(QStringLiteral("rightLabel"));
    auto* layout = new QHBoxLayout(this);
    for (QLabel* label : {m_leftLabel, m_rightLabel}) {
        label->setMaximumSize(800, 800);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    resize(1600, 800);
}

void QComprareImageDlg::SetImages(const QPixmap* left, const QPixmap* right)
{
    m_leftLabel->setPixmap(fitted(left));
    m_rightLabel->setPixmap(fitted(right));
    update();
}
