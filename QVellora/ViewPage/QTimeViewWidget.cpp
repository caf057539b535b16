// SPDX-License-Identifier: MIT
#include "ViewPage/QTimeViewWidget.h"

#include "ViewPage/QTimeViewButton.h"

#include <QHBoxLayout>
#include <QLabel>

QTimeViewWidget::QTimeViewWidget(bool showDate, const QString& date, const QString& name, QWidget* parent)
    : QWidget(parent), m_dateLabel(new QLabel(date, this)), m_button(new QTimeViewButton(this))
{
    m_dateLabel->setMinimumSize(50, 20);
    m_dateLabel->setVisible(showDate);
    m_button->SetText(name);
    connect(m_button, &QTimeViewButton::clicked, this, &QTimeViewWidget::onCheckViewButton);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_dateLabel);
    layout->addSpacing(100);
    layout->addWidget(m_button);
}

void QTimeViewWidget::SetSelected(bool selected)
{
    m_button->SetSelected(selected);
}

QString QTimeViewWidget::GetDateText() const
{
    return m_dateLabel->text();
}

void QTimeViewWidget::onCheckViewButton()
{
    emit sigChangeSelectItem(m_itemId);
}
