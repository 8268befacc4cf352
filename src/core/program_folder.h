#pragma once
// The program folder: the folder named by KEMNOA_HOME; otherwise, for a program installed under
// <prefix>/bin with its data in <prefix>/share/kemnoa, the workstation's own folder
// ($XDG_CONFIG_HOME/kemnoa, ~/.config/kemnoa by default); otherwise where the executable lies (a build
// tree). The settings file, bitmaps, templates, layouts and ftplog.log live there.

#include <QString>

namespace kemnoa::core {

// The program folder, ending in the platform's separator.
QString programFolder();
// The default rule above for an executable in executableFolder, with KEMNOA_HOME's value env.
QString programFolderFor(const QString& executableFolder, const QString& env);
// The installed data of an executable in executableFolder (<prefix>/share/kemnoa/ beside
// <prefix>/bin/), ending in a separator; empty when there is none (a build tree).
QString installedDataFolder(const QString& executableFolder);
// The per-workstation program folder of an installed program, ending in a separator.
QString workstationFolder();
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
