#include "core/open_recordset.h"

namespace kemnoa::core {

db::Recordset MF_OpenRecordset(db::Connection& connection, const QString& statement) {
    return connection.openRecordset(statement);
}

} // namespace kemnoa::core
