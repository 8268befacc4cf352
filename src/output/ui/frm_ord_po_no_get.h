#pragma once
// The PO numbering screen "PO番号採番": the orders ready for a number in a grid whose last column
// (Chk) selects them, and the button 作成開始 that checks and numbers the selected orders and then
// closes the screen. Thin: the list and the run live in output/po_numbering.

#include "core/job.h"
#include "core/ui/gui_prompter.h"
#include "output/po_numbering.h"

#include <QWidget>

class QPushButton;
class QTableWidget;

namespace kemnoa::output {

class frmOrd_PoNoGet : public QWidget {
    Q_OBJECT
public:
    // context: the numbering job's, holding the work and PO connections while the screen is open.
    // dialogs: where message boxes and the busy pointer go; the screen's own when null.
    explicit frmOrd_PoNoGet(const core::JobContext& context, QWidget* parent = nullptr,
                            core::Prompter* dialogs = nullptr);

    QTableWidget* TDBGrid1 = nullptr;
    QPushButton* cmdOk = nullptr;

    // The rows as the grid holds them, marks included.
    std::vector<PoNoRow> rows() const;

public Q_SLOTS:
    void cmdOk_Click();

private:
    void Form_Load();

    core::ui::GuiPrompter gui_;
    core::Prompter& prompter_;
    std::vector<PoNoRow> rows_;
};

} // namespace kemnoa::output
