#pragma once
// The job runner's printing: the master listings and the registration requests, to a PDF file or to
// the print spooler's queue (the program's current printer, else the spooler's default).

#include "care_masters/care_symbols.h"
#include "core/job.h"

namespace kemnoa::care_masters {

// print ehj|fuki [--pdf OUT] [--from N --to N | KEY...]
// print request ehj|fuki ID [--pdf OUT]
core::Outcome runPrintCommand(core::JobContext& context, const QStringList& args);

} // namespace kemnoa::care_masters
