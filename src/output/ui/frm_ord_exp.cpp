#include "output/ui/frm_ord_exp.h"

#include "core/connections.h"
#include "core/error.h"
#include "output/ui/ticked_list.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kemnoa::output {
namespace {

constexpr int kChk = 5;

} // namespace

frmOrd_Exp::frmOrd_Exp(const core::JobContext& context, QWidget* parent, core::Prompter* dialogs,
                       PoCreationSteps steps)
    : QWidget(parent), TDBGrid1(new QTableWidget(this)),
      cmdOk(new QPushButton(QStringLiteral("作成開始"), this)), session_(context.session), gui_(this),
      prompter_(dialogs ? *dialogs : gui_), steps_(std::move(steps)) {
    setWindowTitle(QStringLiteral("PO作成"));
    setObjectName(QStringLiteral("frmOrd_Exp"));
    TDBGrid1->setObjectName(QStringLiteral("TDBGrid1"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    prepareTickedList(TDBGrid1,
                      {QStringLiteral("PO番号"), QStringLiteral("PO区分"), QStringLiteral("納品先"),
                       QStringLiteral("名称"), QStringLiteral("希望出荷日"), QStringLiteral("Chk")});

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TDBGrid1);
    layout->addLayout(buttons);
    resize(720, 480);
    connect(cmdOk, &QPushButton::clicked, this, &frmOrd_Exp::cmdOk_Click);
    Form_Load();
}

void frmOrd_Exp::Form_Load() {
    try {
        rows_ = loadPoExpList(core::cnWork());
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
    }
    std::vector<QStringList> values;
    for (const PoExpRow& r : rows_)
        values.push_back({r.poNo, r.poKbn, r.nouCd, r.nouNm, r.kiboDate});
    fillTickedList(TDBGrid1, values, std::vector<bool>(rows_.size(), true), kChk);
}

std::vector<PoExpRow> frmOrd_Exp::rows() const {
    return withTicks(rows_, TDBGrid1, kChk);
}

void frmOrd_Exp::cmdOk_Click() {
    cmdOk->setEnabled(false); // one run per opening: the screen closes after it
    (void)runPoCreation(prompter_, core::cnWork(), core::cnPo(), core::cnSk(), rows(), session_.PoFolder,
                        templateFolder(), steps_);
    close();
}

} // namespace kemnoa::output
