#pragma once
// The installed printers as Qt Print Support sees them.

#include "core/printer.h"

namespace kemnoa::core::ui {

class QtPrinterQuery : public PrinterQuery {
public:
    QStringList printerNames() const override;
    QString defaultPrinterName() const override;
};

} // namespace kemnoa::core::ui
