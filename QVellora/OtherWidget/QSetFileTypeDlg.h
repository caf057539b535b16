// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QStringList>

class CPhotoFilter;
class QCheckBox;
class QLabel;

// "设置照片类型": which picture types a photo search considers. The window keeps one for the
// whole run; the boxes keep their state between openings. It has no OK button: the user
// closes it and the choice stands.
class QSetFileTypeDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QSetFileTypeDlg(QWidget* parent = nullptr);

    // Lower-case suffixes of the ticked boxes, in the order jpg, png, bmp; empty when none is.
    QStringList GetFileTypes();

    // The boxes from a filter's suffixes, and the ticked types into a filter's suffixes.
    void SetFilter(const CPhotoFilter& filter);
    void ApplyTo(CPhotoFilter& filter);

private:
    QLabel* m_captionLabel;
    QCheckBox* m_jpgBox;
    QCheckBox* m_pngBox;
    QCheckBox* m_bmpBox;
    QStringList m_typeList;
};
