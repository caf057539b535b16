// SPDX-License-Identifier: MIT
#include "CatePage/QCateMakeWidget.h"

#include "CatePage/QCateNextMakeDlg.h"
#include "Dialogs/QUserDialogs.h"
#include "OtherWidget/CCaptionedPixmap.h"
#include "OtherWidget/CSharedPixmap.h"
#include "OtherWidget/QDrawImageButton.h"

#include <QHBoxLayout>

namespace {

QDrawImageButton* makeButton(const char* picture, const char* caption, CCaptionedPixmap::Face face,
                             const QSize& size, const char* objectName, QWidget* parent)
{
    auto* button =
        new QDrawImageButton(CCaptionedPixmap::get(QString::fromLatin1(picture), caption, face), parent);
    button->setFixedSize(size);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

} // namespace

QCateMakeWidget::QCateMakeWidget(QWidget* parent)
    : QWidget(parent),
      m_backButton(makeButton(":/image/new_button/go_back.png", QT_TRANSLATE_NOOP("CCaptionedPixmap", "返回"),
                              CCaptionedPixmap::Face::SecondaryButton, QSize(74, 26), "backButton", this)),
      m_exportButton(makeButton(":/image/new_button/out_put_image.png",
                                QT_TRANSLATE_NOOP("CCaptionedPixmap", "导出分类照片"),
                                CCaptionedPixmap::Face::PrimaryButton, QSize(155, 26), "exportButton", this)),
      m_openButton(makeButton(":/image/new_button/see_folder.png",
                              QT_TRANSLATE_NOOP("CCaptionedPixmap", "打开导出目录"),
                              CCaptionedPixmap::Face::SecondaryButton, QSize(136, 26), "openButton", this)),
      m_uploadButton(makeButton(
          ":/image/new_button/updata_to_net.png", QT_TRANSLATE_NOOP("CCaptionedPixmap", "上传到云端"),
          CCaptionedPixmap::Face::SecondaryButton, QSize(136, 26), "uploadButton", this)),
      m_printButton(makeButton(":/image/new_button/push_to_image.png",
                               QT_TRANSLATE_NOOP("CCaptionedPixmap", "在线冲印"),
                               CCaptionedPixmap::Face::SecondaryButton, QSize(136, 26), "printButton", this)),
      m_finishButton(makeButton(":/image/new_button/Next_Make.png",
                                QT_TRANSLATE_NOOP("CCaptionedPixmap", "完成"),
                                CCaptionedPixmap::Face::PrimaryButton, QSize(83, 26), "finishButton", this)),
      m_survey(new QCateNextMakeDlg)
{
    setMaximumHeight(50);
    connect(m_backButton, &QDrawImageButton::clicked, this, &QCateMakeWidget::sigCheckCallBackButton);
    connect(m_exportButton, &QDrawImageButton::clicked, this, &QCateMakeWidget::sigCheckOutPutImageButton);
    connect(m_openButton, &QDrawImageButton::clicked, this, &QCateMakeWidget::sigCheckOpenImageButton);
    connect(m_uploadButton, &QDrawImageButton::clicked, this, &QCateMakeWidget::sigCheckUdataNetButton);
    connect(m_printButton, &QDrawImageButton::clicked, this, &QCateMakeWidget::sigCheckPushImageButton);
    connect(m_finishButton, &QDrawImageButton::clicked, this, &QCateMakeWidget::onCheckNextMakeButton);
    connect(m_survey.data(), &QCateNextMakeDlg::sigSubmitCloseSoft, this,
            &QCateMakeWidget::sigCheckNextCloseSoft);

    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(20);
    layout->addWidget(m_backButton);
    layout->addStretch(200);
    for (QDrawImageButton* button :
         {m_exportButton, m_openButton, m_uploadButton, m_printButton, m_finishButton})
        layout->addWidget(button);
}

QCateMakeWidget::~QCateMakeWidget() = default;

QString QCateMakeWidget::GetSubmitText()
{
    return m_survey->GetSubmitText();
}

void QCateMakeWidget::onCheckNextMakeButton()
{
    QUserDialogs::exec(m_survey.data());
}
