#include "masters/ui/frm_mst_exp.h"

#include "core/connections.h"
#include "masters/master_export.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kemnoa::masters {

frmMst_Exp::frmMst_Exp(const core::JobContext& context, QWidget* parent, core::Prompter* dialogs)
    : QWidget(parent), List1(new QListWidget(this)), cmdOk(new QPushButton(QStringLiteral("ok"), this)),
      gui_(this), prompter_(List1, dialogs ? *dialogs : gui_) {
    (void)context; // the work connection is held by the job's context for the screen's lifetime
    setWindowTitle(QStringLiteral("マスタデータFTP送信"));
    setObjectName(QStringLiteral("frmMst_Exp"));
    List1->setObjectName(QStringLiteral("List1"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List1);
    layout->addWidget(cmdOk, 0, Qt::AlignRight);
    resize(480, 360);

    connect(cmdOk, &QPushButton::clicked, this, &frmMst_Exp::cmdOk_Click);
}

void frmMst_Exp::cmdOk_Click() {
    cmdOk->setEnabled(false); // no second export while one runs
    (void)runMasterExport(prompter_, core::cnWork());
    cmdOk->setEnabled(true);
}

} // namespace kemnoa::masters
