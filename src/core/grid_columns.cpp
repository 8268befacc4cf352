#include "core/grid_columns.h"

#include "platform/db/reader.h"

namespace kemnoa::core {

bool isTicked(const QVariant& value) {
    return value.toString() != QLatin1String("0");
}

std::vector<GridRow> loadGridRows(db::Reader& reader, const std::vector<GridColumn>& columns) {
    std::vector<int> positions;
    positions.reserve(columns.size());
    for (const GridColumn& c : columns) {
        int i = -1;
        if (!c.source.isEmpty()) {
            i = reader.columnIndex(c.source);
            if (i < 0)
                reader.value(c.source); // throws the "item not found" error naming the column
        }
        positions.push_back(i);
    }
    std::vector<GridRow> rows;
    for (; !reader.atEnd(); reader.moveNext()) {
        GridRow row;
        row.reserve(qsizetype(columns.size()));
        for (int i : positions)
            row.push_back(i < 0 ? QVariant() : reader.value(i));
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace kemnoa::core
