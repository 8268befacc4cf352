#pragma once
// Reads Access (Jet 3 and Jet 4) database files: the list of user tables, their columns and their
// rows as typed values with Null apart from empty text. Parsing is done by libmdb (mdbtools).
//
// Every failure (missing file, not an Access file, damaged pages, unknown table or column, a file
// over the limits) is a kemnoa::Error carrying a description and a Jet error number.
//
// By default the file is parsed only in a forked child process, under a time and memory limit and
// within ReadLimits; the child hands every user table's rows over in a temporary file of our own
// format (decoded_rows.h), and this process reads only that. So a file that would crash, hang or
// exhaust the parser fails alone, and the program's memory stays bounded by the limits.

#include "platform/jet/decoded_rows.h"
#include "platform/jet/isolated_run.h"
#include "platform/jet/jet_error.h"
#include "platform/jet/row_set.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace kemnoa::jet {

class JetReader {
public:
    struct Options {
        bool isolate = true;   // parse in a child process (false: in this process, for trusted files)
        int timeoutMs = 60000; // for the child
        qint64 memoryBytes = qint64(2) << 30;
        ReadLimits limits; // the file size always; rows, cells and decoded bytes in the child
    };

    explicit JetReader(const QString& path);
    JetReader(const QString& path, const Options& options);
    // Reads a database held in memory (the fuzzer and tests use this).
    static JetReader fromBytes(QByteArray bytes, const Options& options);
    ~JetReader();
    JetReader(JetReader&&) noexcept;
    JetReader& operator=(JetReader&&) noexcept;

    // 3 or 4 (Jet 4 and later formats report 4 and above as libmdb numbers them).
    int jetVersion() const;
    // User tables (catalog type "TABLE", no system tables), in catalog order.
    QStringList tables() const;
    // Whether a user table of that name exists, compared without regard to case as Jet does.
    bool hasTable(const QString& name) const;
    std::vector<Column> columns(const QString& table) const;
    // Live rows of the table (deleted rows are not counted).
    qint64 rowCount(const QString& table) const;

    // All rows of a table, in storage order.
    RowSet readTable(const QString& table) const;
    // "Select * From table Where ... Order By ...": rows filtered while reading, then sorted.
    RowSet select(const Query& query) const;
    // Streams every row without keeping them; for large tables.
    void forEachRow(const QString& table, const std::function<void(const Row&)>& visit) const;
    // Rows by their place in storage order (0 for the first row forEachRow visits), in the order
    // asked; a place past the last row is an error (3265). Cheap after decoding in the child; in
    // this process it costs a pass over the table.
    std::vector<Row> readRows(const QString& table, const std::vector<qint64>& places) const;
    // What the file's values cost against ReadLimits::decodedBytes (0 when read in this process).
    qint64 decodedBytes() const;

private:
    friend class JetParser;
    struct Impl;
    JetReader(std::unique_ptr<Impl> impl, std::unique_ptr<DecodedRows> decoded);
    static JetReader load(QByteArray bytes, const QString& name, const Options& options);
    static bool decodeInto(int fd, const QByteArray& bytes, const QString& name, const Options& options);
    static JetReader fromDecoded(IsolatedOutcome outcome, const QString& decodedPath, const QString& name,
                                 const Options& options);
    static IsolationLimits childLimits(const Options& options);
    // Throws when the file is missing or over the size limit.
    static void checkFile(const QString& path, const Options& options);
    // The decoded table of that name; throws 3078 when there is none.
    int decodedTable(const QString& name) const;
    std::unique_ptr<Impl> d_;           // libmdb on the file's bytes (not isolated)
    std::unique_ptr<DecodedRows> rows_; // what the child decoded (isolated)
    QString name_;
};

} // namespace kemnoa::jet
