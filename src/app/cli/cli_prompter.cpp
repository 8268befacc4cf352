#include "app/cli/cli_prompter.h"

namespace kemnoa::cli {

QString CliPrompter::oneLine(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    s.replace(QLatin1Char('\n'), QStringLiteral(" / "));
    s.replace(QLatin1Char('\r'), QStringLiteral(" / "));
    return s;
}

void CliPrompter::message(const QString& text, const QString& title, core::MsgIcon) {
    err_ << '[' << titled(title) << "] " << oneLine(text) << Qt::endl;
}

bool CliPrompter::question(const QString& text, const QString& title, bool, core::MsgIcon) {
    if (!answer_) {
        unanswered_ = true;
        err_ << '[' << titled(title) << "] " << oneLine(text) << " -> No (no --yes given)" << Qt::endl;
        return false;
    }
    err_ << '[' << titled(title) << "] " << oneLine(text) << (*answer_ ? " -> Yes" : " -> No") << Qt::endl;
    return *answer_;
}

std::optional<QString> CliPrompter::input(const QString& prompt, const QString& title, const QString&) {
    err_ << '[' << titled(title) << "] " << oneLine(prompt)
         << (input_ ? QStringLiteral(" -> (given)") : QStringLiteral(" -> cancelled (no --input given)"))
         << Qt::endl;
    return input_;
}

void CliPrompter::listAdd(const QString& line) {
    out_ << line << Qt::endl;
}

} // namespace kemnoa::cli
