#include "core/ui/frm_printer.h"

#include "core/printer_choice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace kemnoa::core::ui {

frmPrinter::frmPrinter(Session& session, const PrinterQuery& printers, Prompter& prompter, QWidget* parent)
    : QDialog(parent), session_(session), printers_(printers), prompter_(prompter) {
    setWindowTitle(QStringLiteral("プリンタの選択"));
    cmbPrinter = new QComboBox(this);
    cmbPrinter->setEditable(true);
    cmbPrinter->setInsertPolicy(QComboBox::NoInsert);
    cmbPrinter->setMinimumWidth(280);
    cmdOk = new QPushButton(QStringLiteral("ok"), this);
    cmdOk->setDefault(true);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(cmbPrinter, 1);
    layout->addWidget(cmdOk);
    connect(cmdOk, &QPushButton::clicked, this, &frmPrinter::cmdOk_Click);

    const PrinterChoiceList list = openPrinterChoice(printers_, prompter_, session_);
    cmbPrinter->addItems(list.names);
    const int preselected = list.names.indexOf(list.preselected);
    cmbPrinter->setCurrentIndex(preselected);
    if (preselected < 0)
        cmbPrinter->setEditText(list.preselected);
}

void frmPrinter::cmdOk_Click() {
    if (acceptPrinterChoice(cmbPrinter->currentText(), printers_, prompter_, session_))
        accept();
}

void frmPrinter::reject() {
    cancelPrinterChoice(session_);
    QDialog::reject();
}

} // namespace kemnoa::core::ui
