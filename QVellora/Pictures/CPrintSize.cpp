// SPDX-License-Identifier: MIT
#include "Pictures/CPrintSize.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <algorithm>

namespace {

constexpr double millimetresPerInch = 25.4;

} // namespace

CPrintSize::CPrintSize(const QString& label, double longInches, double shortInches)
    : m_label(label), m_longInches(longInches), m_shortInches(shortInches)
{
}

const QVector<CPrintSize>& CPrintSize::all()
{
    static const QVector<CPrintSize> sizes{
        CPrintSize(QStringLiteral(QT_TRANSLATE_NOOP("CPrintSize", "5寸")), 5, 3.5),
        CPrintSize(QStringLiteral(QT_TRANSLATE_NOOP("CPrintSize", "6寸")), 6, 4),
        CPrintSize(QStringLiteral(QT_TRANSLATE_NOOP("CPrintSize", "7寸")), 7, 5),
        CPrintSize(QStringLiteral(QT_TRANSLATE_NOOP("CPrintSize", "8寸")), 8, 6),
        CPrintSize(QStringLiteral(QT_TRANSLATE_NOOP("CPrintSize", "10寸")), 10, 8),
        CPrintSize(QStringLiteral(QT_TRANSLATE_NOOP("CPrintSize", "12寸")), 12, 10),
        CPrintSize(QStringLiteral("A4"), 297 / millimetresPerInch, 210 / millimetresPerInch),
    };
    return sizes;
}

const CPrintSize& CPrintSize::standard()
{
    return all().at(1);
}

const CPrintSize& CPrintSize::byKey(const QString& key)
{
    for (const CPrintSize& size : all()) {
        if (size.key() == key)
            return size;
    }
    return standard();
}

QString CPrintSize::label() const
{
    return QCoreApplication::translate("CPrintSize", m_label.toUtf8().constData());
}

double CPrintSize::dpi(const QSize& pixels) const
{
    if (pixels.isEmpty())
        return 0;
    const int longPixels = std::max(pixels.width(), pixels.height());
    const int shortPixels = std::min(pixels.width(), pixels.height());
    return std::min(longPixels / m_longInches, shortPixels / m_shortInches);
}

CPrintSize::Grade CPrintSize::grade(const QSize& pixels) const
{
    return gradeOf(qRound(dpi(pixels)));
}

CPrintSize::Grade CPrintSize::gradeOf(int roundedDpi)
{
    if (roundedDpi >= 300)
        return Grade::Good;
    return roundedDpi >= 150 ? Grade::Acceptable : Grade::Poor;
}

QString CPrintSize::describe(const QSize& pixels) const
{
    return QCoreApplication::translate("CPrintSize", "%1 · %2×%3 像素 · %4 dpi")
        .arg(label())
        .arg(pixels.width())
        .arg(pixels.height())
        .arg(qRound(dpi(pixels)));
}
