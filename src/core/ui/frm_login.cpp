#include "core/ui/frm_login.h"

#include "core/login.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kemnoa::core::ui {

frmLogin::frmLogin(Session& session, Actions actions, QWidget* parent)
    : QWidget(parent), session_(session), actions_(std::move(actions)) {
    setWindowTitle(QStringLiteral("ログイン"));

    lblSystem = new QLabel(QStringLiteral("ケムノア専用海外発注システム"), this);
    QFont systemFont = lblSystem->font();
    systemFont.setPointSizeF(systemFont.pointSizeF() * 1.5);
    systemFont.setBold(true);
    lblSystem->setFont(systemFont);
    lblSystem->setAlignment(Qt::AlignCenter);
    lblVersion = new QLabel(session_.VersionText, this);
    lblVersion->setAlignment(Qt::AlignRight);

    txtUser = new QLineEdit(session_.LoginUser, this);
    auto* userCaption = new QLabel(QStringLiteral("user"), this);
    userCaption->setBuddy(txtUser);

    auto* jobFrame = new QGroupBox(QStringLiteral("job type"), this);
    Option1[0] = new QRadioButton(QStringLiteral("nagoya sales"), jobFrame);
    Option1[1] = new QRadioButton(QStringLiteral("data center"), jobFrame);
    auto* jobLayout = new QVBoxLayout(jobFrame);
    jobLayout->addWidget(Option1[0]);
    jobLayout->addWidget(Option1[1]);
    Option1[loginOptionFor(session_.JobType)]->setChecked(true);

    cmdOK = new QPushButton(QStringLiteral("ok"), this);
    cmdCancel = new QPushButton(QStringLiteral("cancel"), this);
    cmdOption = new QPushButton(QStringLiteral("option"), this);
    cmdOK->setDefault(true);

    auto* userRow = new QHBoxLayout;
    userRow->addWidget(userCaption);
    userRow->addWidget(txtUser);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOption);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSystem);
    layout->addWidget(lblVersion);
    layout->addLayout(userRow);
    layout->addWidget(jobFrame);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdOption, &QPushButton::clicked, this, &frmLogin::cmdOption_Click);
    connect(txtUser, &QLineEdit::returnPressed, this, &frmLogin::cmdOK_Click);
}

void frmLogin::cmdOK_Click() {
    if (actions_.openMenu)
        actions_.openMenu();
    recordLogin(session_, txtUser->text(), Option1[0]->isChecked());
    close();
}

void frmLogin::cmdOption_Click() {
    if (actions_.openSettings)
        actions_.openSettings();
    close();
}

} // namespace kemnoa::core::ui
