#include "maintenance/ui/frm_ord_po_cancel.h"

#include "core/connections.h"
#include "core/error.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace kemnoa::maintenance {

frmOrd_PoCancel::frmOrd_PoCancel(PoCancel which, const core::JobContext& context, QWidget* parent,
                                 core::Prompter* dialogs)
    : QWidget(parent), cmbPo(new QComboBox(this)), cmdExec(new QPushButton(QStringLiteral("実行"), this)),
      which_(which), gui_(this), prompter_(dialogs ? *dialogs : gui_) {
    (void)context; // the job holds the work connection while the screen is open
    const bool send = which == PoCancel::Send;
    setObjectName(send ? QStringLiteral("frmOrd_SendCancel") : QStringLiteral("frmOrd_PoNoCancel"));
    setWindowTitle(send ? QStringLiteral("送信解除") : QStringLiteral("PO番号解除"));
    cmbPo->setObjectName(QStringLiteral("cmbPo"));
    cmbPo->setEditable(true);
    cmbPo->setMinimumWidth(180);
    cmdExec->setObjectName(QStringLiteral("cmdExec"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("PO番号"), this));
    layout->addWidget(cmbPo, 1);
    layout->addWidget(cmdExec);
    connect(cmdExec, &QPushButton::clicked, this, &frmOrd_PoCancel::cmdExec_Click);

    QString failure;
    {
        core::BusyPointer busy(prompter_);
        try {
            cmbPo->addItems(cancellablePoNumbers(core::cnWork(), which));
        } catch (const core::Error& e) {
            failure = e.description();
        }
    }
    if (!failure.isEmpty())
        prompter_.message(QStringLiteral("以下のエラーが発生しました。\r\n\r\n") + failure,
                          QStringLiteral("お問い合わせください"), core::MsgIcon::Critical);
    cmbPo->setCurrentText(QString());
}

void frmOrd_PoCancel::cmdExec_Click() {
    if (succeeded(cancelPo(prompter_, core::cnWork(), which_, cmbPo->currentText())))
        close();
}

} // namespace kemnoa::maintenance
