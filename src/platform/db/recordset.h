#pragma once
// A client-side recordset: every row of a statement loaded into memory, moved through freely.
// Opened updatable (over a single-table statement) it adds, changes and deletes rows, each write
// sent to the database at once. Rows are identified by the table's primary key, or by all their
// original values when the table has none.

#include "platform/db/column_info.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace kemnoa::db {

class Connection;

class Recordset {
public:
    Recordset(Connection& connection, const QString& sql, const QVariantList& params, bool updatable);

    int recordCount() const { return static_cast<int>(rows_.size()); }
    bool atEnd() const { return pos_ >= recordCount(); } // EOF
    bool atStart() const { return pos_ < 0; }            // BOF
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    // 0-based position of the current row (-1 before the first, recordCount() past the last).
    int position() const { return pos_; }

    // Searches from the current row forward for the first row whose column equals the value
    // (compared as text); stays there and returns true, or moves past the end and returns false.
    bool find(const QString& column, const QVariant& value);

    int columnCount() const { return static_cast<int>(columns_.size()); }
    const ColumnInfo& column(int index) const;
    int columnIndex(const QString& name) const;

    QVariant value(const QString& name) const;
    QVariant value(int index) const;
    bool isNull(const QString& name) const;
    QString text(const QString& name) const;

    // Changes a field of the current row (or of the row being added) in memory.
    void setValue(const QString& name, const QVariant& value);
    // Starts a new row at the end and makes it current; its fields are Null until set.
    void addNew();
    // Writes the current row: an insert for a new row, an update of its changed fields otherwise.
    void update();
    // Cancels the changes of the current row (a new row is dropped).
    void cancelUpdate();
    // Deletes the current row from the database and from the recordset; the row after it becomes
    // current (or the end).
    void remove();

    bool isUpdatable() const { return updatable_; }
    // The table an updatable recordset writes to.
    const QString& baseTable() const { return table_; }

private:
    struct Row {
        std::vector<QVariant> original;
        std::vector<QVariant> current;
        std::vector<bool> changed;
        bool isNew = false;
    };
    void requireRow() const;
    void requireUpdatable() const;
    int requireColumn(const QString& name) const;
    QString whereClause(const Row& row, QVariantList& params) const;

    Connection& connection_;
    std::vector<ColumnInfo> columns_;
    std::vector<Row> rows_;
    std::vector<int> keyColumns_;
    QString table_;
    bool updatable_ = false;
    int pos_ = 0;
};

} // namespace kemnoa::db
