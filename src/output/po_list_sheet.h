#pragma once
// The two lists of a PO's production rows (rcv_skdata) under the PO database's header: the
// assortment list of the order workbook and the receipt-confirmation workbook. Both templates hold
// the same header cells and prepare list rows 16 to 58; the program formats the rows below.

#include "platform/db/connection.h"
#include "platform/xlsx/workbook.h"

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <initializer_list>
#include <optional>
#include <vector>

namespace kemnoa::output {

struct PoListData {
    std::vector<QHash<QString, QVariant>> lines;    // rcv_skdata rows in PO_GYOU order
    std::optional<QHash<QString, QVariant>> header; // TBL_PO_H row, when the PO has one
};

// Reads the lines on work and, when there are any, the header on po. Column names in lower case.
PoListData readPoList(db::Connection& work, db::Connection& po, const QString& poNo, const QString& poKbn);

// One list column: the block's columns, its value (a column of rcv_skdata, or two joined), its
// number format and alignment when the program formats a row.
struct PoListColumn {
    const char* first;
    const char* last;
    QStringList values; // rcv_skdata columns joined without separator
    const char* numberFormat;
    std::optional<xlsx::HorizontalAlignment> alignment;
};

// Writes the header (only when the PO has a header row) and one text row per line from row 16,
// formatting rows after 58 first.
void fillPoList(xlsx::Sheet& sheet, const PoListData& data, const QString& poNo,
                std::initializer_list<PoListColumn> columns);

} // namespace kemnoa::output
