#pragma once
// The confirmation data screen "確認データ作成": the POs waiting to be sent in a grid whose last column
// (Chk) chooses them, the method (PDFWriter or Distiller J), 全部選択 / 全部解除 ticking or
// unticking every row, and 作成開始 that runs the chosen POs and closes the screen. Thin: the list
// and the run live in output/confirm_data.

#include "core/job.h"
#include "core/ui/gui_prompter.h"
#include "output/confirm_data.h"

#include <QWidget>

class QPushButton;
class QRadioButton;
class QTableWidget;

namespace kemnoa::output {

class frmOrd_Kakunin : public QWidget {
    Q_OBJECT
public:
    // context: the job's, holding the work connection while the screen is open.
    // dialogs: where message boxes and the busy pointer go; the screen's own when null.
    explicit frmOrd_Kakunin(const core::JobContext& context, QWidget* parent = nullptr,
                            core::Prompter* dialogs = nullptr);

    QTableWidget* TDBGrid1 = nullptr;
    QRadioButton* optPdfWriter = nullptr; // Option1(0)
    QRadioButton* optDistiller = nullptr; // Option1(1)
    QPushButton* cmdAllSelect = nullptr;
    QPushButton* cmdAllCancel = nullptr;
    QPushButton* cmdOk = nullptr;

    // The rows as the grid holds them, ticks included.
    std::vector<KakuninRow> rows() const;
    // How the watch for the PostScript file waits (tests shorten it).
    WatchTiming watch;

public Q_SLOTS:
    void cmdOk_Click();
    void cmdAllSelect_Click();
    void cmdAllCancel_Click();

private:
    void Form_Load();
    void tickAll(bool ticked);

    const core::JobContext context_;
    core::ui::GuiPrompter gui_;
    core::Prompter& prompter_;
    std::vector<KakuninRow> rows_;
};

} // namespace kemnoa::output
