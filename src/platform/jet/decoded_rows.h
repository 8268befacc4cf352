#pragma once
// The rows of a client's Access file as the isolated child process hands them to the program: the
// child parses the file and writes every user table into a temporary file of our own simple format;
// the program reads only that file, never the client's bytes.
//
// Format (little-endian): "KJROWS01", the Jet version (1 byte), then records: 'T' a table (name,
// column count, per column name, type byte and size), 'R' a row (per column a kind byte and its
// value), 'Z' the end. Strings and text are a 4-byte byte count and UTF-16. A failed child writes
// "KJERROR1", the error number (8 bytes) and its description instead.
//
// The reader checks every count against what is left of the file and against the limits, so a
// damaged temporary file is an error, never a crash or an unbounded allocation.

#include "platform/jet/jet_error.h"
#include "platform/jet/jet_value.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace kemnoa::jet {

// What one client file may cost; far above any real order file (see docs/jet.md).
struct ReadLimits {
    qint64 fileBytes = qint64(128) << 20;    // size of the file
    qint64 rowsPerTable = 200000;            // rows of one table
    qint64 cellsPerTable = 8000000;          // rows times columns of one table
    qint64 decodedBytes = qint64(512) << 20; // all decoded values of the file together
};

// The refusals of the limits; descriptions name the limit, the table and the file.
[[noreturn]] void fileTooLarge(const QString& file, qint64 size, qint64 limit);

// The child's side: writes tables and rows, counting them against the limits.
class DecodedRowsWriter {
public:
    // fd stays owned by the caller.
    DecodedRowsWriter(int fd, const ReadLimits& limits, const QString& fileName);
    ~DecodedRowsWriter();
    void begin(int jetVersion);
    void table(const QString& name, const std::vector<Column>& columns);
    void row(const Row& values);
    void finish();
    // Replaces what was written by the error (the child then exits with failure).
    void fail(const QString& description, long number);

private:
    void put(const QByteArray& bytes);
    QFile file_;
    QByteArray buffer_;
    ReadLimits limits_;
    QString fileName_;
    QString table_;
    qint64 rows_ = 0;
    qint64 cells_ = 0;
    qint64 columns_ = 0;
    qint64 written_ = 0;
};

// The program's side: the tables of a decoded file; rows are read from the file when asked for.
class DecodedRows {
public:
    // Reads the table list and the place of every row. Throws Error (3343) for a damaged or
    // incomplete file, and the child's own error when it failed.
    static std::unique_ptr<DecodedRows> open(const QString& path, const ReadLimits& limits,
                                             const QString& fileName);
    ~DecodedRows();

    int jetVersion() const { return jetVersion_; }
    QStringList tables() const;
    // Index of a table by name, compared without regard to case; -1 when absent.
    int tableIndex(const QString& name) const;
    const std::vector<Column>& columns(int table) const { return tables_[std::size_t(table)].columns; }
    qint64 rowCount(int table) const { return qint64(tables_[std::size_t(table)].rows.size()); }
    void forEachRow(int table, const std::function<void(const Row&)>& visit) const;
    Row readRow(int table, qint64 row) const;
    // The size of all row records, as counted against ReadLimits::decodedBytes.
    qint64 decodedBytes() const { return decodedBytes_; }

private:
    DecodedRows() = default;
    struct Table {
        QString name;
        std::vector<Column> columns;
        std::vector<qint64> rows; // where each row starts in the file
    };
    struct Input;
    int jetVersion_ = 4;
    qint64 decodedBytes_ = 0;
    std::vector<Table> tables_;
    std::unique_ptr<Input> input_;
};

} // namespace kemnoa::jet
