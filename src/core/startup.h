#pragma once
// The start-up sequence before the login window: settings, the work database check, the fixed
// company values, computer name, printers and the remembered login.

#include "core/printer.h"
#include "core/prompter.h"

namespace kemnoa::core {

// Runs start-up after the single-instance check. True when the login window is to be shown;
// false after the failure has been reported, and the program then ends.
bool runStartup(Prompter& prompter, const PrinterQuery& printers);

} // namespace kemnoa::core
