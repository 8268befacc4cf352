#pragma once
// Everything a job tells or asks the person at the workstation passes through a Prompter:
// message boxes, Yes/No questions, input boxes, beeps, the busy pointer, the progress window
// and a job screen's progress list. The GUI shows them, kemnoa-cli prints them, tests script them.

#include <QString>
#include <optional>

namespace kemnoa::core {

enum class MsgIcon { None, Information, Exclamation, Critical, Question };

class Prompter {
public:
    virtual ~Prompter() = default;

    // A message box with an OK button. An empty title stands for the application's own title.
    virtual void message(const QString& text, const QString& title, MsgIcon icon) = 0;
    // A Yes/No question, with the question icon unless another is named; true for Yes.
    virtual bool question(const QString& text, const QString& title, bool defaultNo = false,
                          MsgIcon icon = MsgIcon::Question) = 0;
    // An input box; nothing when cancelled.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText = {}) = 0;
    // An input box whose answer is not shown as typed (an access code); nothing when cancelled.
    virtual std::optional<QString> secretInput(const QString& prompt, const QString& title) {
        return input(prompt, title);
    }
    virtual void beep() = 0;
    // The busy (hourglass) pointer. Prefer BusyPointer, which restores it on every way out.
    virtual void setBusy(bool busy) = 0;

    // The progress window: title (MP_TitleSet), status text shown at once (MP_Set), closed (MP_End).
    virtual void splashTitle(const QString& text) = 0;
    virtual void splashStatus(const QString& text) = 0;
    virtual void splashEnd() = 0;

    // The progress list of the job screen (List1).
    virtual void listAdd(const QString& line) = 0;
    virtual void listClear() = 0;

    // Lets the user interface repaint and handle pending events during long work.
    virtual void processEvents() {}
};

// Shows the busy pointer for its lifetime.
class BusyPointer {
public:
    explicit BusyPointer(Prompter& prompter) : prompter_(prompter) { prompter_.setBusy(true); }
    ~BusyPointer() { prompter_.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Prompter& prompter_;
};

// A Prompter that shows nothing and answers No; for work that must run silently.
class SilentPrompter : public Prompter {
public:
    void message(const QString&, const QString&, MsgIcon) override {}
    bool question(const QString&, const QString&, bool, MsgIcon) override { return false; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return {}; }
    void beep() override {}
    void setBusy(bool) override {}
    void splashTitle(const QString&) override {}
    void splashStatus(const QString&) override {}
    void splashEnd() override {}
    void listAdd(const QString&) override {}
    void listClear() override {}
};

} // namespace kemnoa::core
