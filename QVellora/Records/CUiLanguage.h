// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

// The language of the interface. The texts in the code are Chinese; English comes from the
// translation compiled into the program. What is written to record files never depends on it.
class CUiLanguage
{
public:
    // The choice kept in the options file, as its stored word.
    static inline const QString followSystem = QStringLiteral("system");
    static inline const QString chinese = QStringLiteral("zh");
    static inline const QString english = QStringLiteral("en");

    // "zh" or "en" for a stored choice and the desktop's preferred languages (most wanted first).
    // Following the system, the first Chinese or other named language decides; a desktop that
    // names none (the "C" locale) keeps the program's own Chinese.
    static QString resolve(const QString& choice, const QStringList& uiLanguages);
    // A stored word that is none of the three reads as following the system.
    static QString normalisedChoice(const QString& stored);

    // Installs the program's and Qt's own translations for "zh" or "en" into the application.
    // False when the program's English translation could not be loaded (the texts stay Chinese).
    static bool install(QCoreApplication* application, const QString& language);
};
