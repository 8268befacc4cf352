#pragma once
// The two cancel screens: "送信解除" (frmOrd_SendCancel) and "PO番号解除" (frmOrd_PoNoCancel), each a
// list of PO numbers that also takes typed text, and 実行.

#include "core/job.h"
#include "core/ui/gui_prompter.h"
#include "maintenance/po_cancel.h"

#include <QWidget>

class QComboBox;
class QPushButton;

namespace kemnoa::maintenance {

class frmOrd_PoCancel : public QWidget {
    Q_OBJECT
public:
    frmOrd_PoCancel(PoCancel which, const core::JobContext& context, QWidget* parent = nullptr,
                    core::Prompter* dialogs = nullptr);

    QComboBox* cmbPo = nullptr;
    QPushButton* cmdExec = nullptr;

public Q_SLOTS:
    void cmdExec_Click();

private:
    PoCancel which_;
    core::ui::GuiPrompter gui_;
    core::Prompter& prompter_;
};

} // namespace kemnoa::maintenance
