#pragma once
// Client order files (ORD*.mdb) for the tests, the demonstration and the benchmarks: the tables
// denheaddata, posdata, cardata, addfukidata, fuzokudata, snd_mst_ehj and snd_mst_fuki with the
// columns of the received-order and staging tables (the header without its system columns, the
// staging tables with the client's row id). Files are filled either by the seeded generator
// (generated_orders.h) or row by row (sample_orders.h); both end in the one writer below.

#include "platform/jet/jet_writer.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

namespace kemnoa::demo {

// How a client's program declares two groups of columns: the quality shares TAPR1-TAPR12 as
// numbers or as text, the remarks BIKO1-BIKO5 as memo or as text. Files of both kinds arrive.
struct ColumnStyle {
    bool numberShares = false;
    bool memoRemarks = false;
};

// The table names, in file order.
QStringList orderFileTables();
// The column definitions of a table of the order file, in the order the client's program writes
// them; nothing for a table that is not part of an order file.
std::vector<jet::ColumnDef> orderFileColumns(const QString& table, ColumnStyle style = {});

struct FileTable {
    QString name;
    std::vector<jet::ColumnDef> columns;
    std::vector<jet::Row> rows;

    // The column's position (names compared without regard to case), -1 when absent.
    int columnIndex(const QString& column) const;
    // Throws kemnoa::Error for a column the table does not have.
    const jet::Value& value(std::size_t row, const QString& column) const;
};

struct OrderFileData {
    std::vector<FileTable> tables;
    std::vector<qint32> orderNumbers;

    const FileTable* table(const QString& name) const;
};

// Damage the import must refuse or cope with.
struct NullNumber {
    QString table;  // e.g. "posdata"
    QString column; // a number column, e.g. "SU"
    int row = 0;    // the row (in file order) that gets Null
};
struct DroppedColumn {
    QString table;
    QString column;
};
struct Damage {
    QStringList omitTables; // tables left out of the file
    std::vector<DroppedColumn> droppedColumns;
    std::vector<NullNumber> nullNumbers;
};
// Applies the damage; throws kemnoa::Error for a table, column or row the data does not have.
void applyDamage(OrderFileData& data, const Damage& damage);

// Writes the data as a new Jet 4 file; throws kemnoa::Error on failure. The creation time recorded
// in the file is a fixed one unless given, so equal data make equal files. Edited: each row is first
// written in an earlier state and then updated to its values, as Jet stores edits: a third of the
// rows grew (their text was shorter; the data moved to another page behind a forwarding slot), a
// third shrank in place (their text was longer), a third kept their size (other numbers); a copy of
// every fourth row is written and deleted again.
void writeOrderFile(const QString& path, const OrderFileData& data, const QDateTime& created = QDateTime(),
                    bool edited = false);

} // namespace kemnoa::demo
