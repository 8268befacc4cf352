#include "output/ui/frm_ord_po_no_get.h"

#include "core/connections.h"
#include "core/error.h"
#include "output/ui/ticked_list.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kemnoa::output {
namespace {

constexpr int kChk = 10;

QStringList valuesOf(const PoNoRow& r) {
    return {r.ordNo,  r.iraiNo,    r.nouCd,   r.nouNm,    r.sirCd,
            r.kessai, r.shkaPlace, r.ordDate, r.kiboDate, r.biko2};
}

} // namespace

frmOrd_PoNoGet::frmOrd_PoNoGet(const core::JobContext& context, QWidget* parent, core::Prompter* dialogs)
    : QWidget(parent), TDBGrid1(new QTableWidget(this)),
      cmdOk(new QPushButton(QStringLiteral("作成開始"), this)), gui_(this),
      prompter_(dialogs ? *dialogs : gui_) {
    (void)context; // the connections it holds are the shared ones used below
    setWindowTitle(QStringLiteral("PO番号採番"));
    setObjectName(QStringLiteral("frmOrd_PoNoGet"));
    TDBGrid1->setObjectName(QStringLiteral("TDBGrid1"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    prepareTickedList(TDBGrid1, {QStringLiteral("発注番号"), QStringLiteral("依頼番号"),
                                 QStringLiteral("納品先"), QStringLiteral("名称"), QStringLiteral("仕入先"),
                                 QStringLiteral("決済"), QStringLiteral("出荷場所"), QStringLiteral("発注日"),
                                 QStringLiteral("希望出荷日"), QString(), QStringLiteral("Chk")});

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TDBGrid1);
    layout->addLayout(buttons);
    resize(900, 520);
    connect(cmdOk, &QPushButton::clicked, this, &frmOrd_PoNoGet::cmdOk_Click);
    Form_Load();
}

void frmOrd_PoNoGet::Form_Load() {
    try {
        rows_ = loadPoNoList(core::cnWork());
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
    }
    std::vector<QStringList> values;
    for (const PoNoRow& r : rows_)
        values.push_back(valuesOf(r));
    fillTickedList(TDBGrid1, values, std::vector<bool>(rows_.size(), true), kChk);
    try {
        warnDuplicateRequests(prompter_, core::cnWork());
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
    }
}

std::vector<PoNoRow> frmOrd_PoNoGet::rows() const {
    return withTicks(rows_, TDBGrid1, kChk);
}

void frmOrd_PoNoGet::cmdOk_Click() {
    cmdOk->setEnabled(false); // one run per opening: the screen closes after it
    (void)runPoNumbering(prompter_, core::cnWork(), core::cnPo(), rows());
    close();
}

} // namespace kemnoa::output
