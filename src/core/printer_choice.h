#pragma once
// The printer-choice window's logic (frmPrinter): the list it offers, "ok" and the close box.

#include "core/printer.h"
#include "core/session.h"

namespace kemnoa::core {

struct PrinterChoiceList {
    QStringList names;
    QString preselected; // empty: nothing preselected
};

// Opening: every installed printer, the earlier choice or else the default preselected. With no
// default printer it says "プリンタが一つも見つかりません。" and offers nothing.
PrinterChoiceList openPrinterChoice(const PrinterQuery& printers, Prompter& prompter, const Session& session);

// "ok" with the list box's text: true when the printer was chosen and the window closes.
bool acceptPrinterChoice(const QString& text, const PrinterQuery& printers, Prompter& prompter,
                         Session& session);

// The window closed without "ok": no printer chosen.
void cancelPrinterChoice(Session& session);

} // namespace kemnoa::core
