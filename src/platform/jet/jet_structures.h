#pragma once
// Pieces of the Jet 4 file format that the writer builds and that are worth testing on their own:
// index keys in the General (legacy) sort order and column property blobs ("MR2").

#include "platform/jet/jet_value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace kemnoa::jet::format {

// True when every character of the text has a plain one-byte code in the General sort order
// (printable ASCII except the apostrophe and the hyphen, which Jet sorts by extra codes).
bool isPlainIndexText(const QString& text);

// The key bytes of one column value in an ascending index: a flag byte (0x00 for Null, 0x7f
// otherwise) and the value's sortable bytes. Supports Byte, Integer, Long and plain text; throws
// kemnoa::Error (3001) for anything else.
QByteArray ascendingIndexKey(ColumnType type, const Value& value);

// A property blob as Jet keeps it in MSysObjects.LvProp: "MR2\0", the list of property names and
// one block per column holding its Boolean properties (each true).
QByteArray columnPropertiesBlob(const std::vector<std::pair<QString, QStringList>>& columnProperties);

// The properties of the database object (MSysDb.LvProp) as Access 2000 writes them: AccessVersion
// "08.50" and the Access build, by which readers tell an Access 2000 file from a bare Jet 4 one.
QByteArray databasePropertiesBlob();

} // namespace kemnoa::jet::format
