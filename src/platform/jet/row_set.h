#pragma once
// Rows read from one table, with the filtering and ordering the import's statements need
// ("... Where ORD_NO = n Order By ORD_NO, GYOU").

#include "platform/jet/jet_value.h"

#include <QStringList>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kemnoa::jet {

class RowSet {
public:
    RowSet() = default;
    RowSet(std::vector<Column> columns, std::vector<Row> rows);

    const std::vector<Column>& columns() const { return *columns_; }
    const std::vector<Row>& rows() const { return rows_; }
    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }

    // Column position by name, compared without regard to case as Jet does; -1 when absent.
    int columnIndex(const QString& name) const;
    bool hasColumn(const QString& name) const { return columnIndex(name) >= 0; }
    // The value of a named column in row r; throws kemnoa::Error (3265) for an unknown column.
    const Value& value(std::size_t r, const QString& column) const;

    // Rows whose column equals the value (Null matches nothing), in their present order. Asking a
    // number column for a number builds an index of that column on first use, so picking the lines
    // of one order after another out of a whole table stays cheap.
    RowSet where(const QString& column, const Value& equals) const;
    // Rows sorted by the columns, each ascending; rows that tie keep their order.
    RowSet orderBy(const QStringList& columns) const;

private:
    int requireColumn(const QString& name) const;
    const std::vector<std::size_t>* numberIndexLookup(std::size_t column, double key) const;
    std::shared_ptr<const std::vector<Column>> columns_ = std::make_shared<std::vector<Column>>();
    std::vector<Row> rows_;
    // Per column: rows by numeric value; empty when the column holds anything but numbers and Null.
    struct NumberIndex {
        bool usable = false;
        std::unordered_map<double, std::vector<std::size_t>> rows;
    };
    mutable std::shared_ptr<std::unordered_map<std::size_t, NumberIndex>> indexes_ =
        std::make_shared<std::unordered_map<std::size_t, NumberIndex>>();
};

// A Select on one table: "Select * From table [Where c1 = v1 And ...] [Order By ...]".
struct Query {
    QString table;
    std::vector<std::pair<QString, Value>> where;
    QStringList orderBy;
};

} // namespace kemnoa::jet
