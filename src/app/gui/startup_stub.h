#pragma once
// Start-up before the login window, until the shared start-up procedure takes its place: settings
// file, work-database check, fixed company values, computer name, printers and the remembered login.

#include "core/printer.h"
#include "core/prompter.h"

namespace kemnoa::gui {

// True when start-up succeeded and the login window may be shown; false after its messages.
bool runStartup(core::Prompter& prompter, const core::PrinterQuery& printers);

} // namespace kemnoa::gui
