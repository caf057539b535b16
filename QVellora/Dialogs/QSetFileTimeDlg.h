// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QDialog>

class CPhotoFilter;
class QDateTimeEdit;
class QLabel;

// "设置照片时间": the window of modification times a photo search considers, both bounds
// exclusive. It starts at the filter's default window (2000-01-01 to the start of tomorrow)
// and keeps the user's values between openings. It has no OK button: the user closes it.
class QSetFileTimeDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QSetFileTimeDlg(QWidget* parent = nullptr);

    QDateTime GetBeginTime() const;
    QDateTime GetEndTime() const;

    void SetFilter(const CPhotoFilter& filter);
    void ApplyTo(CPhotoFilter& filter) const;

private:
    QLabel* m_beginLabel;
    QLabel* m_endLabel;
    QDateTimeEdit* m_beginEdit;
    QDateTimeEdit* m_endEdit;
};
