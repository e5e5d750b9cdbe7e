// Qt's own Japanese texts for the standard dialogs.
#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallQtTranslations()
{
    // Owned by the application, so it lives exactly as long as the texts are needed.
    auto *translator = new QTranslator(QCoreApplication::instance());
    // By file name, not by QLocale::system(): a German or C locale must still get Japanese.
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
