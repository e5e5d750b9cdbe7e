// Qt's own Japanese texts for the standard dialogs (colours, files, printing, buttons).
#pragma once

/// Installs Qt's Japanese translation, whatever the user's locale: the program speaks only
/// Japanese, so its standard dialogs must too. Call once after the application object exists.
/// False when the translation is not installed (the dialogs then stay in English).
bool InstallQtTranslations();
