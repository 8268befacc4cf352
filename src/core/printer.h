#pragma once
// Printers: the installed-printer list behind an interface (the Qt implementation lives in the
// widget library), the program's current printer and MF_PrinterSet.

#include "core/prompter.h"

#include <QString>
#include <QStringList>

namespace kemnoa::core {

class PrinterQuery {
public:
    virtual ~PrinterQuery() = default;
    // Device names of the installed printers, in the system's order.
    virtual QStringList printerNames() const = 0;
    // The system default printer's name; empty when there is none.
    virtual QString defaultPrinterName() const = 0;
};

// The printer that receives the program's next print job; empty means the system default.
// Print jobs read it when they set up their printer; programs the job starts afterwards get it as
// their default printer through the PRINTER and LPDEST environment variables.
QString currentPrinter();
void setCurrentPrinter(const QString& name);
// The current printer, or the system default when none was chosen.
QString currentPrinterName(const PrinterQuery& printers);

// Makes the installed printer of exactly that name the program's current printer: 0 done,
// -1 not found (after "プリンタが見つかりません。"). Switching back is a call with the old name.
// The switch lasts for this program and the programs it starts; the system-wide default is left
// alone, so nothing stays switched after the program ends.
qint16 MF_PrinterSet(const QString& name, const PrinterQuery& printers, Prompter& prompter);

} // namespace kemnoa::core
