#include "app/gui/startup_stub.h"

#include "core/session.h"
#include "core/user_store.h"

#include <QSysInfo>
#include <QVersionNumber>

namespace kemnoa::gui {

bool runStartup(core::Prompter& prompter, const core::PrinterQuery& printers) {
    core::BusyPointer busy(prompter);
    core::Session& s = core::session();
    const QVersionNumber version = QVersionNumber::fromString(QStringLiteral(KEMNOA_VERSION));
    s.VersionText = QStringLiteral("Version %1.%2.%3")
                        .arg(version.majorVersion())
                        .arg(version.minorVersion())
                        .arg(version.microVersion());
    s.ComputerName = QSysInfo::machineHostName();
    s.DefaultPrinter = printers.defaultPrinterName();
    s.SelectedPrinter.clear();
    core::loadLoginFromUserStore(s);
    return true;
}

} // namespace kemnoa::gui
