#include "maintenance/ui/frm_err.h"

#include "core/connections.h"
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
    form->show();
    return form;
}

frmErr::frmErr(ErrorListModel* model, QWidget* parent)
    : QWidget(parent, Qt::Window), grid_(new QTableView(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmErr"));
    setWindowTitle(QStringLiteral("ｴﾗｰ内容"));
    model->setParent(this);
    grid_->setModel(model);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(false);
    grid_->setColumnWidth(0, 80);
    grid_->setColumnWidth(1, 40);
    grid_->setColumnWidth(2, 140);
    grid_->setColumnWidth(3, 140);
    grid_->setColumnWidth(4, 360);
    grid_->setColumnWidth(5, 16);
    // The grid fills the window and follows its size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
    resize(800, 467); // 12000 by 7000 twips
}

frmErr::~frmErr() = default;

} // namespace kemnoa::maintenance
