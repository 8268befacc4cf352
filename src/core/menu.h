#pragma once
// The main menu: five pages of up to 17 items, each started by a three-digit job code
// (page number + two-digit item code). The window (mnuMain) is a thin shell around MenuController.

#include "core/prompter.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

namespace kemnoa::core {

inline constexpr int MenuPageCount = 5;
inline constexpr int MenuSlotCount = 17;

struct MenuItem {
    QString code; // two-digit item code, empty for an unused slot
    qint32 slot = 0;
    QString name;
    QString extra1; // the two spare texts of a slot; always empty
    QString extra2;
};

struct MenuPage {
    qint32 number = 0;
    QString title;
    qint32 itemCount = MenuSlotCount;
    std::array<MenuItem, MenuSlotCount> items; // slots 1..17 at indices 0..16
};

// The menu table, pages 1 to 5 at indices 0 to 4. Built once, never changed.
const std::vector<MenuPage>& menuTable();

// The job code for a typed or chosen item code on a page: the page number followed by the last two
// characters of "0" + the text ("1" -> "01", "123" -> "23", "" -> "0").
QString formJobCode(int page, const QString& itemText);

// The job codes whose windows the menu opens (not the page changes, 199, 309 or 501).
const QList<int>& jobWindowCodes();

// Opens job windows for the menu. Each job window exists at most once: opening an open one brings
// it forward. Codes without a registered window do nothing and return false. Failures throw Error.
class JobOpener {
public:
    virtual ~JobOpener() = default;
    virtual bool openJob(int jobCode) = 0;
};

// Starts an external program without waiting for it; throws Error when it cannot be started.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    virtual void start(const QString& program, const QStringList& arguments) = 0;
};

// Starts programs detached through QProcess.
class DetachedProgramStarter : public ProgramStarter {
public:
    void start(const QString& program, const QStringList& arguments) override;
};

// The rows the menu grid shows: 17 rows of five texts (item code, item name, status, remaining
// count, spare); only the first two are ever filled.
using MenuGridRows = std::array<std::array<QString, 5>, MenuSlotCount>;

class MenuController {
public:
    MenuController(Prompter& prompter, JobOpener& opener, ProgramStarter& starter);

    // Opening the window: page 1 and the grid filled; reports a failure of PF_Set.
    void open();

    int currentPage() const { return page_; }
    QString pageTitle() const { return title_; }
    const MenuGridRows& rows() const { return rows_; }
    // True once code 199 asked for the menu window to close.
    bool closeRequested() const { return closeRequested_; }

    enum class EnterResult { Ignored, SelectAll, Acted };
    // Enter in the code box with its text.
    EnterResult enterCode(const QString& text);
    // A grid row chosen (0-based row index).
    void activateRow(int row);

    // Carries out a three-digit job code; true when the menu was closed or an error was reported.
    bool PP_Act(const QString& code);
    // Fills the rows and the title from the current page; true on failure.
    bool PF_Set();

    // Called after PF_Set changed the rows or the title, and when the code box must be cleared.
    std::function<void()> onRowsChanged;
    std::function<void()> onClearCode;

private:
    void runPsx();

    Prompter& prompter_;
    JobOpener& opener_;
    ProgramStarter& starter_;
    int page_ = 1;
    QString title_;
    MenuGridRows rows_{};
    bool closeRequested_ = false;
};

} // namespace kemnoa::core
