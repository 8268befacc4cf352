#include "receiving/ui/frm_ord_imp.h"

#include "receiving/ftp_receive.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kemnoa::receiving {

frmOrd_Imp::frmOrd_Imp(QWidget* parent, core::Prompter* dialogs)
    : QWidget(parent), List1(new QListWidget(this)), cmdRcv(new QPushButton(QStringLiteral("FTP受信"), this)),
      cmdImp(new QPushButton(QStringLiteral("→db"), this)),
      Command1(new QPushButton(QStringLiteral("初期化（開発環境用）"), this)), gui_(this),
      prompter_(List1, dialogs ? *dialogs : gui_) {
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

    // Import side (work and PO database connections opened here, closed in the destructor, and
    // the two import commands below) is not built yet; its buttons stay disabled until it is.
    cmdImp->setEnabled(false);
    Command1->setEnabled(false);
}

frmOrd_Imp::~frmOrd_Imp() = default;

void frmOrd_Imp::cmdRcv_Click() {
    cmdRcv->setEnabled(false); // no second receive while one runs
    runFtpReceive(prompter_);
    cmdRcv->setEnabled(true);
}

void frmOrd_Imp::cmdImp_Click() {
    // The import of the received files into the work database goes here.
}

void frmOrd_Imp::Command1_Click() {
    // The delete-all command of the received orders goes here.
}

} // namespace kemnoa::receiving
