#include "platform/jet/row_set.h"

#include "platform/jet/jet_error.h"

#include <algorithm>
#include <cmath>

namespace kemnoa::jet {

RowSet::RowSet(std::vector<Column> columns, std::vector<Row> rows)
    : columns_(std::make_shared<const std::vector<Column>>(std::move(columns))), rows_(std::move(rows)) {}

int RowSet::columnIndex(const QString& name) const {
    for (std::size_t i = 0; i < columns_->size(); ++i)
        if ((*columns_)[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

int RowSet::requireColumn(const QString& name) const {
    const int i = columnIndex(name);
    if (i < 0)
        throw Error(QStringLiteral("Item not found in this collection: column '%1'").arg(name),
                    errnum::ItemNotFound);
    return i;
}

const Value& RowSet::value(std::size_t r, const QString& column) const {
    return rows_.at(r).at(std::size_t(requireColumn(column)));
}

const std::vector<std::size_t>* RowSet::numberIndexLookup(std::size_t column, double key) const {
    auto it = indexes_->find(column);
    if (it == indexes_->end()) {
        NumberIndex index;
        index.usable = true;
        for (std::size_t r = 0; r < rows_.size() && index.usable; ++r) {
            const Value& v = rows_[r][column];
            if (v.isNull())
                continue;
            if (!v.isNumber())
                index.usable = false;
            else
                index.rows[v.asDouble()].push_back(r);
        }
        if (!index.usable)
            index.rows.clear();
        it = indexes_->emplace(column, std::move(index)).first;
    }
    if (!it->second.usable)
        return nullptr;
    static const std::vector<std::size_t> none;
    const auto found = it->second.rows.find(key);
    return found == it->second.rows.end() ? &none : &found->second;
}

RowSet RowSet::where(const QString& column, const Value& equals) const {
    const auto c = std::size_t(requireColumn(column));
    RowSet out;
    out.columns_ = columns_;
    // Integers are exact in a double up to 2^53, so the index is exact for the keys that matter.
    if (equals.isNumber() && !equals.isNull() && std::fabs(equals.asDouble()) < 9.0e15) {
        if (const auto* rows = numberIndexLookup(c, equals.asDouble())) {
            for (std::size_t r : *rows)
                out.rows_.push_back(rows_[r]);
            return out;
        }
    }
    for (const Row& row : rows_)
        if (row[c].sqlEquals(equals))
            out.rows_.push_back(row);
    return out;
}

RowSet RowSet::orderBy(const QStringList& columns) const {
    std::vector<std::size_t> keys;
    for (const QString& c : columns)
        keys.push_back(std::size_t(requireColumn(c)));
    RowSet out = *this;
    out.indexes_ = std::make_shared<std::unordered_map<std::size_t, NumberIndex>>(); // rows move
    std::stable_sort(out.rows_.begin(), out.rows_.end(), [&](const Row& a, const Row& b) {
        for (std::size_t k : keys) {
            const int c = Value::compare(a[k], b[k]);
            if (c != 0)
                return c < 0;
        }
        return false;
    });
    return out;
}

} // namespace kemnoa::jet
