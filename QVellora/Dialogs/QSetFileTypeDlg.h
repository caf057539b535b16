// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class CPhotoFilter;
class QCheckBox;
class QLabel;

// "设置照片类型": which picture types a photo search considers. The window keeps one for the
// whole run; the boxes keep their state between openings. It has no OK button: the user
// closes it and the choice stands. A type whose image plugin is missing is greyed out and
// cleared, its tooltip naming the package that brings the plugin.
class QSetFileTypeDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QSetFileTypeDlg(QWidget* parent = nullptr);

    // Lower-case suffixes of the ticked boxes, in the boxes' order (jpg, png, bmp, heic, heif,
    // webp, avif, tif, tiff); empty when none is.
    QStringList GetFileTypes();

    // The boxes from a filter's suffixes, and the ticked types into a filter's suffixes.
    void SetFilter(const CPhotoFilter& filter);
    void ApplyTo(CPhotoFilter& filter);

private:
    QLabel* m_captionLabel;
    // One per CPictureFormats::all() entry, in that order.
    QList<QCheckBox*> m_typeBoxes;
    QStringList m_typeList;
};
