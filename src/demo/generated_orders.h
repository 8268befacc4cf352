#pragma once
// Generated client order files: as many orders as asked, with realistic Japanese content drawn from
// the demo masters (demo_codes.h), so that imported demo orders pass the master check. The content
// is fixed by the seed. The damage options make the files the import must refuse.

#include "demo/order_file.h"

#include <QDateTime>

namespace kemnoa::demo {

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
    ColumnStyle style;
    QDateTime created; // recorded in the file; a fixed default keeps files identical
    // Writes the rows the way a client's program leaves them when it edits orders after saving
    // them (see writeOrderFile); the content stays the same.
    bool editedAfterWriting = false;
};

// The content of an order file for the options (tables in file order).
OrderFileData generateOrderData(const Options& options);
// Generates and writes the file.
OrderFileData makeOrderFile(const QString& path, const Options& options);

} // namespace kemnoa::demo
