#include "receiving/ui/frm_ord_imp.h"

#include "receiving/ftp_receive.h"
#include "receiving/import_command.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kemnoa::receiving {

frmOrd_Imp::frmOrd_Imp(const core::JobContext& context, QWidget* parent, core::Prompter* dialogs,
                       ConfirmationScreens screens)
    : QWidget(parent), List1(new QListWidget(this)), cmdRcv(new QPushButton(QStringLiteral("FTP受信"), this)),
      cmdImp(new QPushButton(QStringLiteral("→db"), this)),
      Command1(new QPushButton(QStringLiteral("初期化（開発環境用）"), this)), gui_(this),
      prompter_(List1, dialogs ? *dialogs : gui_), context_(context.with(prompter_)),
      screens_(std::move(screens)) {
    setWindowTitle(QStringLiteral("読み込み"));
    setObjectName(QStringLiteral("frmOrd_Imp"));
    List1->setObjectName(QStringLiteral("List1"));
    cmdRcv->setObjectName(QStringLiteral("cmdRcv"));
    cmdImp->setObjectName(QStringLiteral("cmdImp"));
    Command1->setObjectName(QStringLiteral("Command1"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRcv);
    buttons->addWidget(cmdImp);
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(List1);
    resize(640, 420);

    connect(cmdRcv, &QPushButton::clicked, this, &frmOrd_Imp::cmdRcv_Click);
    connect(cmdImp, &QPushButton::clicked, this, &frmOrd_Imp::cmdImp_Click);
    connect(Command1, &QPushButton::clicked, this, &frmOrd_Imp::Command1_Click);
}

void frmOrd_Imp::setBusyButtons(bool busy) {
    cmdRcv->setEnabled(!busy);
    cmdImp->setEnabled(!busy);
    Command1->setEnabled(!busy);
}

void frmOrd_Imp::cmdRcv_Click() {
    cmdRcv->setEnabled(false); // no second receive while one runs
    runFtpReceive(prompter_);
    cmdRcv->setEnabled(true);
}

void frmOrd_Imp::cmdImp_Click() {
    setBusyButtons(true); // no second command while the import runs
    ImportTally tally;
    const core::Outcome outcome = runOrderImport(context_, screens_, &tally);
    setBusyButtons(false);
    if (succeeded(outcome) && !tally.noFiles) // the screen stays open when there was nothing to import
        close();
}

void frmOrd_Imp::Command1_Click() {
    (void)runDeleteAllOrders(context_);
}

} // namespace kemnoa::receiving
