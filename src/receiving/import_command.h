#pragma once
// The import commands of the order-file screen wired to the shared connections: the import of every
// order file in LocalFolder into cnWork with the master check of each new order and the FTP log,
// and the delete-all command. Their job holds the work and PO connections (kinds 1 and 3).

#include "core/job.h"
#include "receiving/order_import.h"

#include <functional>

namespace kemnoa::receiving {

struct ConfirmationScreens {
    std::function<void()> openEhj;  // frmKakunin_Ehj
    std::function<void()> openFuki; // frmKakunin_Fuki
};

// cmdImp_Click over LocalFolder: Done when it ran to its end (the screen then closes) or found no
// order file (nothing to do), DoneWithFailures when it ran to its end but set a file aside as "err",
// Failed when it stopped. Sets the context's summary; *tally, when given, receives the counts.
core::Outcome runOrderImport(core::JobContext& context, const ConfirmationScreens& screens = {},
                             ImportTally* tally = nullptr);
// Command1_Click: deletes every received order after the password; Failed for a wrong password.
core::Outcome runDeleteAllOrders(core::JobContext& context);

} // namespace kemnoa::receiving
