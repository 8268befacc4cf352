#pragma once
// The installed printers as Qt Print Support sees them.

#include "core/printer.h"

class QPrinter;

namespace kemnoa::core::ui {

class QtPrinterQuery : public PrinterQuery {
public:
    QStringList printerNames() const override;
    QString defaultPrinterName() const override;
};

// Points a print job at the program's current printer (MF_PrinterSet); without one the job goes to
// the system default printer.
void applyCurrentPrinter(QPrinter& printer);

} // namespace kemnoa::core::ui
