#include "output/ui/frm_ord_kakunin.h"

#include "core/connections.h"
#include "core/error.h"
#include "output/ui/ticked_list.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kemnoa::output {
namespace {

constexpr int kChk = 6;

} // namespace

frmOrd_Kakunin::frmOrd_Kakunin(const core::JobContext& context, QWidget* parent, core::Prompter* dialogs)
    : QWidget(parent), TDBGrid1(new QTableWidget(this)),
      optPdfWriter(new QRadioButton(QStringLiteral("PDFWriter"), this)),
      optDistiller(new QRadioButton(QStringLiteral("Distiller J"), this)),
      cmdAllSelect(new QPushButton(QStringLiteral("全部選択"), this)),
      cmdAllCancel(new QPushButton(QStringLiteral("全部解除"), this)),
      cmdOk(new QPushButton(QStringLiteral("作成開始"), this)), context_(context), gui_(this),
      prompter_(dialogs ? *dialogs : gui_) {
    setWindowTitle(QStringLiteral("確認データ作成"));
    setObjectName(QStringLiteral("frmOrd_Kakunin"));
    TDBGrid1->setObjectName(QStringLiteral("TDBGrid1"));
    optPdfWriter->setObjectName(QStringLiteral("optPdfWriter"));
    optDistiller->setObjectName(QStringLiteral("optDistiller"));
    cmdAllSelect->setObjectName(QStringLiteral("cmdAllSelect"));
    cmdAllCancel->setObjectName(QStringLiteral("cmdAllCancel"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    prepareTickedList(TDBGrid1, {QStringLiteral("PO番号"), QStringLiteral("PO区分"), QString(), QString(),
                                 QString(), QStringLiteral("希望出荷日"), QStringLiteral("Chk")});
    for (int c = 2; c <= 4; ++c)
        TDBGrid1->setColumnHidden(c, true); // empty columns of the list

    auto* group = new QButtonGroup(this);
    group->addButton(optPdfWriter, 0);
    group->addButton(optDistiller, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(optPdfWriter);
    options->addWidget(optDistiller);
    options->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdAllSelect);
    buttons->addWidget(cmdAllCancel);
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(TDBGrid1);
    layout->addLayout(buttons);
    resize(560, 480);
    connect(cmdOk, &QPushButton::clicked, this, &frmOrd_Kakunin::cmdOk_Click);
    connect(cmdAllSelect, &QPushButton::clicked, this, &frmOrd_Kakunin::cmdAllSelect_Click);
    connect(cmdAllCancel, &QPushButton::clicked, this, &frmOrd_Kakunin::cmdAllCancel_Click);
    Form_Load();
}

void frmOrd_Kakunin::Form_Load() {
    optPdfWriter->setChecked(true);
    try {
        rows_ = loadKakuninList(core::cnWork());
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
    }
    std::vector<QStringList> values;
    std::vector<bool> ticked;
    for (const KakuninRow& r : rows_) {
        values.push_back({r.poNo, r.poKbn, QString(), QString(), QString(), r.kiboDate});
        ticked.push_back(r.chk);
    }
    fillTickedList(TDBGrid1, values, ticked, kChk);
}

std::vector<KakuninRow> frmOrd_Kakunin::rows() const {
    return withTicks(rows_, TDBGrid1, kChk);
}

void frmOrd_Kakunin::tickAll(bool ticked) {
    setAllTicked(TDBGrid1, kChk, ticked);
}

void frmOrd_Kakunin::cmdAllSelect_Click() {
    tickAll(true);
}

void frmOrd_Kakunin::cmdAllCancel_Click() {
    tickAll(false);
}

void frmOrd_Kakunin::cmdOk_Click() {
    cmdOk->setEnabled(false); // one run per opening: the screen closes after it
    PdfRun run{prompter_, core::cnWork(), context_.session, context_.printers, watch};
    (void)runKakunin(run, rows(), optDistiller->isChecked() ? PdfMethod::Distiller : PdfMethod::PdfWriter);
    close();
}

} // namespace kemnoa::output
