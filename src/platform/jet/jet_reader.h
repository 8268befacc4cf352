#pragma once
// Reads Access (Jet 3 and Jet 4) database files: the list of user tables, their columns and their
// rows as typed values with Null apart from empty text. Parsing is done by libmdb (mdbtools).
//
// Every failure (missing file, not an Access file, damaged pages, unknown table or column) is a
// kemnoa::Error carrying a description and a Jet error number. By default a file is first
// parsed in full in a child process under a time and memory limit; only a file that passes there is
// read in this process, from the same bytes, so a file that would crash or hang the parser fails alone.

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
        bool isolate = true;   // check the file in a child process first
        int timeoutMs = 60000; // for that check
        qint64 memoryBytes = qint64(2) << 30;
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

private:
    struct Impl;
    explicit JetReader(std::unique_ptr<Impl> impl);
    static JetReader load(QByteArray bytes, const QString& name, const Options& options);
    std::unique_ptr<Impl> d_;
};

} // namespace kemnoa::jet
