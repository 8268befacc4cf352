#pragma once
// The login window: user name and job type, then the main menu (ok) or the settings screen (option).

#include "core/session.h"

#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kemnoa::core::ui {

class frmLogin : public QWidget {
    Q_OBJECT
public:
    struct Actions {
        std::function<void()> openMenu;     // the main menu, not modal
        std::function<void()> openSettings; // the settings screen, not modal
    };

    frmLogin(Session& session, Actions actions, QWidget* parent = nullptr);

    QLabel* lblSystem;
    QLabel* lblVersion;
    QLineEdit* txtUser;
    std::array<QRadioButton*, 2> Option1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdOption;

private:
    void cmdOK_Click();
    void cmdOption_Click();

    Session& session_;
    Actions actions_;
};

} // namespace kemnoa::core::ui
