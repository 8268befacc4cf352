#include "core/ui/folder_select.h"

#include "core/program_folder.h"

#include <QFileDialog>

namespace kemnoa::core::ui {

QString MF_FolderSelect(QWidget* owner, const QString& title) {
    const QString folder =
        QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return {};
    return withSeparator(folder);
}

} // namespace kemnoa::core::ui
