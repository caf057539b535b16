// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QPixmap;

// Two pictures side by side, each scaled to fit 800 x 800.
class QComprareImageDlg : public QDialog
{
public:
    explicit QComprareImageDlg(QWidget* parent = nullptr);

    // The pictures are not owned and not kept: each label gets its own scaled copy, so the
    // caller may replace them afterwards.
    void SetImages(const QPixmap* left, const QPixmap* right);

private:
    QLabel* m_leftLabel;
    QLabel* m_rightLabel;
};
