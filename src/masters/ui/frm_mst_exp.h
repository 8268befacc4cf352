#pragma once
// The master export screen "マスタデータFTP送信": a progress list and the button that publishes
// the reference masters on the FTP server. Thin: the export lives in masters/master_export.

#include "core/job.h"
#include "core/ui/gui_prompter.h"
#include "masters/ui/list_prompter.h"

#include <QWidget>

class QListWidget;
class QPushButton;

namespace kemnoa::masters {

class frmMst_Exp : public QWidget {
    Q_OBJECT
public:
    // context: the export job's, holding the work connection while the screen is open.
    // dialogs: where message boxes and questions go; the screen's own when null.
    explicit frmMst_Exp(const core::JobContext& context, QWidget* parent = nullptr,
                        core::Prompter* dialogs = nullptr);

    QListWidget* List1 = nullptr;
    QPushButton* cmdOk = nullptr;

public Q_SLOTS:
    void cmdOk_Click();

private:
    core::ui::GuiPrompter gui_;
    ListPrompter prompter_;
};

} // namespace kemnoa::masters
