#include "receiving/ui/form_prompter.h"

#include "platform/text/printable.h"

#include <QListWidget>

namespace kemnoa::receiving {

void FormPrompter::listAdd(const QString& line) {
    list_->addItem(text::printable(line));
    list_->scrollToBottom();
}

void FormPrompter::listClear() {
    list_->clear();
}

} // namespace kemnoa::receiving
