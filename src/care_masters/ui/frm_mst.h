#pragma once
// The care-symbol master screen (frmMst_Ehj, "絵表示マスタ") and its twin the term master screen
// (frmMst_Fuki, "付記用語マスタ"). Thin: MasterEditor holds the state and the rules.

#include "care_masters/master_editor.h"
#include "core/job.h"
#include "core/ui/gui_prompter.h"

#include <QWidget>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kemnoa::care_masters {

class PictureBox;
class SymbolPalette;

class frmMst : public QWidget {
    Q_OBJECT
public:
    // dialogs: where message boxes and questions go; the screen's own when null.
    frmMst(const MasterKind& kind, const core::JobContext& context, QWidget* parent = nullptr,
           core::Prompter* dialogs = nullptr);

    MasterEditor& editor() { return editor_; }

    QComboBox* cboNo = nullptr;
    QLabel* lblMode = nullptr;
    QLabel* lblLock = nullptr;
    std::array<QLineEdit*, 6> txtEhj{};  // the code fields (care symbols)
    std::array<PictureBox*, 6> picEhj{}; // their pictures
    SymbolPalette* palette = nullptr;    // care symbols only
    QLineEdit* txtHenkan = nullptr;      // care symbols only
    QPlainTextEdit* txtNaiyo = nullptr;  // terms only
    QLineEdit* txtUpd = nullptr;
    std::array<QLineEdit*, 5> txtB{};
    QPushButton* cmdUnlock = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdCancel = nullptr;

public Q_SLOTS:
    void cmdUnlock_Click();
    void cmdNew_Click();
    void cmdDelete_Click();
    void cmdUpdate_Click();
    void cboNo_Choose(const QString& number);
    void picEhj_DblClick(int position);
    void palette_DblClick(const QString& code);

private:
    void pull(); // typed text into the editor
    void push(); // the editor onto the screen

    core::ui::GuiPrompter gui_;
    core::Prompter& prompter_;
    MasterEditor editor_;
};

} // namespace kemnoa::care_masters
