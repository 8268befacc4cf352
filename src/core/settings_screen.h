#pragma once
// The settings screen's values (frmSetting): server and database names of the four databases and
// the working folders, loaded from the session and saved to the settings file on OK.

#include "core/session.h"

#include <QString>
#include <QStringList>
#include <array>

namespace kemnoa::core {

inline constexpr int SettingDbRows = 4;   // work, PO, SK, office computer
inline constexpr int SettingDirRows = 12; // PO, confirmation data, order files, nine spare rows
inline constexpr int SettingSavedDirRows = 3;

struct SettingScreenValues {
    std::array<QString, SettingDbRows> server;
    std::array<QString, SettingDbRows> db;
    std::array<QString, SettingDirRows> dir;
};

// Row labels of the two tabs.
const QStringList& settingDbLabels();
const QStringList& settingDirLabels();

// The values the screen shows on opening; the spare folder rows are empty.
SettingScreenValues loadSettingScreen(const Session& session);

// OK: writes the eleven values to the settings file in their order, then copies them into the
// session. Spare folder rows are never written. A failed write does not stop the others; the result
// is false when any value did not reach the file.
bool saveSettingScreen(const SettingScreenValues& values, const QString& settingsPath, Session& session);

} // namespace kemnoa::core
