#include "maintenance/ui/frm_ord_find.h"

#include "core/connections.h"
#include "core/error.h"
#include "core/ui/window_placement.h"
#include "maintenance/order_search.h"
#include "maintenance/ui/frm_ord_impdata.h"
#include "maintenance/ui/order_list_model.h"

#include <QDate>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kemnoa::maintenance {

frmOrd_Find::frmOrd_Find(const core::JobContext& context, QWidget* parent, core::Prompter* dialogs)
    : QWidget(parent), gui_(this), prompter_(dialogs ? *dialogs : gui_), model_(new OrderListModel(this)) {
    (void)context; // the job holds the work connection while the window is open
    setObjectName(QStringLiteral("frmOrd_Find"));
    setWindowTitle(QStringLiteral("検索"));
    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    txtOrdNo = edit("txtOrdNo");
    txtIraiNo = edit("txtIraiNo");
    txtDateFrom = edit("txtDateFrom");
    txtDateTo = edit("txtDateTo");
    txtPoNo = edit("txtPoNo");
    txtPoKbn = edit("txtPoKbn");
    txtSend = edit("txtSend");
    cmdFind = new QPushButton(QStringLiteral("検索"), this);
    cmdCommand = new QPushButton(QStringLiteral("コマンド"), this);
    cmdHelp = new QPushButton(QStringLiteral("？"), this);
    grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("TDBGrid1"));
    grid->setModel(model_);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    const int widths[] = {24, 80, 90, 90, 50, 70, 80, 220, 60, 50};
    for (int c = 0; c < 10; ++c)
        grid->setColumnWidth(c, widths[c]);

    const SearchCriteria d = defaultCriteria(QDate::currentDate());
    txtDateFrom->setText(d.dateFrom);
    txtDateTo->setText(d.dateTo);
    txtSend->setText(d.sendFlg);

    auto* fields = new QGridLayout;
    const std::pair<const char*, QWidget*> labelled[] = {
        {"発注番号", txtOrdNo}, {"依頼番号", txtIraiNo}, {"日付", txtDateFrom}, {"～", txtDateTo},
        {"PO番号", txtPoNo},    {"PO区分", txtPoKbn},    {"送信済", txtSend}};
    int i = 0;
    for (const auto& [label, widget] : labelled) {
        fields->addWidget(new QLabel(QString::fromUtf8(label), this), i / 4, (i % 4) * 2);
        fields->addWidget(widget, i / 4, (i % 4) * 2 + 1);
        ++i;
    }
    fields->addWidget(cmdFind, 0, 8);
    fields->addWidget(cmdCommand, 1, 8);
    fields->addWidget(cmdHelp, 1, 9);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(grid, 1);
    resize(920, 600);

    connect(cmdFind, &QPushButton::clicked, this, &frmOrd_Find::cmdFind_Click);
    connect(cmdCommand, &QPushButton::clicked, this, &frmOrd_Find::cmdCommand_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmOrd_Find::cmdHelp_Click);
    // A double click (or Enter) on a row opens its order; typing goes to the command column.
    grid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    connect(grid, &QTableView::activated, this, [this](const QModelIndex& index) { openRow(index.row()); });
}

frmOrd_Find::~frmOrd_Find() {
    if (editor_)
        editor_->close();
}

frmOrd_ImpData* frmOrd_Find::editor() const {
    return editor_.data();
}

void frmOrd_Find::cmdFind_Click() {
    SearchCriteria c;
    c.ordNo = txtOrdNo->text();
    c.iraiNo = txtIraiNo->text();
    c.dateFrom = txtDateFrom->text();
    c.dateTo = txtDateTo->text();
    c.poNo = txtPoNo->text();
    c.poKbn = txtPoKbn->text();
    c.sendFlg = txtSend->text();
    if (!validSearchDates(c)) {
        prompter_.message(QStringLiteral("日付は8桁の数値で入力してください。"), QStringLiteral("エラー"),
                          core::MsgIcon::Critical);
        return;
    }
    SearchResult result;
    QString failure;
    {
        core::BusyPointer busy(prompter_);
        try {
            result = searchOrders(core::cnWork(), c);
            model_->setRows(std::move(result.rows));
        } catch (const core::Error& e) {
            failure = e.text();
        }
    }
    if (!failure.isEmpty()) {
        prompter_.message(failure, QStringLiteral("cmdFind_Click"), core::MsgIcon::Critical);
        return;
    }
    if (result.more)
        prompter_.message(searchLimitText(), QStringLiteral("検索"), core::MsgIcon::Exclamation);
}

void frmOrd_Find::cmdCommand_Click() {
    if (!prompter_.question(QStringLiteral("コマンドを実行します。"), QStringLiteral("確認")))
        return;
    if (QWidget* editor = grid->indexWidget(grid->currentIndex())) // the letter being typed counts
        grid->itemDelegate()->setModelData(editor, model_, grid->currentIndex());
    const QModelIndex current = grid->currentIndex();
    if (!current.isValid() || model_->rows().empty())
        return;
    (void)runListCommands(prompter_, core::cnWork(), model_->rows(), false);
    model_->reload();
}

void frmOrd_Find::cmdHelp_Click() {
    prompter_.message(QStringLiteral("d = 送信済み以外の発注データ削除"), QString(), core::MsgIcon::None);
}

void frmOrd_Find::openRow(int row) {
    if (row < 0 || row >= model_->rowCount())
        return;
    const qint32 ordNo = model_->rows()[static_cast<std::size_t>(row)].ordNo;
    if (editor_ && editor_->isModified() &&
        !prompter_.question(
            QStringLiteral("発注番号(%1)の修正が保存されていません。").arg(editor_->orderNumber()) +
                QStringLiteral("\r\n修正を破棄して発注番号(%1)を開きますか？").arg(ordNo),
            QStringLiteral("確認"))) {
        editor_->raise();
        editor_->activateWindow();
        return;
    }
    core::BusyPointer busy(prompter_);
    if (!editor_) {
        editor_ = new frmOrd_ImpData(&prompter_);
        editor_->setAttribute(Qt::WA_DeleteOnClose);
        editor_->onSaved = [this](qint32 n) { MP_dataset(n); };
        core::ui::prepareJobWindow(editor_);
    }
    if (!editor_->MP_Open(ordNo)) {
        editor_->close();
        return;
    }
    editor_->show();
    editor_->raise();
}

void frmOrd_Find::MP_dataset(qint32 ordNo) {
    try {
        if (const auto row = readSearchRow(core::cnWork(), ordNo))
            model_->refreshOrder(*row);
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("MP_dataset"), core::MsgIcon::Critical);
    }
}

} // namespace kemnoa::maintenance
