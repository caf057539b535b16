// SPDX-License-Identifier: MIT
#include "ViewPage/QViewMakeWidget.h"

#include "OtherWidget/CCaptionedPixmap.h"
#include "OtherWidget/CSharedPixmap.h"
#include "OtherWidget/QDrawImageButton.h"

#include <QHBoxLayout>

QViewMakeWidget::QViewMakeWidget(QWidget* parent)
    : QWidget(parent), m_backButton(new QDrawImageButton(
                           CCaptionedPixmap::get(QStringLiteral(":/image/new_button/go_back.png"),
                                                 QT_TRANSLATE_NOOP("CCaptionedPixmap", "返回"),
                                                 CCaptionedPixmap::Face::SecondaryButton),
                           tr("返回"), this)),
      m_openButton(
          new QDrawImageButton(CCaptionedPixmap::get(QStringLiteral(":/image/new_button/open.png"),
                                                     QT_TRANSLATE_NOOP("CCaptionedPixmap", "打开目录"),
                                                     CCaptionedPixmap::Face::SecondaryButton),
                               tr("打开文件夹"), this))
{
    m_backButton->setObjectName(QStringLiteral("backButton"));
    m_backButton->setFixedSize(74, 26);
    m_openButton->setObjectName(QStringLiteral("openButton"));
    m_openButton->setFixedSize(70, 26);
    connect(m_backButton, &QDrawImageButton::clicked, this, &QViewMakeWidget::sigCheckGoBack);
    connect(m_openButton, &QDrawImageButton::clicked, this, &QViewMakeWidget::sigCheckOpenButton);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_backButton);
    layout->addStretch(200);
    layout->addWidget(m_openButton);
}
