// SPDX-License-Identifier: MIT
#include "OtherWidget/QOutPutImageWidget.h"

#include "OtherWidget/CSharedPixmap.h"
#include "OtherWidget/QDrawImageButton.h"

#include <QHBoxLayout>

QOutPutImageWidget::QOutPutImageWidget(QWidget* parent)
    : QWidget(parent),
      m_nextButton(new QDrawImageButton(CSharedPixmap::get(QStringLiteral(":/image/new_button/compare.png"))))
{
    resize(400, 50);
    m_nextButton->setMaximumSize(80, 26);
    connect(m_nextButton, &QPushButton::clicked, this, &QOutPutImageWidget::sigOnCheckNextPage);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_nextButton);
}
