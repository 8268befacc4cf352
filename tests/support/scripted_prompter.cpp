#include "support/scripted_prompter.h"

namespace kemnoa::test {

void ScriptedPrompter::message(const QString& text, const QString& title, core::MsgIcon icon) {
    events.push_back({PromptEvent::Kind::Message, text, title, icon});
}

bool ScriptedPrompter::question(const QString& text, const QString& title, bool, core::MsgIcon icon) {
    events.push_back({PromptEvent::Kind::Question, text, title, icon});
    if (answers_.empty()) {
        ++unscriptedQuestions;
        return false;
    }
    const bool a = answers_.front();
    answers_.pop_front();
    return a;
}

std::optional<QString> ScriptedPrompter::input(const QString& prompt, const QString& title, const QString&) {
    events.push_back({PromptEvent::Kind::Input, prompt, title, core::MsgIcon::None});
    if (inputs_.empty())
        return std::nullopt;
    const bool given = inputs_.front().has_value();
    const QString value = given ? *inputs_.front() : QString();
    inputs_.pop_front();
    if (!given)
        return std::nullopt;
    return value;
}

void ScriptedPrompter::beep() {
    events.push_back({PromptEvent::Kind::Beep, {}, {}, core::MsgIcon::None});
}

void ScriptedPrompter::setBusy(bool busy) {
    busyDepth += busy ? 1 : -1;
    busyMaxDepth = std::max(busyMaxDepth, busyDepth);
}

QStringList ScriptedPrompter::messages() const {
    QStringList out;
    for (const auto& e : events)
        if (e.kind == PromptEvent::Kind::Message)
            out << QStringLiteral("[%1] %2").arg(e.title, e.text);
    return out;
}

} // namespace kemnoa::test
