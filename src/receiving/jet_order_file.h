#pragma once
// An order file read through the Jet layer.

#include "receiving/order_file.h"

namespace kemnoa::receiving {

// Opens the file (throws core::Error when it is missing, damaged or no Access database).
std::unique_ptr<OrderFile> openJetOrderFile(const QString& path);

} // namespace kemnoa::receiving
