#pragma once
// Qt's own texts (the buttons of message boxes and dialogs, the standard dialogs) in Japanese, like the
// rest of the program.

class QCoreApplication;

namespace kemnoa::core::ui {

// Installs Qt's Japanese translations into the application. False when they are not installed
// (Debian package qt6-translations-l10n): Qt's texts then stay in English.
bool installQtJapanese(QCoreApplication& app);

} // namespace kemnoa::core::ui
