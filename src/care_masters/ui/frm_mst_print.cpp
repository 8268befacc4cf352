#include "care_masters/ui/frm_mst_print.h"

#include "core/connections.h"
#include "core/error.h"
#include "core/session.h"
#include "core/ui/frm_printer.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kemnoa::care_masters {

frmMstPrint::frmMstPrint(const MasterKind& kind, const core::JobContext& context, QWidget* parent,
                         core::Prompter* dialogs)
    : QWidget(parent), kind_(kind), gui_(this), prompter_(dialogs ? *dialogs : gui_),
      printers_(context.printers) {
    setObjectName(kind.symbols ? QStringLiteral("frmMstPrint_Ehj") : QStringLiteral("frmMstPrint_Fuki"));
    setWindowTitle(kind.symbols ? QStringLiteral("絵表示マスタ印刷") : QStringLiteral("付記用語マスタ印刷"));
    printSink = [this](const report::Document& doc) { previewAndPrint(doc, this); };
    choosePrinter = [this] {
        if (!printers_)
            return;
        core::ui::frmPrinter dialog(core::session(), *printers_, prompter_, this);
        dialog.exec();
    };

    auto* frame = new QGroupBox(QStringLiteral("印刷設定"), this);
    optAll = new QRadioButton(QStringLiteral("全部"), frame);
    optSelect = new QRadioButton(QStringLiteral("指定する"), frame);
    auto* group = new QButtonGroup(this);
    group->addButton(optAll);
    group->addButton(optSelect);
    auto* frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(optAll);
    frameLayout->addWidget(optSelect);
    frameLayout->addStretch();

    grdList = new QTableWidget(0, 3, this);
    grdList->setHorizontalHeaderLabels({QStringLiteral("key"), QStringLiteral("date"), QStringLiteral("ch")});
    grdList->verticalHeader()->hide();
    grdList->horizontalHeader()->setStretchLastSection(true);
    grdList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    cmdPrint = new QPushButton(QStringLiteral("印刷"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(grdList);
    layout->addWidget(cmdPrint, 0, Qt::AlignRight);
    resize(420, 520);

    connect(optAll, &QRadioButton::toggled, this, [this](bool on) { grdList->setEnabled(!on); });
    connect(cmdPrint, &QPushButton::clicked, this, &frmMstPrint::cmdPrint_Click);

    optAll->setChecked(true);
    grdList->setEnabled(false);
    core::BusyPointer busy(prompter_);
    try {
        const std::vector<PrintListRow> list = printListRows(kind_, core::cnWork());
        grdList->setRowCount(static_cast<int>(list.size()));
        for (int i = 0; i < static_cast<int>(list.size()); ++i) {
            grdList->setItem(i, 0, new QTableWidgetItem(list[i].number));
            grdList->setItem(i, 1, new QTableWidgetItem(list[i].date));
            auto* tick = new QTableWidgetItem;
            tick->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
            tick->setCheckState(Qt::Unchecked);
            grdList->setItem(i, 2, tick);
            prompter_.processEvents();
        }
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
    }
}

std::vector<PrintListRow> frmMstPrint::rows() const {
    std::vector<PrintListRow> out;
    for (int i = 0; i < grdList->rowCount(); ++i) {
        const bool ticked = grdList->item(i, 2)->checkState() == Qt::Checked;
        out.push_back({grdList->item(i, 0)->text(), grdList->item(i, 1)->text(),
                       ticked ? QStringLiteral("-1") : QStringLiteral("0")});
    }
    return out;
}

void frmMstPrint::cmdPrint_Click() {
    core::Session& session = core::session();
    choosePrinter();
    if (session.SelectedPrinter.isEmpty())
        return; // closed without a choice: the screen stays open
    const QString statement = printScreenStatement(kind_, optAll->isChecked(), rows());
    {
        core::BusyPointer busy(prompter_);
        auto control = screenReport(printSink, printers_);
        printListing(kind_, {*control, screenPrinterName(printers_)}, prompter_, core::cnWork(), statement);
    }
    // Back to the default printer; with no default there is nothing to switch back to.
    if (printers_ && !session.DefaultPrinter.isEmpty())
        (void)core::MF_PrinterSet(session.DefaultPrinter, *printers_, prompter_);
    else
        core::setCurrentPrinter(QString());
    close();
}

} // namespace kemnoa::care_masters
