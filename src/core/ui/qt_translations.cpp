#include "core/ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kemnoa::core::ui {

bool installQtJapanese(QCoreApplication& app) {
    // The program speaks Japanese whatever the workstation's locale, so the language is fixed here.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace kemnoa::core::ui
