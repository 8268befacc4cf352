#pragma once
// Reading the settings file into the session values at start-up.

#include "core/outcome.h"
#include "core/prompter.h"

namespace kemnoa::core {

// Reads the settings file (settingsFile()) into session(). On failure shows the error with the title
// "MF_FirstSetting" and returns Failed: a missing file ("settings file not found: PATH"), a file saved
// as UTF-8, a character that is not code page 932 (naming the file, section and key). A missing key
// is no failure.
Outcome MF_FirstSetting(Prompter& prompter);

// True for settings text an editor saved as UTF-8 (a byte order mark, or valid UTF-8 with characters
// beyond ASCII).
bool settingsTextIsUtf8(const QByteArray& bytes);

// Writes KEY=VALUE into SECTION of the settings file in code page 932, creating the file (readable
// by its owner only) when missing. A file saved as UTF-8 is converted to code page 932 first. A
// failure is shown with the title "settings" and gives Failed.
Outcome setSettingsValue(Prompter& prompter, const QString& section, const QString& key,
                         const QString& value);

// The sections of the four databases that are in the settings file without a PROVIDER, as
// "[SECTION]" names; such a section cannot be connected, so the database jobs refuse it.
QStringList databaseSectionsWithoutProvider();

// The connection time-out rule: 0 (also a value that is not a number) means 20 seconds.
qint32 connectTimeoutFrom(qint32 read);

} // namespace kemnoa::core
