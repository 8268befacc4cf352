#pragma once
// The order-file screen "読み込み": receive from the FTP server (cmdRcv) and import into the work
// database (cmdImp, Command1). Thin: the commands' logic lives in kemnoa_receiving.

#include "core/ui/gui_prompter.h"
#include "receiving/ui/form_prompter.h"

#include <QWidget>

class QListWidget;
class QPushButton;

namespace kemnoa::receiving {

class frmOrd_Imp : public QWidget {
    Q_OBJECT
public:
    // dialogs: where message boxes, questions and the busy pointer go; the screen's own when null.
    explicit frmOrd_Imp(QWidget* parent = nullptr, core::Prompter* dialogs = nullptr);
    ~frmOrd_Imp() override;

    QListWidget* List1 = nullptr;
    QPushButton* cmdRcv = nullptr;
    QPushButton* cmdImp = nullptr;
    QPushButton* Command1 = nullptr;

    // The work and PO connections (dbOpen kinds 1 and 3), taken when the screen is first shown and
    // released when it goes; the import commands open them themselves when the screen was never shown.
    void openConnections();

public Q_SLOTS:
    void cmdRcv_Click();
    void cmdImp_Click();
    void Command1_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setBusyButtons(bool busy);

    core::ui::GuiPrompter gui_;
    FormPrompter prompter_;
    bool connectionsOpen_ = false;
};

} // namespace kemnoa::receiving
