#include "core/ui/gui_prompter.h"

#include "core/ui/frm_splash.h"
#include "platform/text/printable.h"

#include <QApplication>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>

namespace kemnoa::core::ui {

namespace {
QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

GuiPrompter::GuiPrompter(QWidget* owner, QListWidget* list) : owner_(owner), list_(list) {}

GuiPrompter::~GuiPrompter() {
    while (busyDepth_ > 0)
        setBusy(false);
}

void GuiPrompter::setOwner(QWidget* owner) {
    owner_ = owner;
}

void GuiPrompter::setList(QListWidget* list) {
    list_ = list;
}

QString GuiPrompter::applicationTitle() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("kemnoa") : name;
}

void GuiPrompter::message(const QString& text, const QString& title, MsgIcon icon) {
    QMessageBox box(boxIcon(icon), title.isEmpty() ? applicationTitle() : title, text, QMessageBox::Ok,
                    owner_);
    box.exec();
}

bool GuiPrompter::question(const QString& text, const QString& title, bool defaultNo, MsgIcon icon) {
    QMessageBox box(boxIcon(icon), title.isEmpty() ? applicationTitle() : title, text,
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> GuiPrompter::input(const QString& prompt, const QString& title,
                                          const QString& defaultText) {
    bool ok = false;
    const QString value = QInputDialog::getText(owner_, title.isEmpty() ? applicationTitle() : title, prompt,
                                                QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<QString> GuiPrompter::secretInput(const QString& prompt, const QString& title) {
    bool ok = false;
    const QString value = QInputDialog::getText(owner_, title.isEmpty() ? applicationTitle() : title, prompt,
                                                QLineEdit::Password, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

void GuiPrompter::beep() {
    QApplication::beep();
}

void GuiPrompter::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

frmSplash* GuiPrompter::splash() {
    if (!splash_)
        splash_ = std::make_unique<frmSplash>();
    return splash_.get();
}

void GuiPrompter::splashTitle(const QString& text) {
    splash()->MP_TitleSet(text);
}

void GuiPrompter::splashStatus(const QString& text) {
    splash()->MP_Set(text);
}

void GuiPrompter::splashEnd() {
    if (splash_)
        splash_->MP_End();
}

void GuiPrompter::listAdd(const QString& line) {
    if (!list_)
        return;
    list_->addItem(text::printable(line));
    list_->scrollToBottom();
    list_->repaint();
}

void GuiPrompter::listClear() {
    if (list_)
        list_->clear();
}

void GuiPrompter::processEvents() {
    QCoreApplication::processEvents();
}

} // namespace kemnoa::core::ui
