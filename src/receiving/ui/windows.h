#pragma once
// The job windows of order receiving, by job name.

#include "core/ui/job_windows.h"
#include "receiving/import_command.h"

namespace kemnoa::receiving {

// screens: how the import opens the confirmation screens when submissions wait at its end.
void addReceivingWindows(core::ui::JobWindowRegistry& windows, const ConfirmationScreens& screens = {});

} // namespace kemnoa::receiving
