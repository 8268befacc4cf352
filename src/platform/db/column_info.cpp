#include "platform/db/column_info.h"

#include "platform/db/db_error.h"

namespace kemnoa::db {

int columnIndexIn(const std::vector<ColumnInfo>& columns, const QString& name) {
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

int requireColumnIn(const std::vector<ColumnInfo>& columns, const QString& name) {
    const int i = columnIndexIn(columns, name);
    if (i < 0)
        throwError(QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                  "name or ordinal. (%1)")
                       .arg(name),
                   dberr::ItemNotFound);
    return i;
}

const ColumnInfo& columnAt(const std::vector<ColumnInfo>& columns, int index) {
    if (index < 0 || static_cast<size_t>(index) >= columns.size())
        throwError(QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                  "name or ordinal."),
                   dberr::ItemNotFound);
    return columns[static_cast<size_t>(index)];
}

} // namespace kemnoa::db
