#pragma once
// Start-up until the shared start-up sequence is merged: the session values the windows need.

#include "core/printer.h"
#include "core/prompter.h"

namespace kemnoa::gui {

// True when start-up succeeded and the login window may be shown.
bool runStartup(core::Prompter& prompter, const core::PrinterQuery& printers);

} // namespace kemnoa::gui
