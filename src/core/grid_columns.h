#pragma once
// What a grid shows: its columns (caption, source column, width, type, editable, drop-down list) and
// its rows, read from a record set. The grid model of the windows (core/ui/record_grid_model.h)
// shows them; the logic fills and reads them without any widget.

#include <QString>
#include <QVariant>
#include <QVector>
#include <vector>

namespace kemnoa::db {
class Reader;
}

namespace kemnoa::core {

enum class CellType {
    Text,
    Number, // shown right-aligned; an edit must read as a number
    Date,   // shown as yyyy/mm/dd
    Tick,   // a check box; ticked when its value is anything other than "0"
};

struct GridColumn {
    QString caption;
    QString source; // the record-set column the values come from; empty for a computed column
    int width = 80; // pixels
    CellType type = CellType::Text;
    bool editable = false;
    QString dropDown; // the name of the list an edit chooses from; empty for free entry
};

// One row: a value for each grid column, in column order; Null is an invalid QVariant.
using GridRow = QVector<QVariant>;

// True for a tick value other than "0" (also for Null, which is not "0").
bool isTicked(const QVariant& value);

// The rows of the reader from its current row to its end, each with the values of the columns'
// sources; a column without a source gets Null. Throws kemnoa::Error for a source the reader lacks.
std::vector<GridRow> loadGridRows(db::Reader& reader, const std::vector<GridColumn>& columns);

} // namespace kemnoa::core
