#include "platform/db/recordset.h"

#include "platform/db/connection.h"
#include "platform/db/db_error.h"
#include "platform/db/reader.h"
#include "platform/db/sql_text.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlIndex>
#include <QSqlQuery>

namespace kemnoa::db {

namespace {

// The one table of a "Select ... From <table> [Where|Order By ...]" statement; empty text when the
// statement reads more than one table or is not a plain select.
QString singleTableOf(const QString& sql) {
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*select\s.+?\sfrom\s+([A-Za-z_\x{80}-\x{FFFF}][\w.]*)\s*(.*)$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption |
            QRegularExpression::UseUnicodePropertiesOption);
    const auto m = re.match(sql);
    if (!m.hasMatch())
        return QString();
    const QString rest = m.captured(2).trimmed();
    static const QRegularExpression tail(QStringLiteral(R"(^(where|order\s+by|$))"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (!tail.match(rest).hasMatch())
        return QString();
    return m.captured(1);
}

} // namespace

Recordset::Recordset(Connection& connection, const QString& sql, const QVariantList& params, bool updatable)
    : connection_(connection), updatable_(updatable) {
    Reader reader = connection.read(sql, params);
    for (int i = 0; i < reader.columnCount(); ++i)
        columns_.push_back(reader.column(i));
    const size_t n = columns_.size();
    while (!reader.atEnd()) {
        Row row;
        row.original.reserve(n);
        for (int i = 0; i < static_cast<int>(n); ++i)
            row.original.push_back(reader.value(i));
        row.current = row.original;
        row.changed.assign(n, false);
        rows_.push_back(std::move(row));
        reader.moveNext();
    }
    if (!updatable_)
        return;
    table_ = singleTableOf(sql);
    if (table_.isEmpty())
        return;
    // Rows are addressed by the primary key when the recordset carries all of its columns.
    const QSqlIndex pk = connection.database().primaryIndex(table_);
    std::vector<int> keys;
    for (int i = 0; i < pk.count(); ++i) {
        const int c = columnIndex(pk.fieldName(i));
        if (c < 0) {
            keys.clear();
            break;
        }
        keys.push_back(c);
    }
    if (keys.empty())
        for (int i = 0; i < static_cast<int>(n); ++i)
            keys.push_back(i);
    keyColumns_ = keys;
}

void Recordset::moveFirst() {
    pos_ = 0;
}

void Recordset::moveLast() {
    pos_ = recordCount() - 1;
}

void Recordset::moveNext() {
    requireRow();
    ++pos_;
}

void Recordset::movePrevious() {
    requireRow();
    --pos_;
}

bool Recordset::find(const QString& column, const QVariant& value) {
    const int c = requireColumn(column);
    const QString wanted = valueText(value);
    if (pos_ < 0)
        pos_ = 0;
    for (; pos_ < recordCount(); ++pos_)
        if (!db::isNull(rows_[static_cast<size_t>(pos_)].current[static_cast<size_t>(c)]) &&
            valueText(rows_[static_cast<size_t>(pos_)].current[static_cast<size_t>(c)]) == wanted)
            return true;
    return false;
}

const ColumnInfo& Recordset::column(int index) const {
    if (index < 0 || index >= columnCount())
        throwError(QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                  "name or ordinal."),
                   dberr::ItemNotFound);
    return columns_[static_cast<size_t>(index)];
}

int Recordset::columnIndex(const QString& name) const {
    for (int i = 0; i < columnCount(); ++i)
        if (columns_[static_cast<size_t>(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Recordset::requireColumn(const QString& name) const {
    const int i = columnIndex(name);
    if (i < 0)
        throwError(QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                  "name or ordinal. (%1)")
                       .arg(name),
                   dberr::ItemNotFound);
    return i;
}

void Recordset::requireRow() const {
    if (pos_ < 0 || pos_ >= recordCount())
        throwError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."),
                   dberr::NoCurrentRecord);
}

void Recordset::requireUpdatable() const {
    if (!updatable_ || table_.isEmpty())
        throwError(QStringLiteral("Current Recordset does not support updating."), dberr::NotUpdatable);
}

QVariant Recordset::value(int index) const {
    column(index);
    requireRow();
    return rows_[static_cast<size_t>(pos_)].current[static_cast<size_t>(index)];
}

QVariant Recordset::value(const QString& name) const {
    return value(requireColumn(name));
}

bool Recordset::isNull(const QString& name) const {
    return db::isNull(value(name));
}

QString Recordset::text(const QString& name) const {
    return valueText(value(name));
}

void Recordset::setValue(const QString& name, const QVariant& value) {
    requireUpdatable();
    const int c = requireColumn(name);
    requireRow();
    Row& row = rows_[static_cast<size_t>(pos_)];
    row.current[static_cast<size_t>(c)] = value;
    row.changed[static_cast<size_t>(c)] = true;
}

void Recordset::addNew() {
    requireUpdatable();
    Row row;
    row.original.assign(columns_.size(), QVariant());
    row.current = row.original;
    row.changed.assign(columns_.size(), false);
    row.isNew = true;
    rows_.push_back(std::move(row));
    pos_ = recordCount() - 1;
}

QString Recordset::whereClause(const Row& row, QVariantList& params) const {
    QStringList parts;
    for (const int c : keyColumns_) {
        const QVariant& v = row.original[static_cast<size_t>(c)];
        const QString& name = columns_[static_cast<size_t>(c)].name;
        if (db::isNull(v)) {
            parts << name + QStringLiteral(" IS NULL");
        } else {
            parts << name + QStringLiteral(" = ?");
            params << v;
        }
    }
    return parts.join(QStringLiteral(" AND "));
}

void Recordset::update() {
    requireUpdatable();
    requireRow();
    Row& row = rows_[static_cast<size_t>(pos_)];
    QVariantList params;
    QStringList names;
    for (size_t c = 0; c < columns_.size(); ++c) {
        if (!row.changed[c])
            continue;
        names << columns_[c].name;
        params << row.current[c];
    }
    if (row.isNew) {
        if (names.isEmpty()) {
            connection_.execute(QStringLiteral("INSERT INTO ") + table_ + QStringLiteral(" DEFAULT VALUES"));
        } else {
            QStringList marks;
            for (int i = 0; i < names.size(); ++i)
                marks << QStringLiteral("?");
            connection_.execute(QStringLiteral("INSERT INTO ") + table_ + QStringLiteral(" (") +
                                    names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
                                    marks.join(QLatin1Char(',')) + QLatin1Char(')'),
                                params);
        }
    } else {
        if (names.isEmpty())
            return;
        QStringList sets;
        for (const QString& name : names)
            sets << name + QStringLiteral(" = ?");
        const QString where = whereClause(row, params);
        const int affected =
            connection_.execute(QStringLiteral("UPDATE ") + table_ + QStringLiteral(" SET ") +
                                    sets.join(QLatin1Char(',')) + QStringLiteral(" WHERE ") + where,
                                params);
        if (affected == 0)
            throwError(QStringLiteral("Row cannot be located for updating. Some values may have been "
                                      "changed since it was last read."),
                       dberr::RowNotFound);
    }
    row.original = row.current;
    row.changed.assign(columns_.size(), false);
    row.isNew = false;
}

void Recordset::cancelUpdate() {
    requireRow();
    Row& row = rows_[static_cast<size_t>(pos_)];
    if (row.isNew) {
        rows_.erase(rows_.begin() + pos_);
        return;
    }
    row.current = row.original;
    row.changed.assign(columns_.size(), false);
}

void Recordset::remove() {
    requireUpdatable();
    requireRow();
    Row& row = rows_[static_cast<size_t>(pos_)];
    if (!row.isNew) {
        QVariantList params;
        const QString where = whereClause(row, params);
        const int affected = connection_.execute(
            QStringLiteral("DELETE FROM ") + table_ + QStringLiteral(" WHERE ") + where, params);
        if (affected == 0)
            throwError(QStringLiteral("Row cannot be located for updating. Some values may have been "
                                      "changed since it was last read."),
                       dberr::RowNotFound);
    }
    rows_.erase(rows_.begin() + pos_);
}

} // namespace kemnoa::db
