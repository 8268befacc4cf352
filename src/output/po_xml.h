#pragma once
// The PO's XML file (MF_PoXmlMake, declared with the package's steps): every row of the PO in the PO
// database, the production-control database and the work database, table by table, and the PO's print
// data as embedded CSV lines. The layout of the file is described in docs/po-package.md.

#include "output/xml_writer.h"
#include "platform/db/reader.h"

#include <QString>

namespace kemnoa::output {

// The TYPE and LENGTH attributes of a column: the ADO type number of its declared type and its size.
struct XmlColumnType {
    int type = 0;
    int length = 0;
};

// The attributes of a column of a table: from the column's declaration in the table catalogue, or,
// for a column the catalogue does not know, as the database access layer describes it.
XmlColumnType xmlColumnType(const QString& table, const db::ColumnInfo& column);

// Appends one "DATA" element per row of the read to the open element, each holding one element per
// column (named after it, with TYPE and LENGTH) whose text is the value, or "NULL" for Null. A read
// without rows still gives one "DATA" element of empty column elements. Throws core::Error.
void MF_TableXmlWrite(db::Reader& rows, const QString& table, XmlWriter& xml);

// One CSV line of the current row: columns 0 to lastColumn, each in double quotes (a Null or empty
// value as two quotes, quotes inside a value left as they are), separated by ",".
QString csvLine(const db::Reader& row, int lastColumn);

// The CSV lines of a read, from its current row on. In XML mode appends an element named fileName with
// one "DATA" element per row holding its line; otherwise writes the lines to filePath (code page 932,
// CR LF; the file is replaced when complete). Nothing is written when the read has fewer than
// lastColumn + 1 columns or no row. Returns the number of lines. Throws core::Error.
int MF_CsvLinesWrite(db::Reader& rows, int lastColumn, const QString& fileName, const QString& filePath,
                     bool xmlMode, XmlWriter* xml);

} // namespace kemnoa::output
