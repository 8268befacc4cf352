#pragma once
// The reference masters as CSV text (UTF-8, a header row of column names, fields quoted when they
// hold a comma, a quote or a line break), for the job runner's export and import.

#include "masters/reference_masters.h"

#include <QByteArray>
#include <QString>

namespace kemnoa::masters {

// The rows under a header of the master's column names, lines ending in CR LF.
QByteArray masterCsv(RefMaster kind, const MasterRows& rows);

// Reads CSV text (a UTF-8 byte-order mark is skipped) whose header names every column of the
// master once, by column name or caption, in any order; the rows come back in the grid's column
// order. Throws core::Error with a description of the first fault (unclosed quote, unknown or
// missing column, a record with another number of fields than the header).
MasterRows parseMasterCsv(RefMaster kind, const QByteArray& data);

} // namespace kemnoa::masters
