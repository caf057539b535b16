// SPDX-License-Identifier: MIT
#include "Records/CUiLanguage.h"

#include "CLogging.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

// Outside any namespace, as Q_INIT_RESOURCE requires: the translations live in a static library,
// whose resource initialiser the linker would otherwise drop.
static void initTranslationResources()
{
    Q_INIT_RESOURCE(translations);
}

QString CUiLanguage::normalisedChoice(const QString& stored)
{
    if (stored == chinese || stored == english)
        return stored;
    return followSystem;
}

QString CUiLanguage::resolve(const QString& choice, const QStringList& uiLanguages)
{
    const QString chosen = normalisedChoice(choice);
    if (chosen != followSystem)
        return chosen;
    for (const QString& language : uiLanguages) {
        if (language.isEmpty() || language == QLatin1String("C") || language == QLatin1String("POSIX"))
            continue;
        return language.startsWith(QLatin1String("zh"), Qt::CaseInsensitive) ? chinese : english;
    }
    return chinese;
}

bool CUiLanguage::install(QCoreApplication* application, const QString& language)
{
    initTranslationResources();
    // Qt's own dialogs (file dialogs, message box buttons) in the same language.
    auto* qt = new QTranslator(application);
    const QString qtName = language == english ? QStringLiteral("qtbase_en") : QStringLiteral("qtbase_zh_CN");
    if (qt->load(qtName, QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        application->installTranslator(qt);
    else
        qCDebug(lcPages) << "no Qt translation" << qtName;
    if (language != english)
        return true;
    auto* own = new QTranslator(application);
    if (!own->load(QStringLiteral(":/translations/vellora_en.qm"))) {
        qCWarning(lcPages) << "the English translation could not be loaded";
        delete own;
        return false;
    }
    application->installTranslator(own);
    return true;
}
