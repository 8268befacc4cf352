#pragma once
// The import commands of the order-file screen wired to the shared connections: the import of every
// order file in LocalFolder into cnWork with the master check of each new order and the FTP log,
// and the delete-all command. The screen (and kemnoa-cli) open the work and PO connections
// (dbOpen kinds 1 and 3) before and close them after.

#include "core/prompter.h"

#include <functional>

namespace kemnoa::receiving {

struct ConfirmationScreens {
    std::function<void()> openEhj;  // frmKakunin_Ehj
    std::function<void()> openFuki; // frmKakunin_Fuki
};

// cmdImp_Click over LocalFolder; true when it ran to its end (the screen then closes).
bool runOrderImport(core::Prompter& prompter, const ConfirmationScreens& screens = {});
// Command1_Click: deletes every received order after the password.
void runDeleteAllOrders(core::Prompter& prompter);

} // namespace kemnoa::receiving
