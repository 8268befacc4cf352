#include "core/ui/frm_setting.h"

#include "core/ui/folder_select.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kemnoa::core::ui {

frmSetting::frmSetting(Session& session, Prompter& prompter, QString settingsPath, FolderChooser chooseFolder,
                       QWidget* parent)
    : QWidget(parent), session_(session), prompter_(prompter), settingsPath_(std::move(settingsPath)),
      chooseFolder_(chooseFolder ? std::move(chooseFolder) : FolderChooser(&MF_FolderSelect)) {
    setWindowTitle(QStringLiteral("環境設定"));
    const SettingScreenValues values = loadSettingScreen(session_);

    auto* basic = new QWidget;
    auto* basicGrid = new QGridLayout(basic);
    basicGrid->addWidget(new QLabel(QStringLiteral("Server"), basic), 0, 1);
    basicGrid->addWidget(new QLabel(QStringLiteral("DB"), basic), 0, 2);
    for (int i = 0; i < SettingDbRows; ++i) {
        txtSv[i] = new QLineEdit(values.server[i], basic);
        txtDb[i] = new QLineEdit(values.db[i], basic);
        basicGrid->addWidget(new QLabel(settingDbLabels()[i], basic), i + 1, 0);
        basicGrid->addWidget(txtSv[i], i + 1, 1);
        basicGrid->addWidget(txtDb[i], i + 1, 2);
    }
    basicGrid->setRowStretch(SettingDbRows + 1, 1);

    auto* paths = new QWidget;
    auto* pathGrid = new QGridLayout(paths);
    for (int i = 0; i < SettingDirRows; ++i) {
        lblDir[i] = new QLabel(settingDirLabels()[i], paths);
        txtDir[i] = new QLineEdit(values.dir[i], paths);
        txtDir[i]->setMinimumWidth(320);
        cmd_Sansyou[i] = new QPushButton(QStringLiteral("..."), paths);
        cmd_Sansyou[i]->setFixedWidth(32);
        pathGrid->addWidget(lblDir[i], i, 0);
        pathGrid->addWidget(txtDir[i], i, 1);
        pathGrid->addWidget(cmd_Sansyou[i], i, 2);
        connect(cmd_Sansyou[i], &QPushButton::clicked, this, [this, i] { cmd_Sansyou_Click(i); });
    }

    tabs = new QTabWidget(this);
    tabs->addTab(basic, QStringLiteral("基本"));
    tabs->addTab(paths, QStringLiteral("Path"));
    tabs->setCurrentIndex(0);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmSetting::cmdOK_Click);
}

void frmSetting::cmd_Sansyou_Click(int index) {
    const QString folder = chooseFolder_(this, lblDir[index]->text());
    if (!folder.isEmpty())
        txtDir[index]->setText(folder);
}

void frmSetting::cmdOK_Click() {
    SettingScreenValues values;
    for (int i = 0; i < SettingDbRows; ++i) {
        values.server[i] = txtSv[i]->text();
        values.db[i] = txtDb[i]->text();
    }
    for (int i = 0; i < SettingDirRows; ++i)
        values.dir[i] = txtDir[i]->text();
    // A settings file that cannot be written would lose the edits without a word: say so and stay open.
    if (!saveSettingScreen(values, settingsPath_, session_)) {
        prompter_.message(QStringLiteral("設定ファイルに書き込めませんでした。\r\n") + settingsPath_,
                          QStringLiteral("環境設定"), MsgIcon::Critical);
        return;
    }
    close();
}

} // namespace kemnoa::core::ui
