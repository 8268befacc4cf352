#pragma once
// An order file read through the Jet layer: parsed in an isolated child process within the limits,
// its rows read back from what the child decoded.

#include "platform/jet/decoded_rows.h"
#include "platform/jet/jet_parser.h"
#include "receiving/order_file.h"

namespace kemnoa::receiving {

// Opens the file (throws core::Error when it is missing, damaged, no Access database or over the
// limits; the description then names the limit).
std::unique_ptr<OrderFile> openJetOrderFile(const QString& path, const jet::ReadLimits& limits = {});

// Opens the order files of one import, one after another, through one parsing child kept for the
// import. While a file is being imported, the child already parses the one the import takes next
// (the next in name order), so reading and writing share the two halves of the work.
class JetOrderFiles {
public:
    explicit JetOrderFiles(const jet::ReadLimits& limits = {});
    // As openJetOrderFile.
    std::unique_ptr<OrderFile> open(const QString& path);

private:
    jet::JetParser parser_;
};

} // namespace kemnoa::receiving
