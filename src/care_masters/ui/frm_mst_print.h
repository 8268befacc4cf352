#pragma once
// The master printing screens: frmMstPrint_Ehj ("絵表示マスタ印刷") and frmMstPrint_Fuki
// ("付記用語マスタ印刷"). The whole master ("全部") or the ticked entries ("指定する") are printed on
// the printer chosen in the printer-choice window, through the print preview.

#include "care_masters/master_printing.h"
#include "care_masters/ui/print_output.h"
#include "core/job.h"
#include "core/ui/gui_prompter.h"

#include <QWidget>

class QPushButton;
class QRadioButton;
class QTableWidget;

namespace kemnoa::care_masters {

class frmMstPrint : public QWidget {
    Q_OBJECT
public:
    frmMstPrint(const MasterKind& kind, const core::JobContext& context, QWidget* parent = nullptr,
                core::Prompter* dialogs = nullptr);

    QRadioButton* optAll = nullptr;    // 全部
    QRadioButton* optSelect = nullptr; // 指定する
    QTableWidget* grdList = nullptr;   // key, date, ch
    QPushButton* cmdPrint = nullptr;

    // The rows of the grid as the print reads them (the tick cells from the check boxes).
    std::vector<PrintListRow> rows() const;

    // The printer-choice window, run modally; tests put their own choice in its place.
    std::function<void()> choosePrinter;
    // Where the listing goes; the print preview unless a test sets another.
    PrintSink printSink;

public Q_SLOTS:
    void cmdPrint_Click();

private:
    const MasterKind& kind_;
    core::ui::GuiPrompter gui_;
    core::Prompter& prompter_;
    const core::PrinterQuery* printers_;
};

} // namespace kemnoa::care_masters
