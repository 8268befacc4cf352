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
    // Inserts a row with a value for every column, in column order.
    void insert(const QString& table, const Row& values);
    // Inserts a row giving some columns by name; the others are Null.
    void insert(const QString& table, const std::vector<std::pair<QString, Value>>& values);
    // Writes the file. Nothing is written when close() is not called or fails.
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace kemnoa::jet
