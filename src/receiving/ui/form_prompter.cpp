#include "receiving/ui/form_prompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>

namespace kemnoa::receiving {

void FormPrompter::message(const QString& text, const QString& title, core::MsgIcon icon) {
    if (dialogs_)
        return dialogs_->message(text, title, icon);
    QMessageBox::Icon i = QMessageBox::NoIcon;
    switch (icon) {
    case core::MsgIcon::Information:
        i = QMessageBox::Information;
        break;
    case core::MsgIcon::Exclamation:
        i = QMessageBox::Warning;
        break;
    case core::MsgIcon::Critical:
        i = QMessageBox::Critical;
        break;
    case core::MsgIcon::Question:
        i = QMessageBox::Question;
        break;
    case core::MsgIcon::None:
        break;
    }
    QMessageBox box(i, title.isEmpty() ? QApplication::applicationName() : title, text, QMessageBox::Ok,
                    owner_);
    box.exec();
}

bool FormPrompter::question(const QString& text, const QString& title, bool defaultNo) {
    if (dialogs_)
        return dialogs_->question(text, title, defaultNo);
    return QMessageBox::question(owner_, title, text, QMessageBox::Yes | QMessageBox::No,
                                 defaultNo ? QMessageBox::No : QMessageBox::Yes) == QMessageBox::Yes;
}

std::optional<QString> FormPrompter::input(const QString& prompt, const QString& title,
                                           const QString& defaultText) {
    if (dialogs_)
        return dialogs_->input(prompt, title, defaultText);
    bool ok = false;
    const QString text = QInputDialog::getText(owner_, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

void FormPrompter::beep() {
    if (dialogs_)
        return dialogs_->beep();
    QApplication::beep();
}

void FormPrompter::setBusy(bool busy) {
    if (dialogs_)
        dialogs_->setBusy(busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void FormPrompter::splashTitle(const QString& text) {
    if (dialogs_)
        dialogs_->splashTitle(text);
}

void FormPrompter::splashStatus(const QString& text) {
    if (dialogs_)
        dialogs_->splashStatus(text);
}

void FormPrompter::splashEnd() {
    if (dialogs_)
        dialogs_->splashEnd();
}

void FormPrompter::listAdd(const QString& line) {
    list_->addItem(line);
    list_->scrollToBottom();
}

void FormPrompter::listClear() {
    list_->clear();
}

void FormPrompter::processEvents() {
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace kemnoa::receiving
