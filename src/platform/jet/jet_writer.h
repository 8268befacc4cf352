#pragma once
// Writes new Access 2000 (Jet 4) database files: the system catalog the engine expects, user tables
// with Text, Memo, Byte, Integer, Long, Double, Currency and DateTime columns (no indexes), and
// their rows. The whole file is assembled in memory and written once by close(); docs/jet.md lists
// the structures produced.
//
// Failures are kemnoa::Error with Jet's error numbers: an existing file (3204), a bad
// definition or value (3001, 3163 text too long, 3464 wrong type), a row too large (3047), and
// a file that cannot be written (3026).

#include "platform/jet/jet_error.h"
#include "platform/jet/jet_value.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

namespace kemnoa::jet {

struct ColumnDef {
    QString name;
    ColumnType type = ColumnType::Text;
    int textLength = 255; // characters, for Text (1 to 255); the engine's default text size is 255
};

class JetWriter {
public:
    // Starts a new database at path; the file must not exist yet. created is the creation time
    // recorded in the file (now when invalid).
    explicit JetWriter(const QString& path, const QDateTime& created = QDateTime());
    ~JetWriter();
    JetWriter(const JetWriter&) = delete;
    JetWriter& operator=(const JetWriter&) = delete;

    // Defines a table; columns keep the order given. Text columns allow zero-length values.
    void createTable(const QString& name, const std::vector<ColumnDef>& columns);
    // Inserts a row with a value for every column, in column order. Returns the row's number in
    // its table (0 for the first row inserted), by which updateRow() and deleteRow() name it.
    qint64 insert(const QString& table, const Row& values);
    // Inserts a row giving some columns by name; the others are Null.
    qint64 insert(const QString& table, const std::vector<std::pair<QString, Value>>& values);
    // Changes a row as the Jet engine does when a program edits it: data that fits the row's space
    // is written there (padded to its size); longer data moves to a page with room, marked as moved,
    // and the row's slot becomes a forwarding slot pointing at it. A moved row that changes again is
    // rewritten where it went, or moved once more with the forwarding slot pointed anew.
    void updateRow(const QString& table, qint64 row, const Row& values);
    // Deletes a row as Jet does: its slot (and that of its moved data) is marked deleted, the bytes stay.
    void deleteRow(const QString& table, qint64 row);
    // Writes the file. Nothing is written when close() is not called or fails.
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace kemnoa::jet
