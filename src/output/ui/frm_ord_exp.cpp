#include "output/ui/frm_ord_exp.h"

#include "core/connections.h"
#include "core/error.h"

#include <QHBoxLayout>
#include <QHeaderView>
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
    TDBGrid1->setColumnCount(6);
    TDBGrid1->setHorizontalHeaderLabels({QStringLiteral("PO番号"), QStringLiteral("PO区分"),
                                         QStringLiteral("納品先"), QStringLiteral("名称"),
                                         QStringLiteral("希望出荷日"), QStringLiteral("Chk")});
    TDBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers); // only the tick can change
    TDBGrid1->verticalHeader()->setVisible(false);

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
    TDBGrid1->setRowCount(int(rows_.size()));
    for (int i = 0; i < int(rows_.size()); ++i) {
        const PoExpRow& r = rows_[std::size_t(i)];
        const QStringList values = {r.poNo, r.poKbn, r.nouCd, r.nouNm, r.kiboDate};
        for (int c = 0; c < values.size(); ++c)
            TDBGrid1->setItem(i, c, new QTableWidgetItem(values[c]));
        auto* tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        tick->setCheckState(Qt::Checked);
        TDBGrid1->setItem(i, kChk, tick);
    }
    TDBGrid1->resizeColumnsToContents();
}

std::vector<PoExpRow> frmOrd_Exp::rows() const {
    std::vector<PoExpRow> out = rows_;
    for (int i = 0; i < int(out.size()); ++i)
        out[std::size_t(i)].chk = TDBGrid1->item(i, kChk)->checkState() == Qt::Checked;
    return out;
}

void frmOrd_Exp::cmdOk_Click() {
    cmdOk->setEnabled(false); // one run per opening: the screen closes after it
    (void)runPoCreation(prompter_, core::cnWork(), core::cnPo(), core::cnSk(), rows(), session_.PoFolder,
                        templateFolder(), steps_);
    close();
}

} // namespace kemnoa::output
