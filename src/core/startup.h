#pragma once
// The start-up sequence before the login window: settings, the work database check, the fixed
// company values, computer name, printers and the remembered login.

#include "core/outcome.h"
#include "core/printer.h"
#include "core/prompter.h"

namespace kemnoa::core {

// Runs start-up after the single-instance check: Done when the login window is to be shown, Failed
// after the failure has been reported (the program then ends).
Outcome runStartup(Prompter& prompter, const PrinterQuery& printers);

} // namespace kemnoa::core
