#pragma once
// The PO creation screen "PO作成": the POs ready for the factory in a grid whose last column (Chk)
// ticks them, and the button 作成開始 that checks, builds and sends the ticked POs and then closes the
// screen. Thin: the list and the run live in output/po_creation.

#include "core/job.h"
#include "core/ui/gui_prompter.h"
#include "output/po_creation.h"

#include <QWidget>

class QPushButton;
class QTableWidget;

namespace kemnoa::output {

class frmOrd_Exp : public QWidget {
    Q_OBJECT
public:
    // context: the creation job's, holding the work, PO and production-control connections while the
    // screen is open. dialogs: where message boxes, the busy pointer and the progress texts go; the
    // screen's own when null. steps: the build's steps (tests replace some).
    explicit frmOrd_Exp(const core::JobContext& context, QWidget* parent = nullptr,
                        core::Prompter* dialogs = nullptr, PoCreationSteps steps = {});

    QTableWidget* TDBGrid1 = nullptr;
    QPushButton* cmdOk = nullptr;

    // The rows as the grid holds them, ticks included.
    std::vector<PoExpRow> rows() const;

public Q_SLOTS:
    void cmdOk_Click();

private:
    void Form_Load();

    const core::Session& session_; // the process-wide session values
    core::ui::GuiPrompter gui_;
    core::Prompter& prompter_;
    PoCreationSteps steps_;
    std::vector<PoExpRow> rows_;
};

} // namespace kemnoa::output
