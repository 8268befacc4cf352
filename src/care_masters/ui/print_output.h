#pragma once
// Where the screens' prints go: a print preview of the document on the program's current printer,
// from which it is printed. Tests put a sink of their own in its place.

#include "core/printer.h"
#include "platform/report/report.h"

#include <functional>
#include <memory>

class QWidget;

namespace kemnoa::care_masters {

using PrintSink = std::function<void(const report::Document&)>;

// Shows the print preview window (modal) for the document on its printer.
void previewAndPrint(const report::Document& document, QWidget* parent);

// A report control delivering to the sink; printer names are checked against the installed printers
// when a list is given.
std::unique_ptr<report::DocumentReport> screenReport(PrintSink sink, const core::PrinterQuery* printers);

// The program's current printer's name (the system default when none was chosen).
QString screenPrinterName(const core::PrinterQuery* printers);

} // namespace kemnoa::care_masters
