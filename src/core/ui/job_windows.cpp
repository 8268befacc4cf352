#include "core/ui/job_windows.h"

namespace kemnoa::core::ui {

QWidget* JobWindowRegistry::create(int jobCode) const {
    const auto it = factories_.find(jobCode);
    return it == factories_.end() ? nullptr : it->second();
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
    QWidget* window = registry_.create(jobCode);
    if (!window)
        return false;
    // A closed job window is gone, so the next open makes a fresh one.
    window->setAttribute(Qt::WA_DeleteOnClose);
    open_[jobCode] = window;
    window->show();
    return true;
}

} // namespace kemnoa::core::ui
