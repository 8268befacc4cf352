#pragma once
// Undoing steps of the PO road for one PO number: the send cancel returns a sent PO's orders to
// unsent ('9'); the PO-number cancel takes the number (and the PO's print and production rows)
// away from a PO's unsent orders. Each runs in one transaction.

#include "core/outcome.h"
#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QStringList>

namespace kemnoa::maintenance {

enum class PoCancel { Send, PoNumber };

// The PO numbers a screen offers, each once, ascending: sent POs for the send cancel, numbered
// unsent ones for the PO-number cancel. Throws core::Error.
QStringList cancellablePoNumbers(db::Connection& work, PoCancel which);

// Runs the cancel for PO number p (and only kind k when k is given). An empty p, a PO that is not
// there in the state the cancel needs, and a database failure (rolled back) are reported in their
// message boxes and give Failed; success says "解除しました。".
core::Outcome cancelPo(core::Prompter& prompter, db::Connection& work, PoCancel which, const QString& p,
                       const QString& k = {});

} // namespace kemnoa::maintenance
