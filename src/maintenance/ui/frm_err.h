#pragma once
// The error list "ｴﾗｰ内容": the master-check findings of one order or of all orders in a read-only
// grid that fills the window. Opened by MP_Open; holds the work connection while it is open.

#include "core/connection_lease.h"
#include "core/prompter.h"

#include <QWidget>
#include <memory>

class QTableView;

namespace kemnoa::maintenance {

class ErrorListModel;

class frmErr : public QWidget {
    Q_OBJECT
public:
    // Shows the findings of the order (all orders for 0) without waiting. When there are none,
    // says "エラーはありません。" and shows no window (nullptr). The window deletes itself on closing.
    static frmErr* MP_Open(qint32 ordNo, core::Prompter& prompter, QWidget* parent = nullptr);
    ~frmErr() override;

    QTableView* grid() const { return grid_; }

private:
    frmErr(ErrorListModel* model, QWidget* parent);

    QTableView* grid_;
    std::unique_ptr<core::ConnectionLease> work_;
};

} // namespace kemnoa::maintenance
