#pragma once
// Writes order files (ORD*.mdb) as clients send them: the seven tables with their columns, orders
// with realistic content, submitted care symbols and terms. Used by the tests and the benchmark;
// every part can be changed to make a faulty file (a table or column left out, Null values).

#include "platform/jet/jet_value.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <vector>

namespace kemnoa::receiving {

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
};

// An order with `lines` hang-tag lines and as many care-label lines, one additional term line and one
// accessory line. The content passes the master check against the demo masters (core/demo_data.h).
BuiltOrder sampleOrder(qint32 ordNo, int lines);
// One submitted care-symbol set and one term, numbered from id.
FileRow sampleEhj(int id, const QString& ehjNo, const QString& syori = QStringLiteral("N"));
FileRow sampleFuki(int id, const QString& fukiNo, const QString& syori = QStringLiteral("N"));

// Writes the file; throws core::Error when it cannot be written.
void writeOrderFile(const QString& path, const BuiltFile& file);

} // namespace kemnoa::receiving
