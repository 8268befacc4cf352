#pragma once
// Generates client order files (ORD*.mdb) for tests, demonstrations and benchmarks: the tables
// denheaddata, posdata, cardata, addfukidata, fuzokudata, snd_mst_ehj and snd_mst_fuki with every
// column the import reads, filled with realistic Japanese content drawn from demo_codes.h.
// The content is fixed by the seed. Options damage the file in the ways the import must refuse.

#include "platform/jet/jet_writer.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

namespace kemnoa::orderfile {

struct NullNumber {
    QString table;  // e.g. "posdata"
    QString column; // a number column, e.g. "SU"
    int row = 0;    // the row (in file order) that gets Null
};

struct DroppedColumn {
    QString table;
    QString column;
};

struct Options {
    int orders = 3;        // header rows (orders)
    int linesPerOrder = 3; // rows of each line table per order
    quint32 seed = 1;
    qint32 firstOrderNumber = 240001;
    int submittedSymbols = 2; // rows of snd_mst_ehj
    int submittedTerms = 2;   // rows of snd_mst_fuki
    QStringList omitTables;   // tables left out of the file
    std::vector<DroppedColumn> droppedColumns;
    std::vector<NullNumber> nullNumbers;
    // Puts text into TAPH7 of the first hang-tag line of every order (the seventh quality line in use).
    bool seventhQualityLine = false;
    QDateTime created; // recorded in the file; a fixed default keeps files identical
    // Writes the rows the way a client's program leaves them when it edits orders after saving
    // them (see writeOrderFile); the content stays the same.
    bool editedAfterWriting = false;
};

struct GeneratedTable {
    QString name;
    std::vector<jet::ColumnDef> columns;
    std::vector<jet::Row> rows;

    int columnIndex(const QString& column) const;
    const jet::Value& value(std::size_t row, const QString& column) const;
};

struct OrderFileData {
    std::vector<GeneratedTable> tables;
    std::vector<qint32> orderNumbers;

    const GeneratedTable* table(const QString& name) const;
};

// The content of an order file for the options (tables in the order listed above).
OrderFileData generateOrderData(const Options& options);
// Writes the data as a new Jet 4 file; throws kemnoa::core::Error on failure. Edited: each row is
// first written in an earlier state and then updated to its values, as Jet stores edits: a third of
// the rows grew (their text was shorter; the data moved to another page behind a forwarding slot), a
// third shrank in place (their text was longer), a third kept their size (other numbers); a copy of
// every fourth row is written and deleted again.
void writeOrderFile(const QString& path, const OrderFileData& data, const QDateTime& created = QDateTime(),
                    bool edited = false);
// Both at once.
OrderFileData makeOrderFile(const QString& path, const Options& options);

// The column definitions of a table of the order file, in the order the client's program writes them.
std::vector<jet::ColumnDef> orderFileColumns(const QString& table);
// The table names, in file order.
QStringList orderFileTables();

} // namespace kemnoa::orderfile
