#pragma once
// The program folder: where the executable lies, or the folder named by KEMNOA_HOME.
// The settings file, bitmaps, templates, layouts and ftplog.log live there.

#include <QString>

namespace kemnoa::core {

// The program folder, ending in the platform's separator.
QString programFolder();
// Overrides the program folder (tests); an empty text returns to the default.
void setProgramFolder(const QString& folder);

// The settings file: the executable's base name + ".ini" in the program folder,
// unless setSettingsFile named another.
QString settingsFile();
void setSettingsFile(const QString& path);

// The executable's base name ("kemnoa" for both the GUI and the job runner's settings).
QString applicationBaseName();
void setApplicationBaseName(const QString& name);

// Joins a folder and a name with exactly one separator.
QString joinPath(const QString& folder, const QString& name);
// The folder with a trailing separator added when missing.
QString withSeparator(const QString& folder);

} // namespace kemnoa::core
