#include "masters/ui/frm_mst.h"

#include "core/connections.h"
#include "core/error.h"
#include "maintenance/ui/line_grid_model.h"

#include <QAction>
#include <QMenuBar>
#include <QTableView>
#include <QVBoxLayout>

namespace kemnoa::masters {
namespace {

std::vector<maintenance::GridColumn> gridColumns(RefMaster kind) {
    std::vector<maintenance::GridColumn> cols;
    for (const MasterColumn& c : masterDef(kind).columns)
        cols.push_back({c.caption, c.column, kind == RefMaster::NameCode ? 240 : 160, 200, true});
    return cols;
}

} // namespace

frmMst::frmMst(RefMaster kind, const core::JobContext& context, QWidget* parent, core::Prompter* dialogs)
    : QWidget(parent), kind_(kind), gui_(this), prompter_(dialogs ? *dialogs : gui_),
      grid_(new maintenance::LineGridView(this)),
      model_(new maintenance::LineGridModel(gridColumns(kind), this)) {
    (void)context; // the job holds the work connection for as long as the window lives
    const MasterDef& def = masterDef(kind);
    setObjectName(def.objectName);
    setWindowTitle(def.windowTitle);
    grid_->setObjectName(QStringLiteral("TDBGrid1"));

    auto* bar = new QMenuBar(this);
    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    mnuSave = file->addAction(QStringLiteral("保存"));
    mnuSave->setObjectName(QStringLiteral("mnuSave"));
    file->addSeparator();
    connect(mnuSave, &QAction::triggered, this, &frmMst::mnuSave_Click);

    maintenance::setUpLineGrid(grid_, model_);
    if (kind == RefMaster::Sizai)
        grid_->setItemDelegateForColumn(
            0, new maintenance::ChoiceDelegate([this](const QModelIndex&) { return nameTypes_; }, grid_));

    // The grid fills the window and follows its size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(bar);
    layout->addWidget(grid_);
    resize(kind == RefMaster::NameCode ? 320 : 560, 480);
    load();
}

void frmMst::load() {
    try {
        model_->setRows(loadMaster(core::cnWork(), kind_));
        if (kind_ == RefMaster::Sizai)
            nameTypes_ = loadNameTypes(core::cnWork());
        loaded_ = true;
    } catch (const core::Error& e) {
        // A table not read whole must not be saved over.
        prompter_.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
        loaded_ = false;
        model_->setAllowAddNew(false);
        mnuSave->setEnabled(false);
    }
}

void frmMst::mnuSave_Click() {
    if (!loaded_)
        return;
    grid_->commitPendingEdit(); // the text being typed is among the rows saved
    if (succeeded(saveMaster(prompter_, core::cnWork(), kind_, model_->rows())))
        model_->setModified(false);
}

} // namespace kemnoa::masters
