// SPDX-License-Identifier: MIT
#include "Dialogs/QSetFileTimeDlg.h"

#include "Pictures/CPhotoFilter.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QLabel>

QSetFileTimeDlg::QSetFileTimeDlg(QWidget* parent)
    : QDialog(parent, Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_beginLabel(new QLabel(tr("起始时间："))), m_endLabel(new QLabel(tr("终止时间："))),
      m_beginEdit(new QDateTimeEdit), m_endEdit(new QDateTimeEdit)
{
    setWindowTitle(tr("设置照片时间"));
    // Seconds are shown because the bounds are exclusive to the second.
    for (QDateTimeEdit* edit : {m_beginEdit, m_endEdit})
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    SetFilter(CPhotoFilter());

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_beginLabel, 0, 0);
    layout->addWidget(m_beginEdit, 0, 1);
    layout->addWidget(m_endLabel, 1, 0);
    layout->addWidget(m_endEdit, 1, 1);
    resize(400, 70);
}

QDateTime QSetFileTimeDlg::GetBeginTime() const
{
    return m_beginEdit->dateTime();
}

QDateTime QSetFileTimeDlg::GetEndTime() const
{
    return m_endEdit->dateTime();
}

void QSetFileTimeDlg::SetFilter(const CPhotoFilter& filter)
{
    m_beginEdit->setDateTime(filter.beginTime());
    m_endEdit->setDateTime(filter.endTime());
}

void QSetFileTimeDlg::ApplyTo(CPhotoFilter& filter) const
{
    filter.setBeginTime(GetBeginTime());
    filter.setEndTime(GetEndTime());
}
