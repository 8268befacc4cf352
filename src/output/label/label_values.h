#pragma once
// What a label shows of its print record: every column as a text field under its own name, a few
// fields made of several columns, and the care-symbol pictures. The field names are listed in
// docs/labels.md.

#include "output/label/print_record.h"
#include "platform/report/report.h"

namespace kemnoa::label {

// Whether a code may name a file of the program folder (a care-symbol code, a layout code): ASCII
// letters, digits, "_" and "-" only, at most 40 characters.
bool isSafeCode(const QString& code);

// The values of one label. bmpFolder: the folder of the care-symbol pictures (BMP/ of the program
// folder); a code without its picture shows none.
report::PageValues labelValues(const PrintRecord& record, const QString& bmpFolder);

} // namespace kemnoa::label
