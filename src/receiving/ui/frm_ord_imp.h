#pragma once
// The order-file screen "読み込み": receive from the FTP server (cmdRcv) and import into the work
// database (cmdImp, Command1). Thin: the commands' logic lives in kemnoa_receiving.

#include "core/job.h"
#include "core/ui/gui_prompter.h"
#include "receiving/import_command.h"
#include "receiving/ui/form_prompter.h"

#include <QWidget>

class QListWidget;
class QPushButton;

namespace kemnoa::receiving {

class frmOrd_Imp : public QWidget {
    Q_OBJECT
public:
    // context: the import job's, holding the work and PO connections while the screen is open.
    // dialogs: where message boxes, questions and the busy pointer go; the screen's own when null.
    // screens: the confirmation screens the import opens when submissions wait at its end.
    explicit frmOrd_Imp(const core::JobContext& context, QWidget* parent = nullptr,
                        core::Prompter* dialogs = nullptr, ConfirmationScreens screens = {});

    QListWidget* List1 = nullptr;
    QPushButton* cmdRcv = nullptr;
    QPushButton* cmdImp = nullptr;
    QPushButton* Command1 = nullptr;

public Q_SLOTS:
    void cmdRcv_Click();
    void cmdImp_Click();
    void Command1_Click();

private:
    void setBusyButtons(bool busy);

    core::ui::GuiPrompter gui_;
    FormPrompter prompter_;
    core::JobContext context_; // the job's context talking through the screen's list
    ConfirmationScreens screens_;
};

} // namespace kemnoa::receiving
