#include "maintenance/ui/frm_err.h"

#include "core/connections.h"
#include "core/ui/window_placement.h"
#include "maintenance/jobs.h"
#include "maintenance/ui/error_list_model.h"

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

namespace kemnoa::maintenance {

frmErr* frmErr::MP_Open(qint32 ordNo, core::Prompter& prompter, QWidget* parent) {
    // The window holds the work connection while it is open, whoever opened it.
    auto work = std::make_unique<core::ConnectionLease>(core::KindWork, prompter);
    std::vector<ErrorListRow> rows;
    if (failed(MP_LoadErrorList(prompter, ordNo, rows)) || rows.empty())
        return nullptr;
    auto* form = new frmErr(new ErrorListModel(std::move(rows)), parent);
    form->work_ = std::move(work);
    core::ui::prepareJobWindow(form);
    form->show();
    return form;
}

frmErr::frmErr(ErrorListModel* model, QWidget* parent)
    : QWidget(parent, Qt::Window), grid_(new QTableView(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmErr"));
    setWindowTitle(QStringLiteral("ｴﾗｰ内容"));
    model->setParent(this);
    core::showInGrid(grid_, model);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(false);
    // The message takes the width the other columns leave; its whole text is the cell's tooltip.
    grid_->horizontalHeader()->setSectionResizeMode(model->messageColumn(), QHeaderView::Stretch);
    // The grid fills the window and follows its size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
    resize(800, 467); // 12000 by 7000 twips
}

frmErr::~frmErr() = default;

} // namespace kemnoa::maintenance
