// SPDX-License-Identifier: MIT
#include "ViewPage/QTimeViewWidget.h"

#include "ViewPage/QTimeViewButton.h"

#include <QLabel>
#include <QStyle>

// The room between the date and a name that fits beside it.
static constexpr int kDateToName = 100;

QTimeViewWidget::QTimeViewWidget(bool showDate, const QString& date, const QString& name, QWidget* parent)
    : QWidget(parent), m_dateLabel(new QLabel(date, this)), m_button(new QTimeViewButton(this))
{
    m_dateLabel->setMinimumSize(50, 20);
    m_dateLabel->setVisible(showDate);
    m_button->SetText(name);
    connect(m_button, &QTimeViewButton::clicked, this, &QTimeViewWidget::onCheckViewButton);
    const int margin = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    setContentsMargins(margin, margin / 2, margin, margin / 2);
    Place(width());
}

void QTimeViewWidget::SetSelected(bool selected)
{
    m_button->SetSelected(selected);
}

QString QTimeViewWidget::GetDateText() const
{
    return m_dateLabel->text();
}

QSize QTimeViewWidget::sizeHint() const
{
    const QMargins margins = contentsMargins();
    const int line = DateWidth() + kDateToName + m_button->sizeHint().width();
    return QSize(margins.left() + line + margins.right(),
                 heightForWidth(margins.left() + line + margins.right()));
}

int QTimeViewWidget::heightForWidth(int width) const
{
    return Place(width, false).bottom() + 1 + contentsMargins().bottom();
}

void QTimeViewWidget::resizeEvent(QResizeEvent*)
{
    Place(width());
}

void QTimeViewWidget::onCheckViewButton()
{
    emit sigChangeSelectItem(m_itemId);
}

int QTimeViewWidget::DateWidth() const
{
    if (m_dateLabel->isHidden())
        return 0;
    return qMax(m_dateLabel->minimumWidth(), m_dateLabel->sizeHint().width());
}

QRect QTimeViewWidget::Place(int width, bool move) const
{
    // The date keeps the width its text needs. The name sits beside it when it fits there, and
    // otherwise goes below it, wrapped to the whole width, so neither is ever cut.
    const QMargins margins = contentsMargins();
    const int inner = qMax(1, width - margins.left() - margins.right());
    const QRect date(margins.left(), margins.top(), DateWidth(), qMax(20, m_dateLabel->sizeHint().height()));
    QRect name;
    const int beside = date.width() + (date.width() > 0 ? kDateToName : 0);
    if (beside + m_button->sizeHint().width() <= inner) {
        name = QRect(margins.left() + beside, margins.top(), inner - beside, m_button->sizeHint().height());
    } else {
        const int top = date.width() > 0 ? date.bottom() + 1 : margins.top();
        name = QRect(margins.left(), top, inner, m_button->heightForWidth(inner));
    }
    if (move) {
        m_dateLabel->setGeometry(date);
        m_button->setGeometry(name);
    }
    return name;
}
