#pragma once
// The submission confirmation screens: frmKakunin_Ehj ("絵表示確認") for submitted care-symbol sets
// and frmKakunin_Fuki ("付記用語確認") for submitted terms. Thin: SubmissionConfirmation holds the
// pages and the rules.

#include "care_masters/submission_confirmation.h"
#include "care_masters/ui/print_output.h"
#include "core/job.h"
#include "core/ui/gui_prompter.h"

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kemnoa::care_masters {

class PictureBox;

class frmKakunin : public QWidget {
    Q_OBJECT
public:
    frmKakunin(const MasterKind& kind, const core::JobContext& context, QWidget* parent = nullptr,
               core::Prompter* dialogs = nullptr);

    SubmissionConfirmation& confirmation() { return confirmation_; }

    // One panel: the codes with pictures (or the wording), the spare fields and 更新日.
    struct Panel {
        std::array<QLineEdit*, 6> codes{};
        std::array<PictureBox*, 6> pictures{};
        QPlainTextEdit* naiyo = nullptr;
        std::array<QLineEdit*, 5> spares{};
        QLineEdit* upd = nullptr;
    };

    QLabel* lblPage = nullptr;  // p
    QLabel* lblCount = nullptr; // n
    QLineEdit* txtNo = nullptr;
    QPlainTextEdit* txtMemo = nullptr;
    QLabel* lblKind = nullptr;
    QLabel* lblDone = nullptr;
    Panel sent;
    Panel master;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdPrint = nullptr;

    // Where "印刷" sends the registration request; the print preview unless a test sets another.
    PrintSink printSink;

public Q_SLOTS:
    void cmdBack_Click();
    void cmdNext_Click();
    void cmdOk_Click();
    void cmdDelete_Click();
    void cmdPrint_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* makePanel(const QString& title, Panel& panel);
    void showPanel(Panel& panel, const SubmissionPanel& values);
    void push();

    core::ui::GuiPrompter gui_;
    core::Prompter& prompter_;
    const core::PrinterQuery* printers_;
    SubmissionConfirmation confirmation_;
};

} // namespace kemnoa::care_masters
