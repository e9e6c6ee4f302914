#include "shell/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool loadQtTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        app.installTranslator(translator))
        return true;
    delete translator;
    qWarning("kivo: Qt's Chinese texts are missing (qt6-translations-l10n): its own buttons "
             "stay in English");
    return false;
}
