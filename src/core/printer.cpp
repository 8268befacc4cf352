#include "core/printer.h"

namespace kemnoa::core {

namespace {
QString g_currentPrinter;
}

QString currentPrinter() {
    return g_currentPrinter;
}

void setCurrentPrinter(const QString& name) {
    g_currentPrinter = name;
    for (const char* variable : {"PRINTER", "LPDEST"}) {
        if (name.isEmpty())
            qunsetenv(variable);
        else
            qputenv(variable, name.toLocal8Bit());
    }
}

QString currentPrinterName(const PrinterQuery& printers) {
    return g_currentPrinter.isEmpty() ? printers.defaultPrinterName() : g_currentPrinter;
}

qint16 MF_PrinterSet(const QString& name, const PrinterQuery& printers, Prompter& prompter) {
    if (!printers.printerNames().contains(name)) {
        prompter.message(QStringLiteral("プリンタが見つかりません。"), QString(), MsgIcon::Critical);
        return -1;
    }
    setCurrentPrinter(name);
    prompter.processEvents();
    return 0;
}

} // namespace kemnoa::core
