#pragma once
// The Prompter of a job screen: message boxes and questions owned by the screen, the busy
// pointer, and progress lines into the screen's list. Another Prompter may take the dialogs
// (tests script them); the list always belongs to the screen.

#include "core/prompter.h"

class QListWidget;
class QWidget;

namespace kemnoa::receiving {

class FormPrompter : public core::Prompter {
public:
    FormPrompter(QWidget* owner, QListWidget* list, core::Prompter* dialogs = nullptr)
        : owner_(owner), list_(list), dialogs_(dialogs) {}

    void message(const QString& text, const QString& title, core::MsgIcon icon) override;
    bool question(const QString& text, const QString& title, bool defaultNo) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    void beep() override;
    void setBusy(bool busy) override;
    void splashTitle(const QString& text) override;
    void splashStatus(const QString& text) override;
    void splashEnd() override;
    void listAdd(const QString& line) override;
    void listClear() override;
    void processEvents() override;

private:
    QWidget* owner_;
    QListWidget* list_;
    core::Prompter* dialogs_;
};

} // namespace kemnoa::receiving
