#pragma once

class QCoreApplication;

// Installs Qt's own Simplified Chinese texts (dialog buttons, the file dialog's labels),
// whatever the user's locale, so that they match the program's Chinese texts. Returns
// false, with a warning, when the catalogue is not installed (qt6-translations-l10n).
bool loadQtTranslations(QCoreApplication& app);
