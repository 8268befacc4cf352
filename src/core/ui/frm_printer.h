#pragma once
// The printer-choice window. Callers run it with exec() and read SelectedPrinter afterwards:
// empty means no printer was chosen.

#include "core/printer.h"
#include "core/session.h"

#include <QDialog>

class QComboBox;
class QPushButton;

namespace kemnoa::core::ui {

class frmPrinter : public QDialog {
    Q_OBJECT
public:
    frmPrinter(Session& session, const PrinterQuery& printers, Prompter& prompter, QWidget* parent = nullptr);

    QComboBox* cmbPrinter;
    QPushButton* cmdOk;

    // The close box (and Esc): no printer chosen.
    void reject() override;

private:
    void cmdOk_Click();

    Session& session_;
    const PrinterQuery& printers_;
    Prompter& prompter_;
};

} // namespace kemnoa::core::ui
