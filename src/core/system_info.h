#pragma once
// What the program asks the system about itself: computer name and version text.

#include "core/prompter.h"

#include <QString>

namespace kemnoa::core {

// The workstation's computer name (at most 15 characters, as a Windows computer name);
// empty after a message when the system gives none.
QString GetSelfComputerName(Prompter& prompter);
// Overrides the name the system reports (tests); nothing returns to the system's.
void setComputerNameForTesting(const std::optional<QString>& name);

// "Version " + major.minor.revision of the program.
QString versionText();

} // namespace kemnoa::core
