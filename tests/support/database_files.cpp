#include "support/database_files.h"

#include "core/connections.h"
#include "platform/db/schema.h"

namespace kemnoa::test {

void createSessionDatabases() {
    for (qint32 kind : {core::KindWork, core::KindOffice, core::KindPo, core::KindSk}) {
        const db::ConnectionSettings s = core::connectionSettingsOfKind(kind);
        db::Dialect dialect;
        if (db::dialectOfProvider(s.provider, &dialect) && dialect == db::Dialect::SQLite &&
            !s.database.trimmed().isEmpty())
            db::ensureDatabase(s);
    }
}

} // namespace kemnoa::test
