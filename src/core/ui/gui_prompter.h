#pragma once
// The GUI's Prompter: message boxes, questions and input boxes owned by a window, the busy pointer,
// the progress window and the job screen's progress list.

#include "core/prompter.h"

#include <QPointer>
#include <memory>

class QListWidget;
class QWidget;

namespace kemnoa::core::ui {

class frmSplash;

class GuiPrompter : public Prompter {
public:
    // Dialogs are owned by `owner` when given; progress lines go to `list` when given.
    explicit GuiPrompter(QWidget* owner = nullptr, QListWidget* list = nullptr);
    ~GuiPrompter() override;

    void setOwner(QWidget* owner);
    void setList(QListWidget* list);

    void message(const QString& text, const QString& title, MsgIcon icon) override;
    bool question(const QString& text, const QString& title, bool defaultNo = false,
                  MsgIcon icon = MsgIcon::Question) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText = {}) override;
    std::optional<QString> secretInput(const QString& prompt, const QString& title) override;
    void beep() override;
    void setBusy(bool busy) override;
    void splashTitle(const QString& text) override;
    void splashStatus(const QString& text) override;
    void splashEnd() override;
    void listAdd(const QString& line) override;
    void listClear() override;
    void processEvents() override;

    // The progress window, created on first use (tests look at it).
    frmSplash* splash();

    // The title shown when a message names none: the application's title.
    static QString applicationTitle();

private:
    QPointer<QWidget> owner_;
    QPointer<QListWidget> list_;
    std::unique_ptr<frmSplash> splash_;
    int busyDepth_ = 0;
};

} // namespace kemnoa::core::ui
