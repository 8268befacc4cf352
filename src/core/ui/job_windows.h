#pragma once
// Job windows by job name. Each subsystem's widget library adds a factory for the jobs whose window
// it builds (`windows.add(QStringLiteral("import"), [](JobContext& ctx) { return new frmOrd_Imp(ctx); })`),
// and the menu opens them by the job code of their row in the job table. The opener takes the
// connections the row declares before the window is made and releases them when it is gone.

#include "core/job.h"
#include "core/menu.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>

namespace kemnoa::core::ui {

class JobWindowRegistry {
public:
    // Makes a new job window (not shown yet) over the job's context, which lasts as long as the
    // window; nullptr when the job has said why there is no window. May throw Error.
    using Factory = std::function<QWidget*(JobContext&)>;

    void add(const QString& jobName, Factory factory) { factories_[jobName] = std::move(factory); }
    bool contains(const QString& jobName) const { return factories_.count(jobName) != 0; }
    const Factory* find(const QString& jobName) const;

private:
    std::map<QString, Factory> factories_;
};

// Opens job windows not modal, each at most once: a window still open is brought forward.
class GuiJobOpener : public JobOpener {
public:
    GuiJobOpener(const JobTable& jobs, const JobWindowRegistry& windows, Prompter& prompter,
                 const PrinterQuery* printers = nullptr)
        : jobs_(jobs), windows_(windows), prompter_(prompter), printers_(printers) {}

    bool openJob(int jobCode) override;
    // The open window of the code, or nullptr.
    QWidget* openWindow(int jobCode) const;

private:
    const JobTable& jobs_;
    const JobWindowRegistry& windows_;
    Prompter& prompter_;
    const PrinterQuery* printers_;
    std::map<int, QPointer<QWidget>> open_;
};

// Makes the window of a job with its connections held for the window's lifetime (the opener, and
// windows that open other job windows, such as the search list opening the editor).
QWidget* createJobWindow(const Job& job, const JobWindowRegistry::Factory& factory, Prompter& prompter,
                         const PrinterQuery* printers = nullptr);

} // namespace kemnoa::core::ui
