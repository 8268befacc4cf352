#pragma once
// Job windows by job code. Each subsystem's widget library registers a factory for the codes it
// builds (for example `registry.add(201, [&] { return new frmJushin(...); })`), and the program
// hands the registry to the menu through GuiJobOpener. Codes without a factory do nothing.

#include "core/menu.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>

namespace kemnoa::core::ui {

class JobWindowRegistry {
public:
    // Makes a new job window (not shown yet); may throw Error when the window cannot be made.
    using Factory = std::function<QWidget*()>;

    void add(int jobCode, Factory factory) { factories_[jobCode] = std::move(factory); }
    bool contains(int jobCode) const { return factories_.count(jobCode) != 0; }
    // A new window for the code, or nullptr when none is registered.
    QWidget* create(int jobCode) const;

private:
    std::map<int, Factory> factories_;
};

// Opens job windows not modal, each at most once: a window still open is brought forward.
class GuiJobOpener : public JobOpener {
public:
    explicit GuiJobOpener(const JobWindowRegistry& registry) : registry_(registry) {}

    bool openJob(int jobCode) override;
    // The open window of the code, or nullptr.
    QWidget* openWindow(int jobCode) const;

private:
    const JobWindowRegistry& registry_;
    std::map<int, QPointer<QWidget>> open_;
};

} // namespace kemnoa::core::ui
