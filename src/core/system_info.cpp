#include "core/system_info.h"

#include <QSysInfo>
#include <optional>

namespace kemnoa::core {
namespace {
std::optional<QString> g_nameOverride;
}

void setComputerNameForTesting(const std::optional<QString>& name) {
    g_nameOverride = name;
}

QString GetSelfComputerName(Prompter& prompter) {
    QString name = g_nameOverride ? *g_nameOverride : QSysInfo::machineHostName();
    // The host part only, cut where the system's 16-character buffer ends.
    name = name.section(QLatin1Char('.'), 0, 0);
    const qsizetype nul = name.indexOf(QChar(0));
    if (nul >= 0)
        name.truncate(nul);
    name.truncate(15);
    if (name.isEmpty()) {
        prompter.message(QStringLiteral("コンピュータ名取得失敗。\r\n管理者に報告してください。"),
                         QStringLiteral("GetSelfComputerName"), MsgIcon::None);
        return QString();
    }
    return name;
}

QString versionText() {
    return QStringLiteral("Version ") + QStringLiteral(KEMNOA_VERSION);
}

} // namespace kemnoa::core
