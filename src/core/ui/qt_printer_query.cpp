#include "core/ui/qt_printer_query.h"

#include <QPrinterInfo>

namespace kemnoa::core::ui {

QStringList QtPrinterQuery::printerNames() const {
    return QPrinterInfo::availablePrinterNames();
}

QString QtPrinterQuery::defaultPrinterName() const {
    return QPrinterInfo::defaultPrinterName();
}

} // namespace kemnoa::core::ui
