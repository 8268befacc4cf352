#include "maintenance/ui/frm_ord_impdata.h"

#include "core/connections.h"
#include "core/error.h"
#include "maintenance/server_procedures.h"
#include "maintenance/ui/frm_err.h"
#include "maintenance/ui/line_grid_model.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kemnoa::maintenance {
namespace {

// Header fields in groups: the labelled column first, the others beside it.
struct FieldGroup {
    const char* label;
    QStringList columns;
};

const std::vector<FieldGroup>& fieldGroups() {
    static const std::vector<FieldGroup> g = {
        {"発注番号", {"ORD_NO"}},
        {"依頼番号", {"IRAI_NO"}},
        {"発注日", {"ORD_DATE"}},
        {"希望出荷日", {"KIBO_DATE"}},
        {"仕入先",
         {"SIR_CD", "SIR_NM", "SIR_POST_NO", "SIR_BUSHO_NM", "SIR_TANTO_NM", "SIR_ADR1", "SIR_ADR2",
          "SIR_TEL"}},
        {"納品先",
         {"NOU_CD", "NOU_NM", "NOU_POST_NO", "NOU_BUSHO_NM", "NOU_TANTO_NM", "NOU_ADR1", "NOU_ADR2",
          "NOU_TEL"}},
        {"決済", {"KESSAI"}},
        {"出荷場所", {"SHKA_PLACE"}},
        {"発注先", {"ORD_SAKI_CD", "ORD_SAKI_NM"}},
        {"備考", {"BIKO1"}},
        {"PO番号", {"PO_NO", "PO_KBN"}},
        {"ｴﾗｰ件数", {"ERR_SU"}},
        {"印刷回数", {"PRN_SU"}},
        {"ｹﾑ登録日", {"ENTRY_DATE"}},
        {"ｹﾑ更新日", {"UPDATE_DATE"}},
        {"ﾚｺｰﾄﾞ種類", {"REC_TYPE"}},
        {"ﾎﾞﾙﾘｯｸ受信", {"REC_KBN"}},
        {"処理状態", {"SEND_FLG"}},
    };
    return g;
}

// Shown, never edited: the order number is the key the editor was opened with.
const QStringList& displayColumns() {
    static const QStringList c = {"ORD_NO", "ORD_SAKI_CD", "ORD_SAKI_NM", "PO_NO",    "PO_KBN",  "ERR_SU",
                                  "PRN_SU", "ENTRY_DATE",  "UPDATE_DATE", "REC_TYPE", "REC_KBN", "SEND_FLG"};
    return c;
}

// Locked once the order has a PO number.
const QStringList& poLockedColumns() {
    static const QStringList c = {"KIBO_DATE", "KESSAI",      "SHKA_PLACE",   "NOU_CD",
                                  "NOU_NM",    "NOU_POST_NO", "NOU_BUSHO_NM", "NOU_TANTO_NM",
                                  "NOU_ADR1",  "NOU_ADR2",    "NOU_TEL"};
    return c;
}

const char* const kHeadings[4] = {"下札の情報", "洗濯ネームの情報", "別付け洗濯ネームの情報",
                                  "アイテム別集計情報"};

void setColours(QLineEdit* edit, const QColor& text, const QColor& back) {
    QPalette p = edit->palette();
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Base, back);
    edit->setPalette(p);
}

std::vector<GridColumn> gridColumns(const OrderLines& lines) {
    std::vector<GridColumn> cols;
    for (const LineColumn& c : lines.columns)
        cols.push_back({c.caption, c.name, c.number ? 60 : 100, c.number ? 3 : 200, true});
    return cols;
}

} // namespace

frmOrd_ImpData::frmOrd_ImpData(core::Prompter* dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), gui_(this), prompter_(dialogs ? *dialogs : gui_) {
    setObjectName(QStringLiteral("frmOrd_ImpData"));
    setWindowTitle(QStringLiteral("データ修正/確認"));
    buildHeader();
    tabs = new QTabWidget(this);
    cmdUpdate = new QPushButton(QStringLiteral("更新"), this);
    cmdBack = new QPushButton(QStringLiteral("戻る"), this);
    cmdErr = new QPushButton(QStringLiteral("エラー表示"), this);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmOrd_ImpData::cmdUpdate_Click);
    connect(cmdBack, &QPushButton::clicked, this, &frmOrd_ImpData::cmdBack_Click);
    connect(cmdErr, &QPushButton::clicked, this, &frmOrd_ImpData::cmdErr_Click);

    auto* header = new QGridLayout;
    int row = 0;
    for (const FieldGroup& g : fieldGroups()) {
        header->addWidget(new QLabel(QString::fromUtf8(g.label), this), row / 2, (row % 2) * 2);
        auto* line = new QHBoxLayout;
        for (const QString& c : g.columns)
            line->addWidget(fields_.value(c));
        if (g.columns.front() == QStringLiteral("BIKO1"))
            line->addWidget(chkHoryu);
        header->addLayout(line, row / 2, (row % 2) * 2 + 1);
        ++row;
    }
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(new QLabel(QStringLiteral("サイズ"), this));
    for (QLineEdit* t : titles_)
        titleRow->addWidget(t);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdErr);
    buttons->addWidget(cmdUpdate);
    buttons->addWidget(cmdBack);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(tabs, 1);
    layout->addLayout(titleRow);
    layout->addLayout(buttons);
    resize(1100, 760);
}

frmOrd_ImpData::~frmOrd_ImpData() = default;

void frmOrd_ImpData::buildHeader() {
    for (const FieldGroup& g : fieldGroups())
        for (const QString& c : g.columns) {
            auto* edit = new QLineEdit(this);
            edit->setObjectName(QStringLiteral("txt") + c);
            const bool display = displayColumns().contains(c);
            edit->setReadOnly(display);
            if (display)
                setColours(edit, Qt::black, Qt::white);
            connect(edit, &QLineEdit::textEdited, this, [this] { headerModified_ = true; });
            fields_.insert(c, edit);
        }
    chkHoryu = new QCheckBox(QStringLiteral("出荷保留"), this);
    connect(chkHoryu, &QCheckBox::clicked, this, [this] { headerModified_ = true; });
    for (int k = 1; k <= 10; ++k) {
        auto* t = new QLineEdit(this);
        t->setObjectName(QStringLiteral("txtTitle%1").arg(k));
        connect(t, &QLineEdit::textEdited, this, [this, k](const QString& text) {
            headerModified_ = true;
            if (models_[3])
                models_[3]->setCaption(models_[3]->columnOf(QStringLiteral("SURYO%1").arg(k)), text);
        });
        titles_ << t;
    }
}

void frmOrd_ImpData::buildGrids() {
    tabs->clear();
    OrderLines* tables[4] = {&order_.pos, &order_.car, &order_.addFuki, &order_.fuzoku};
    for (int i = 0; i < 4; ++i) {
        if (views_[i])
            views_[i]->deleteLater();
        models_[i] = new LineGridModel(gridColumns(*tables[i]), this);
        views_[i] = new LineGridView(this);
        views_[i]->setObjectName(QStringLiteral("grid%1").arg(i + 1));
        setUpLineGrid(views_[i], models_[i]);
        tabs->addTab(views_[i], QString::fromUtf8(kHeadings[i]));
    }
    LineGridModel* totals = models_[3];
    views_[3]->setItemDelegateForColumn(
        totals->columnOf(QStringLiteral("NAME_NM")),
        new ChoiceDelegate([this](const QModelIndex&) { return nameTypes_; }, this));
    views_[3]->setItemDelegateForColumn(
        totals->columnOf(QStringLiteral("SIZAI_NM")),
        new ChoiceDelegate([this](const QModelIndex& index) { return materialList(index); }, this));
}

QStringList frmOrd_ImpData::materialList(const QModelIndex& index) {
    // Rebuilt for the line's name type; a name type not in the master leaves the list as it was.
    LineGridModel* totals = models_[3];
    if (totals->isAddNewRow(index.row()))
        return materials_;
    const QString nameType = totals->cell(index.row(), totals->columnOf(QStringLiteral("NAME_NM")));
    try {
        if (auto list = materialChoices(core::cnWork(), nameType))
            materials_ = *list;
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("TDBGrid4_RowColChange"), core::MsgIcon::Critical);
    }
    return materials_;
}

bool frmOrd_ImpData::MP_Open(qint32 ordNo) {
    if (!work_)
        work_ = std::make_unique<core::ConnectionLease>(core::KindWork, prompter_);
    QString failure;
    try {
        order_ = orderLayout(core::cnWork());
        if (!loadOrder(core::cnWork(), ordNo, order_, &failure)) {
            prompter_.message(failure, QStringLiteral("エラー"), core::MsgIcon::Critical);
            return false;
        }
        nameTypes_ = nameTypeChoices(core::cnWork());
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("MP_Open"), core::MsgIcon::Critical);
        return false;
    }
    materials_.clear();
    buildGrids();
    showOrder();
    return true;
}

void frmOrd_ImpData::showOrder() {
    for (auto it = fields_.cbegin(); it != fields_.cend(); ++it)
        it.value()->setText(order_.header.value(it.key()));
    chkHoryu->setChecked(order_.header.value(QStringLiteral("BIKO2")) == QStringLiteral("1"));
    const bool numbered = !order_.header.value(QStringLiteral("PO_NO")).isEmpty();
    for (const QString& c : poLockedColumns())
        fields_.value(c)->setReadOnly(numbered);
    QLineEdit* err = fields_.value(QStringLiteral("ERR_SU"));
    setColours(err, Qt::white, err->text().toInt() > 0 ? Qt::red : Qt::blue);
    OrderLines* tables[4] = {&order_.pos, &order_.car, &order_.addFuki, &order_.fuzoku};
    for (int i = 0; i < 4; ++i)
        models_[i]->setRows(tables[i]->rows);
    for (int k = 0; k < 10; ++k) {
        titles_[k]->setText(order_.titles.value(k));
        models_[3]->setCaption(models_[3]->columnOf(QStringLiteral("SURYO%1").arg(k + 1)),
                               order_.titles.value(k).isEmpty() ? QStringLiteral("SURYO%1").arg(k + 1)
                                                                : order_.titles.value(k));
    }
    headerModified_ = false;
}

bool frmOrd_ImpData::isModified() const {
    if (headerModified_)
        return true;
    for (LineGridModel* m : models_)
        if (m && m->isModified())
            return true;
    return false;
}

void frmOrd_ImpData::collect() {
    for (auto it = fields_.cbegin(); it != fields_.cend(); ++it)
        order_.header.insert(it.key(), it.value()->text());
    order_.header.insert(QStringLiteral("BIKO2"),
                         chkHoryu->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    OrderLines* tables[4] = {&order_.pos, &order_.car, &order_.addFuki, &order_.fuzoku};
    for (int i = 0; i < 4; ++i) {
        views_[i]->commitPendingEdit();
        tables[i]->rows = models_[i]->rows();
    }
    for (int k = 0; k < 10; ++k)
        order_.titles[k] = titles_[k]->text();
}

void frmOrd_ImpData::cmdUpdate_Click() {
    if (!models_[0])
        return; // nothing loaded
    collect();
    const qint32 n = order_.ordNo;
    const SaveEnd end =
        saveOrder(prompter_, core::cnWork(), order_, [this](qint32 o) { (void)MP_ErrDataMake(prompter_, o); });
    if (end == SaveEnd::NotSaved) {
        // The PO's print count may have been reset before a refusal or failure.
        fields_.value(QStringLiteral("PRN_SU"))->setText(order_.header.value(QStringLiteral("PRN_SU")));
        return;
    }
    showOrder(); // renumbered lines; the saved values are now the unchanged state
    if (onSaved)
        onSaved(n);
    if (end == SaveEnd::SavedClose)
        close();
}

void frmOrd_ImpData::cmdBack_Click() {
    close();
}

void frmOrd_ImpData::cmdErr_Click() {
    frmErr::MP_Open(fields_.value(QStringLiteral("ORD_NO"))->text().toInt(), prompter_);
}

} // namespace kemnoa::maintenance
