// SPDX-License-Identifier: MIT
#pragma once

#include <QSize>
#include <QString>
#include <QVector>

// The print sizes a category can be ordered in, and how sharp a picture prints at each.
//
// A picture is printed upright and fills the whole print: its long side lies along the print's
// long side (a portrait picture on a landscape print is turned), and it is scaled until it covers
// the print, the overflow being cropped. So the side that limits the resolution is the one with
// fewer pixels per inch: dpi = min(longPixels / longInches, shortPixels / shortInches). A
// 1800x1200 picture at 6寸 (4x6 in) prints at min(1800 / 6, 1200 / 4) = 300 dpi.
class CPrintSize
{
public:
    enum class Grade
    {
        Good,       // at least 300 dpi
        Acceptable, // 150 up to 300 dpi
        Poor        // below 150 dpi
    };

    // In the order the list offers them; 6寸 is the default.
    static const QVector<CPrintSize>& all();
    static const CPrintSize& standard();
    // The size stored under key (its label); the default for an empty or unknown key, so records
    // written before sizes existed, or by a later version with more sizes, still read.
    static const CPrintSize& byKey(const QString& key);

    // What "save_last.js" stores: the Chinese label, which never changes once shipped nor with
    // the interface's language.
    QString key() const { return m_label; }
    // The name the user sees, in the interface's language.
    QString label() const;
    double longInches() const { return m_longInches; }
    double shortInches() const { return m_shortInches; }

    // The resolution the picture prints at; 0 for an empty size.
    double dpi(const QSize& pixels) const;
    // Graded on the rounded resolution, the figure the user is shown: an A4 scan at 3508x2480 is
    // 299.96 dpi on its short side and counts as the 300 dpi it was made for.
    Grade grade(const QSize& pixels) const;
    static Grade gradeOf(int roundedDpi);
    // "6寸 · 1200×900 像素 · 200 dpi"
    QString describe(const QSize& pixels) const;

private:
    CPrintSize(const QString& label, double longInches, double shortInches);

    QString m_label;
    double m_longInches = 0;
    double m_shortInches = 0;
};
