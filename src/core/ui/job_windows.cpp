#include "core/ui/job_windows.h"

#include "core/ui/window_placement.h"

#include <memory>

namespace kemnoa::core::ui {
namespace {

// Keeps a job's connections and context alive as a child of its window.
class JobScopeHolder : public QObject {
public:
    JobScopeHolder(std::unique_ptr<JobScope> scope, QObject* window)
        : QObject(window), scope_(std::move(scope)) {}

private:
    std::unique_ptr<JobScope> scope_;
};

} // namespace

const JobWindowRegistry::Factory* JobWindowRegistry::find(const QString& jobName) const {
    const auto it = factories_.find(jobName);
    return it == factories_.end() ? nullptr : &it->second;
}

QWidget* createJobWindow(const Job& job, const JobWindowRegistry::Factory& factory, Prompter& prompter,
                         const PrinterQuery* printers) {
    auto scope = std::make_unique<JobScope>(job, prompter, printers);
    QWidget* window = factory(scope->context());
    if (window)
        new JobScopeHolder(std::move(scope), window);
    return window;
}

QWidget* GuiJobOpener::openWindow(int jobCode) const {
    const auto it = open_.find(jobCode);
    return it == open_.end() ? nullptr : it->second.data();
}

bool GuiJobOpener::openJob(int jobCode) {
    if (QWidget* window = openWindow(jobCode)) {
        if (window->isMinimized())
            window->showNormal();
        window->show();
        window->raise();
        window->activateWindow();
        return true;
    }
    const Job* job = jobs_.byMenuCode(jobCode);
    const JobWindowRegistry::Factory* factory = job ? windows_.find(job->name) : nullptr;
    if (!factory)
        return false;
    QWidget* window = createJobWindow(*job, *factory, prompter_, printers_);
    if (!window)
        return true; // the job said why there is nothing to show
    // A closed job window is gone, so the next open makes a fresh one.
    window->setAttribute(Qt::WA_DeleteOnClose);
    open_[jobCode] = window;
    prepareJobWindow(window);
    window->show();
    return true;
}

} // namespace kemnoa::core::ui
