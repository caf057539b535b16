// SPDX-License-Identifier: MIT
#include "Export/CExportNames.h"

#include "Export/CExportSelection.h"

#include <QStringList>

namespace {

bool isDeviceName(const QString& name)
{
    // Windows maps these to devices whatever follows the first dot, and ignores trailing spaces.
    QString stem = name.section(QLatin1Char('.'), 0, 0);
    while (stem.endsWith(QLatin1Char(' ')))
        stem.chop(1);
    stem = stem.toUpper();
    static const QStringList fixed{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                   QStringLiteral("NUL")};
    if (fixed.contains(stem))
        return true;
    if (stem.size() != 4 || !(stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))))
        return false;
    const QChar digit = stem.at(3);
    // The superscript digits count as well.
    return (digit >= QLatin1Char('1') && digit <= QLatin1Char('9')) || digit == QChar(0x00B9) ||
           digit == QChar(0x00B2) || digit == QChar(0x00B3);
}

} // namespace

bool CExportNames::isSafeFolderName(const QString& name)
{
    if (name.isEmpty())
        return true;
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.toUtf8().size() > 255)
        return false;
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return false;
    // A folder of that name would stand where the export keeps its selection file.
    if (name.compare(CExportSelection::fileName(), Qt::CaseInsensitive) == 0)
        return false;
    for (const QChar ch : name) {
        if (ch.category() == QChar::Other_Control || QStringLiteral("/\\<>:\"|?*").contains(ch))
            return false;
    }
    return !isDeviceName(name);
}

QString CExportNames::nameKey(const QString& fileName)
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return fileName.toCaseFolded();
#else
    return fileName;
#endif
}

QString CExportNames::freeName(const QString& fileName, const QSet<QString>& takenKeys)
{
    if (!takenKeys.contains(nameKey(fileName)))
        return fileName;
    // "IMG_0001.jpg" -> "IMG_0001 (2).jpg"; a name without suffix (or a dot file) gets the number at the end.
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? fileName.left(dot) : fileName;
    const QString suffix = dot > 0 ? fileName.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(stem, QString::number(n), suffix);
        if (!takenKeys.contains(nameKey(candidate)))
            return candidate;
    }
}
