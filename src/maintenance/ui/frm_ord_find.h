#pragma once
// The order search "検索": the search fields, the list (newest order first), 検索, コマンド ("d"
// deletes unsent orders) and ？. Activating a row opens the order editor, one at a time.

#include "core/job.h"
#include "core/ui/gui_prompter.h"

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QTableView;

namespace kemnoa::maintenance {

class OrderListModel;
class frmOrd_ImpData;

class frmOrd_Find : public QWidget {
    Q_OBJECT
public:
    // dialogs: where message boxes and questions go; the window's own when null.
    explicit frmOrd_Find(const core::JobContext& context, QWidget* parent = nullptr,
                         core::Prompter* dialogs = nullptr);
    ~frmOrd_Find() override;

    QLineEdit* txtOrdNo = nullptr;
    QLineEdit* txtIraiNo = nullptr;
    QLineEdit* txtDateFrom = nullptr;
    QLineEdit* txtDateTo = nullptr;
    QLineEdit* txtPoNo = nullptr;
    QLineEdit* txtPoKbn = nullptr;
    QLineEdit* txtSend = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdCommand = nullptr;
    QPushButton* cmdHelp = nullptr;
    QTableView* grid = nullptr;
    OrderListModel* model() const { return model_; }
    frmOrd_ImpData* editor() const;

    // Refreshes the list row of that order from the database (none: nothing).
    void MP_dataset(qint32 ordNo);

public Q_SLOTS:
    void cmdFind_Click();
    void cmdCommand_Click();
    void cmdHelp_Click();
    // Opens the editor for the order of the list row.
    void openRow(int row);

private:
    core::ui::GuiPrompter gui_;
    core::Prompter& prompter_;
    OrderListModel* model_;
    QPointer<frmOrd_ImpData> editor_;
};

} // namespace kemnoa::maintenance
