// SPDX-License-Identifier: MIT
#include "OtherWidget/QOutPutImageWidget.h"

#include "OtherWidget/CCaptionedPixmap.h"
#include "OtherWidget/CSharedPixmap.h"
#include "OtherWidget/QDrawImageButton.h"

#include <QHBoxLayout>

QOutPutImageWidget::QOutPutImageWidget(QWidget* parent)
    : QWidget(parent),
      m_nextButton(new QDrawImageButton(CCaptionedPixmap::get(
          QStringLiteral(":/image/new_button/compare.png"), QT_TRANSLATE_NOOP("CCaptionedPixmap", "下一步"),
          CCaptionedPixmap::Face::PrimaryButton)))
{
    resize(400, 50);
    m_nextButton->setMaximumSize(80, 26);
    connect(m_nextButton, &QPushButton::clicked, this, &QOutPutImageWidget::sigOnCheckNextPage);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_nextButton);
}
