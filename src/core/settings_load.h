#pragma once
// Reading the settings file into the session values at start-up.

#include "core/outcome.h"
#include "core/prompter.h"

namespace kemnoa::core {

// Reads the settings file (settingsFile()) into session(). On failure shows the error with the title
// "MF_FirstSetting" and returns Failed. A missing file or key is no failure.
Outcome MF_FirstSetting(Prompter& prompter);

// The connection time-out rule: 0 (also a value that is not a number) means 20 seconds.
qint32 connectTimeoutFrom(qint32 read);

} // namespace kemnoa::core
