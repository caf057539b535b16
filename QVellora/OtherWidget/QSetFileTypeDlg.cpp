// SPDX-License-Identifier: MIT
#include "OtherWidget/QSetFileTypeDlg.h"

#include "Thread/CPhotoFilter.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

QSetFileTypeDlg::QSetFileTypeDlg(QWidget* parent)
    : QDialog(parent, Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_captionLabel(new QLabel(QStringLiteral("过滤图片类型："))),
      m_jpgBox(new QCheckBox(QStringLiteral("JPG类型"))), m_pngBox(new QCheckBox(QStringLiteral("PNG类型"))),
      m_bmpBox(new QCheckBox(QStringLiteral("BMP类型")))
{
    setWindowTitle(QStringLiteral("设置照片类型"));
    for (QCheckBox* box : {m_jpgBox, m_pngBox, m_bmpBox})
        box->setChecked(true);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_jpgBox);
    boxes->addWidget(m_pngBox);
    boxes->addWidget(m_bmpBox);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_captionLabel);
    layout->addLayout(boxes);
    layout->addSpacing(10);
    resize(400, 70);
}

QStringList QSetFileTypeDlg::GetFileTypes()
{
    m_typeList.clear();
    if (m_jpgBox->isChecked())
        m_typeList.append(QStringLiteral("jpg"));
    if (m_pngBox->isChecked())
        m_typeList.append(QStringLiteral("png"));
    if (m_bmpBox->isChecked())
        m_typeList.append(QStringLiteral("bmp"));
    return m_typeList;
}

void QSetFileTypeDlg::SetFilter(const CPhotoFilter& filter)
{
    m_jpgBox->setChecked(filter.acceptsSuffix(QStringLiteral("jpg")));
    m_pngBox->setChecked(filter.acceptsSuffix(QStringLiteral("png")));
    m_bmpBox->setChecked(filter.acceptsSuffix(QStringLiteral("bmp")));
}

void QSetFileTypeDlg::ApplyTo(CPhotoFilter& filter)
{
    filter.setSuffixes(GetFileTypes());
}
