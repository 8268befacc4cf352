#pragma once
// An order file read through the Jet layer: parsed in an isolated child process within the limits,
// its rows read back from what the child decoded.

#include "platform/jet/decoded_rows.h"
#include "receiving/order_file.h"

namespace kemnoa::receiving {

// Opens the file (throws core::Error when it is missing, damaged, no Access database or over the
// limits; the description then names the limit).
std::unique_ptr<OrderFile> openJetOrderFile(const QString& path, const jet::ReadLimits& limits = {});

} // namespace kemnoa::receiving
