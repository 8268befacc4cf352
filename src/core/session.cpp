#include "core/session.h"

namespace kemnoa::core {

const QStringList& fixedInfoKeys() {
    static const QStringList keys = {
        QStringLiteral("請求先CD"),    QStringLiteral("請求先名"),       QStringLiteral("請求先住所1"),
        QStringLiteral("請求先住所2"), QStringLiteral("請求先部門"),     QStringLiteral("請求先担当者"),
        QStringLiteral("請求先TEL"),   QStringLiteral("請求先FAX"),      QStringLiteral("得意先CD"),
        QStringLiteral("得意先名"),    QStringLiteral("発注元CD"),       QStringLiteral("発注元名"),
        QStringLiteral("発注元住所1"), QStringLiteral("発注元住所2"),    QStringLiteral("発注元TEL"),
        QStringLiteral("発注元FAX"),   QStringLiteral("発注元MAIL"),     QStringLiteral("発注元責任者"),
        QStringLiteral("発注元部門"),  QStringLiteral("発注元担当者名"), QStringLiteral("発注元担当者CD"),
        QStringLiteral("APPCD"),       QStringLiteral("APP名"),
    };
    return keys;
}

namespace {
Session g_session;
}

Session& session() {
    return g_session;
}

void resetSession() {
    g_session = Session{};
}

} // namespace kemnoa::core
