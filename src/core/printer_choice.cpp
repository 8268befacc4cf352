#include "core/printer_choice.h"

namespace kemnoa::core {

PrinterChoiceList openPrinterChoice(const PrinterQuery& printers, Prompter& prompter,
                                    const Session& session) {
    PrinterChoiceList list;
    if (printers.defaultPrinterName().isEmpty()) {
        prompter.message(QStringLiteral("プリンタが一つも見つかりません。"), QStringLiteral("印刷不可能"),
                         MsgIcon::Critical);
        return list;
    }
    list.names = printers.printerNames();
    list.preselected = session.SelectedPrinter.isEmpty() ? session.DefaultPrinter : session.SelectedPrinter;
    return list;
}

bool acceptPrinterChoice(const QString& text, const PrinterQuery& printers, Prompter& prompter,
                         Session& session) {
    if (!printers.printerNames().contains(text)) {
        prompter.message(QStringLiteral("プリンタが見つかりません。"), QStringLiteral("エラー"),
                         MsgIcon::Critical);
        return false;
    }
    session.SelectedPrinter = text;
    MF_PrinterSet(text, printers, prompter);
    return true;
}

void cancelPrinterChoice(Session& session) {
    session.SelectedPrinter.clear();
}

} // namespace kemnoa::core
