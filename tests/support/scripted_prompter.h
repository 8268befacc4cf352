#pragma once
// A Prompter for tests: records every message, question and progress text in order,
// and answers questions and input boxes from a script.

#include "core/prompter.h"

#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

namespace kemnoa::test {

struct PromptEvent {
    enum class Kind { Message, Question, Input, Beep };
    Kind kind;
    QString text;
    QString title;
    core::MsgIcon icon = core::MsgIcon::None;
};

class ScriptedPrompter : public core::Prompter {
public:
    // Queues the answer to the next question (true = Yes).
    void answer(bool yes) { answers_.push_back(yes); }
    // Queues the result of the next input box (nothing = Cancel).
    void inputAnswer(std::optional<QString> value) { inputs_.push_back(std::move(value)); }

    void message(const QString& text, const QString& title, core::MsgIcon icon) override;
    bool question(const QString& text, const QString& title, bool defaultNo, core::MsgIcon icon) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    void beep() override;
    void setBusy(bool busy) override;
    void splashTitle(const QString& text) override { splashTitles.push_back(text); }
    void splashStatus(const QString& text) override {
        splashTexts.push_back(text);
        splashOpen = true;
    }
    void splashEnd() override { splashOpen = false; }
    void listAdd(const QString& line) override { list.push_back(line); }
    void listClear() override { list.clear(); }

    // Messages only, as "[title] text", for compact assertions.
    QStringList messages() const;

    std::vector<PromptEvent> events;
    QStringList list;
    QStringList splashTitles;
    QStringList splashTexts;
    bool splashOpen = false;
    int busyDepth = 0; // current busy nesting; 0 once every busy pointer was restored
    int busyMaxDepth = 0;
    int unscriptedQuestions = 0;

private:
    std::deque<bool> answers_;
    std::deque<std::optional<QString>> inputs_;
};

} // namespace kemnoa::test
