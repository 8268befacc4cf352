#pragma once
// How the rows of an order file become rows of the work tables: which file column feeds which work
// column, and the rules of each table (the fixed values of a new header, the quality-line rule of
// hang tags, 0 as empty text in TAPR1 to TAPR12, the narrow conversion of care-label text).
//
// Values are QVariants as the database layer binds them: a Null is an invalid (or null) QVariant,
// text a QString, numbers qint64 or double.

#include "core/error.h"
#include "receiving/order_tables.h"

#include <QStringList>
#include <QVariant>
#include <vector>

namespace kemnoa::receiving {

// One row of a file table, its values in the order of a TableDef's columns.
using SourceValues = std::vector<QVariant>;
// One row for a work table, its values in the order of the TableDef's columns.
using WorkValues = QVariantList;

// Error numbers of a bad order file.
namespace importerr {
inline constexpr long MissingColumn = 3265; // item not found in this collection
inline constexpr long NullNumber = 94;      // invalid use of Null
inline constexpr long NotANumber = 13;      // type mismatch
} // namespace importerr

// The position of each of the table's columns among the file table's columns. Header system columns
// are not read (position -1). Throws core::Error naming the file table and the column when one is
// missing.
std::vector<int> resolveColumns(const TableDef& table, const QStringList& fileColumns);

// The value of a text column: Null as empty text, numbers in their plain decimal form.
QString textValue(const QVariant& value);
// True for a number 0 or a text that reads as the number 0.
bool isZero(const QVariant& value);
// The value of a number column. Throws core::Error naming the table, the order and the column for a
// Null or a value that is no number.
QVariant numberValue(const QVariant& value, const QString& fileTable, qint64 ordNo, const QString& column);

// The header row of a new order: the file's values with PO_NO '', PO_KBN '', ERR_SU 0, PRN_SU 0,
// SEND_FLG '9', ORD_SAKI_CD '' and ORD_SAKI_NM ''.
WorkValues mapHeader(const SourceValues& src, qint64 ordNo);
// A line of one of the four line tables, with that table's rules.
WorkValues mapLine(const TableDef& table, const SourceValues& src, qint64 ordNo);
// A staged submission: every value as text (the caller adds KAKUNIN_FLG '0').
WorkValues mapStaging(const TableDef& table, const SourceValues& src);

} // namespace kemnoa::receiving
