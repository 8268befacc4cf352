#include "core/ui/qt_printer_query.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace kemnoa::core::ui {

QStringList QtPrinterQuery::printerNames() const {
    return QPrinterInfo::availablePrinterNames();
}

QString QtPrinterQuery::defaultPrinterName() const {
    return QPrinterInfo::defaultPrinterName();
}

void applyCurrentPrinter(QPrinter& printer) {
    const QString name = currentPrinter();
    printer.setPrinterName(name.isEmpty() ? QPrinterInfo::defaultPrinterName() : name);
}

} // namespace kemnoa::core::ui
