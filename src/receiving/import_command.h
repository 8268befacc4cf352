#pragma once
// The import commands of the order-file screen wired to the shared connections: the import of every
// order file in LocalFolder into cnWork with the master check of each new order and the FTP log,
// and the delete-all command. Their job holds the work and PO connections (kinds 1 and 3).

#include "core/job.h"

#include <functional>

namespace kemnoa::receiving {

struct ConfirmationScreens {
    std::function<void()> openEhj;  // frmKakunin_Ehj
    std::function<void()> openFuki; // frmKakunin_Fuki
};

// cmdImp_Click over LocalFolder: Done when it ran to its end (the screen then closes).
core::Outcome runOrderImport(core::JobContext& context, const ConfirmationScreens& screens = {});
// Command1_Click: deletes every received order after the password.
core::Outcome runDeleteAllOrders(core::JobContext& context);

} // namespace kemnoa::receiving
