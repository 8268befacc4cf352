#pragma once
// The folder chooser.

#include <QString>

class QWidget;

namespace kemnoa::core::ui {

// Opens the folder-selection dialog owned by the window, showing the title, folders only. Returns
// the chosen folder ending in the path separator, or empty text when cancelled.
QString MF_FolderSelect(QWidget* owner, const QString& title);

} // namespace kemnoa::core::ui
