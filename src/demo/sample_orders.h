#pragma once
// Order files put together row by row, for tests that set single values: orders with realistic
// content, submitted care symbols and terms. Every part can be changed to make a faulty file (a table
// or column left out, Null values). Written through the one order-file writer (order_file.h).

#include "demo/order_file.h"
#include "platform/jet/jet_value.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <vector>

namespace kemnoa::demo {

using FileRow = QMap<QString, jet::Value>; // columns not given are Null

struct BuiltOrder {
    FileRow header;
    std::vector<FileRow> pos, car, addFuki, fuzoku;
};

struct BuiltFile {
    std::vector<BuiltOrder> orders;
    std::vector<FileRow> ehj;               // snd_mst_ehj rows (with their id)
    std::vector<FileRow> fuki;              // snd_mst_fuki rows
    QSet<QString> omitTables;               // file tables not written
    QMap<QString, QStringList> omitColumns; // file table -> columns not written
    ColumnStyle style{true, true};          // shares as numbers, remarks as memo
};

// An order with `lines` hang-tag lines and as many care-label lines, one additional term line and one
// accessory line. The content passes the master check against the demo masters (demo_data.h).
BuiltOrder sampleOrder(qint32 ordNo, int lines);
// One submitted care-symbol set and one term, numbered from id.
FileRow sampleEhj(int id, const QString& ehjNo, const QString& syori = QStringLiteral("N"));
FileRow sampleFuki(int id, const QString& fukiNo, const QString& syori = QStringLiteral("N"));

// The tables of the file, ready for the writer.
OrderFileData orderFileData(const BuiltFile& file);
// Writes the file; throws kemnoa::Error when it cannot be written.
void writeOrderFile(const QString& path, const BuiltFile& file);

} // namespace kemnoa::demo
