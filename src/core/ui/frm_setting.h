#pragma once
// The settings screen: server and database names of the four databases ("基本") and the working
// folders ("Path"). OK writes them to the settings file; closing otherwise discards the edits.

#include "core/prompter.h"
#include "core/session.h"
#include "core/settings_screen.h"

#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kemnoa::core::ui {

class frmSetting : public QWidget {
    Q_OBJECT
public:
    // Asks for a folder (owner, title); empty when cancelled.
    using FolderChooser = std::function<QString(QWidget*, const QString&)>;

    frmSetting(Session& session, Prompter& prompter, QString settingsPath, FolderChooser chooseFolder = {},
               QWidget* parent = nullptr);

    QTabWidget* tabs;
    std::array<QLineEdit*, SettingDbRows> txtSv;
    std::array<QLineEdit*, SettingDbRows> txtDb;
    std::array<QLabel*, SettingDirRows> lblDir;
    std::array<QLineEdit*, SettingDirRows> txtDir;
    std::array<QPushButton*, SettingDirRows> cmd_Sansyou;
    QPushButton* cmdOK;

private:
    void cmd_Sansyou_Click(int index);
    void cmdOK_Click();

    Session& session_;
    Prompter& prompter_;
    QString settingsPath_;
    FolderChooser chooseFolder_;
};

} // namespace kemnoa::core::ui
