#include "app/cli/cli_prompter.h"

#include "platform/text/printable.h"

namespace kemnoa::cli {

QString CliPrompter::oneLine(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    s.replace(QLatin1Char('\n'), QStringLiteral(" / "));
    s.replace(QLatin1Char('\r'), QStringLiteral(" / "));
    return text::printable(s);
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
    std::optional<QString> answer = input_;
    if (!answer && in_ && !in_->atEnd()) {
        const QString line = in_->readLine();
        if (!line.isNull())
            answer = line;
    }
    err_ << '[' << titled(title) << "] " << oneLine(prompt)
         << (answer ? QStringLiteral(" -> (given)")
                    : QStringLiteral(" -> cancelled (nothing on standard input)"))
         << Qt::endl;
    return answer;
}

void CliPrompter::listAdd(const QString& line) {
    const QString shown = text::printable(line);
    out_ << shown << Qt::endl;
    // A failure line ("♯...") is also told on standard error, which an unattended run's mail shows.
    if (shown.startsWith(QChar(0x266F)))
        err_ << shown << Qt::endl;
}

} // namespace kemnoa::cli
