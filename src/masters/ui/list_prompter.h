#pragma once
// The Prompter of a master job screen: dialogs, busy pointer and progress window go to another
// Prompter (the program's, or a test's); progress lines go to the screen's list.

#include "core/prompter.h"

class QListWidget;

namespace kemnoa::masters {

class ListPrompter : public core::Prompter {
public:
    ListPrompter(QListWidget* list, core::Prompter& base) : list_(list), base_(base) {}

    void message(const QString& text, const QString& title, core::MsgIcon icon) override {
        base_.message(text, title, icon);
    }
    bool question(const QString& text, const QString& title, bool defaultNo, core::MsgIcon icon) override {
        return base_.question(text, title, defaultNo, icon);
    }
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override {
        return base_.input(prompt, title, defaultText);
    }
    void beep() override { base_.beep(); }
    void setBusy(bool busy) override { base_.setBusy(busy); }
    void splashTitle(const QString& text) override { base_.splashTitle(text); }
    void splashStatus(const QString& text) override { base_.splashStatus(text); }
    void splashEnd() override { base_.splashEnd(); }
    void listAdd(const QString& line) override;
    void listClear() override;
    void processEvents() override { base_.processEvents(); }

private:
    QListWidget* list_;
    core::Prompter& base_;
};

} // namespace kemnoa::masters
