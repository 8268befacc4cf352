#pragma once
// The product master window "商品マスタ　参照のみ": the office-computer's label products in a
// read-only grid that fills the window, with the menu "ﾌｧｲﾙ(&F)": "書き出し" writes the list to the
// desktop workbook, "終了" closes the window. Thin: the logic lives in masters/product_master.

#include "core/job.h"
#include "core/ui/gui_prompter.h"
#include "masters/product_master.h"

#include <QWidget>

class QAction;
class QMenuBar;
class QTableView;

namespace kemnoa::masters {

class ProductModel;

class frmProductMaster : public QWidget {
    Q_OBJECT
public:
    // context: the job's, holding the office-computer connection while the window is open.
    // dialogs: where message boxes and questions go; the window's own when null.
    explicit frmProductMaster(const core::JobContext& context, QWidget* parent = nullptr,
                              core::Prompter* dialogs = nullptr);

    QMenuBar* menuBar = nullptr;
    QAction* mnuExp = nullptr; // "書き出し"
    QAction* mnuEnd = nullptr; // "終了"
    QTableView* grid = nullptr;
    // Where "書き出し" writes; the desktop workbook unless a test points elsewhere.
    QString workbookPath;

public Q_SLOTS:
    void mnuExp_Click();

private:
    core::ui::GuiPrompter gui_;
    core::Prompter& prompter_;
    ProductModel* model_ = nullptr; // the grid's rows, owned by the window
};

} // namespace kemnoa::masters
