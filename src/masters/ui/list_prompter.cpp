#include "masters/ui/list_prompter.h"

#include <QListWidget>

namespace kemnoa::masters {

void ListPrompter::listAdd(const QString& line) {
    list_->addItem(line);
    list_->scrollToBottom();
}

void ListPrompter::listClear() {
    list_->clear();
}

} // namespace kemnoa::masters
