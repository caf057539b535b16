// SPDX-License-Identifier: MIT
#include "Dialogs/QSetFileTypeDlg.h"

#include "Pictures/CPhotoFilter.h"
#include "Pictures/CPictureFormats.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

QSetFileTypeDlg::QSetFileTypeDlg(QWidget* parent)
    : QDialog(parent, Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_captionLabel(new QLabel(tr("过滤图片类型：")))
{
    setWindowTitle(tr("设置照片类型"));
    auto* boxes = new QHBoxLayout;
    for (const CPictureFormats::Format& format : CPictureFormats::all()) {
        auto* box = new QCheckBox(CPictureFormats::shownLabel(format));
        const bool readable = CPictureFormats::isReadable(format);
        box->setChecked(readable);
        box->setEnabled(readable);
        if (!readable)
            box->setToolTip(CPictureFormats::missingPluginText(format));
        boxes->addWidget(box);
        m_typeBoxes.append(box);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_captionLabel);
    layout->addLayout(boxes);
    layout->addSpacing(10);
    resize(400, 70);
}

QStringList QSetFileTypeDlg::GetFileTypes()
{
    m_typeList.clear();
    const QList<CPictureFormats::Format>& formats = CPictureFormats::all();
    for (int i = 0; i < m_typeBoxes.size(); ++i) {
        if (m_typeBoxes.at(i)->isChecked())
            m_typeList += formats.at(i).suffixes;
    }
    return m_typeList;
}

void QSetFileTypeDlg::SetFilter(const CPhotoFilter& filter)
{
    const QList<CPictureFormats::Format>& formats = CPictureFormats::all();
    for (int i = 0; i < m_typeBoxes.size(); ++i) {
        QCheckBox* box = m_typeBoxes.at(i);
        bool accepted = false;
        for (const QString& suffix : formats.at(i).suffixes)
            accepted = accepted || filter.acceptsSuffix(suffix);
        box->setChecked(box->isEnabled() && accepted);
    }
}

void QSetFileTypeDlg::ApplyTo(CPhotoFilter& filter)
{
    filter.setSuffixes(GetFileTypes());
}
