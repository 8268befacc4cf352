#pragma once
// Where the desktop program learns which window each job code opens.

#include "core/printer.h"
#include "core/prompter.h"
#include "core/ui/job_windows.h"

namespace kemnoa::gui {

// What job windows may need from the program.
struct GuiContext {
    core::Prompter& prompter;
    const core::PrinterQuery& printers;
};

// Registers the job windows of every subsystem built so far. Each subsystem's widget library offers
// a function such as `void registerReceivingWindows(JobWindowRegistry&, ...)`, called from here.
void registerJobWindows(core::ui::JobWindowRegistry& registry, GuiContext& context);

} // namespace kemnoa::gui
