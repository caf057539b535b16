// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class QTimeViewButton;

// One history entry: the export date and the category name, which is clicked to show the entry.
class QTimeViewWidget : public QWidget
{
    Q_OBJECT
public:
    QTimeViewWidget(bool showDate, const QString& date, const QString& name, QWidget* parent = nullptr);

    void SetItemID(int itemId) { m_itemId = itemId; }
    void SetSelected(bool selected);
    QTimeViewButton* GetButton() const { return m_button; }
    QString GetDateText() const;

signals:
    void sigChangeSelectItem(int iItemID);

public slots:
    void onCheckViewButton();

private:
    QLabel* m_dateLabel;
    QTimeViewButton* m_button;
    int m_itemId = 0;
};
