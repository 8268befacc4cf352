#pragma once
// The main menu window: the page title, the code box and the grid of the page's items.

#include "core/menu.h"
#include "core/menu_grid_model.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QTableView;

namespace kemnoa::core::ui {

class mnuMain : public QWidget {
    Q_OBJECT
public:
    mnuMain(Prompter& prompter, JobOpener& opener, ProgramStarter& starter, QWidget* parent = nullptr);

    MenuController& controller() { return controller_; }

    QLabel* lblMenu;
    QLineEdit* txtCode;
    QTableView* TDBGrid1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void txtCode_Enter();
    void TDBGrid1_Activate(int row);
    void afterAct();
    bool codeKeyAllowed(const class QKeyEvent* key) const;

    MenuController controller_;
    MenuGridModel model_;
};

} // namespace kemnoa::core::ui
