#include "app/cli/command.h"

namespace kemnoa::cli {

const CommandList& allCommands() {
    static const CommandList commands = [] {
        CommandList list;
        addGeneralCommands(list);
        addDbCommands(list);
        addLzhCommands(list);
        addJetCommands(list);
        return list;
    }();
    return commands;
}

} // namespace kemnoa::cli
