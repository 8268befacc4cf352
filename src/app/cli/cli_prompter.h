#pragma once
// The job runner's Prompter: messages to standard error as "[title] text", progress-list lines
// to standard output, questions answered by --yes/--no, input boxes answered by a given text or by
// one line of standard input (never by the command line, where ps and the shell history show it).
// Text from files and servers is printed with its control characters replaced.

#include "core/prompter.h"

#include <QTextStream>
#include <optional>

namespace kemnoa::cli {

class CliPrompter : public core::Prompter {
public:
    CliPrompter(QTextStream& out, QTextStream& err, QTextStream* in = nullptr)
        : out_(out), err_(err), in_(in) {}

    // The answer to every question; nothing means a question stops the job as on No.
    void setAnswer(std::optional<bool> answer) { answer_ = answer; }
    // The answer to every input box; without one, an input box reads a line of standard input.
    void setInput(std::optional<QString> input) { input_ = std::move(input); }
    void setDefaultTitle(const QString& title) { defaultTitle_ = title; }
    // True once a question was asked that no --yes/--no answered.
    bool unansweredQuestion() const { return unanswered_; }

    void message(const QString& text, const QString& title, core::MsgIcon icon) override;
    bool question(const QString& text, const QString& title, bool defaultNo, core::MsgIcon icon) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    void beep() override {}
    void setBusy(bool) override {}
    void splashTitle(const QString&) override {}
    void splashStatus(const QString&) override {}
    void splashEnd() override {}
    void listAdd(const QString& line) override;
    void listClear() override {}

    // One line: line breaks shown as " / ", other control characters replaced, cut when overlong.
    static QString oneLine(const QString& text);

private:
    QString titled(const QString& title) const { return title.isEmpty() ? defaultTitle_ : title; }

    QTextStream& out_;
    QTextStream& err_;
    QTextStream* in_;
    std::optional<bool> answer_;
    std::optional<QString> input_;
    QString defaultTitle_ = QStringLiteral("kemnoa");
    bool unanswered_ = false;
};

} // namespace kemnoa::cli
