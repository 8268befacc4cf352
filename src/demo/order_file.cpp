#include "demo/order_file.h"

#include "platform/jet/jet_error.h"
#include "receiving/order_tables.h"

#include <QDate>

namespace kemnoa::demo {

namespace {

const receiving::TableDef* tableDef(const QString& fileTable) {
    for (const receiving::TableDef* t :
         {&receiving::headerTable(), &receiving::posTable(), &receiving::carTable(),
          &receiving::addFukiTable(), &receiving::fuzokuTable(), &receiving::ehjStaging(),
          &receiving::fukiStaging()})
        if (t->fileTable == fileTable)
            return t;
    return nullptr;
}

} // namespace

QStringList orderFileTables() {
    return {QStringLiteral("denheaddata"), QStringLiteral("posdata"),    QStringLiteral("cardata"),
            QStringLiteral("addfukidata"), QStringLiteral("fuzokudata"), QStringLiteral("snd_mst_ehj"),
            QStringLiteral("snd_mst_fuki")};
}

std::vector<jet::ColumnDef> orderFileColumns(const QString& table, ColumnStyle style) {
    const receiving::TableDef* def = tableDef(table);
    if (!def)
        return {};
    std::vector<jet::ColumnDef> cols;
    const bool staging = def == &receiving::ehjStaging() || def == &receiving::fukiStaging();
    if (staging)
        cols.push_back({QStringLiteral("id"), jet::ColumnType::Long});
    for (const receiving::ColumnDef& c : def->columns) {
        if (def == &receiving::headerTable() && receiving::isHeaderSystemColumn(c.name))
            continue;
        jet::ColumnDef d{c.name, jet::ColumnType::Text, 255};
        if (c.form == receiving::Form::Number ||
            (style.numberShares && c.name.startsWith(QLatin1String("TAPR"))))
            d.type = jet::ColumnType::Long;
        else if (style.memoRemarks && c.name.startsWith(QLatin1String("BIKO")))
            d.type = jet::ColumnType::Memo;
        cols.push_back(d);
    }
    return cols;
}

int FileTable::columnIndex(const QString& column) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(column, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const jet::Value& FileTable::value(std::size_t row, const QString& column) const {
    const int i = columnIndex(column);
    if (i < 0)
        throw Error(QStringLiteral("列 '%1' がテーブル '%2' にありません。").arg(column, name),
                    jet::errnum::ItemNotFound);
    return rows.at(row).at(std::size_t(i));
}

const FileTable* OrderFileData::table(const QString& name) const {
    for (const auto& t : tables)
        if (t.name == name)
            return &t;
    return nullptr;
}

void applyDamage(OrderFileData& data, const Damage& damage) {
    auto find = [&](const QString& name) -> FileTable* {
        for (auto& t : data.tables)
            if (t.name.compare(name, Qt::CaseInsensitive) == 0)
                return &t;
        return nullptr;
    };
    for (const NullNumber& n : damage.nullNumbers) {
        FileTable* t = find(n.table);
        const int c = t ? t->columnIndex(n.column) : -1;
        if (c < 0 || n.row < 0 || std::size_t(n.row) >= t->rows.size())
            throw Error(QStringLiteral("Null にする値 %1.%2 (行 %3) がありません。")
                            .arg(n.table, n.column)
                            .arg(n.row),
                        jet::errnum::InvalidArgument);
        t->rows[std::size_t(n.row)][std::size_t(c)] = jet::Value();
    }
    for (const DroppedColumn& d : damage.droppedColumns) {
        FileTable* t = find(d.table);
        const int c = t ? t->columnIndex(d.column) : -1;
        if (c < 0)
            throw Error(QStringLiteral("削除する列 %1.%2 がありません。").arg(d.table, d.column),
                        jet::errnum::InvalidArgument);
        t->columns.erase(t->columns.begin() + c);
        for (jet::Row& r : t->rows)
            r.erase(r.begin() + c);
    }
    std::erase_if(data.tables, [&](const FileTable& t) {
        return damage.omitTables.contains(t.name, Qt::CaseInsensitive);
    });
}

namespace {

// The state a row had before the edit that gave it its values (see writeOrderFile).
jet::Row earlierState(const FileTable& t, const jet::Row& row, std::size_t index) {
    jet::Row before = row;
    for (std::size_t c = 0; c < row.size(); ++c) {
        const jet::Value& v = row[c];
        if (v.kind() == jet::Value::Kind::Text && index % 3 == 0)
            before[c] = jet::Value::text(v.asText().left(1)); // grows by the edit
        else if (v.kind() == jet::Value::Kind::Text && index % 3 == 1 &&
                 v.asText().size() + 3 <= t.columns[c].textLength)
            before[c] = jet::Value::text(v.asText() + QStringLiteral("(旧)")); // shrinks by the edit
        else if (v.kind() == jet::Value::Kind::Integer && index % 3 == 2)
            before[c] = jet::Value::integer(v.asInt64() == 7 ? 8 : 7); // same size
    }
    return before;
}

} // namespace

void writeOrderFile(const QString& path, const OrderFileData& data, const QDateTime& created, bool edited) {
    jet::JetWriter w(path, created.isValid() ? created : QDateTime(QDate(2024, 4, 1), QTime(9, 0)));
    for (const FileTable& t : data.tables) {
        w.createTable(t.name, t.columns);
        if (!edited) {
            for (const jet::Row& r : t.rows)
                w.insert(t.name, r);
            continue;
        }
        std::vector<qint64> numbers, doomed;
        for (std::size_t i = 0; i < t.rows.size(); ++i) {
            numbers.push_back(w.insert(t.name, earlierState(t, t.rows[i], i)));
            if (i % 4 == 3)
                doomed.push_back(w.insert(t.name, t.rows[i]));
        }
        for (std::size_t i = 0; i < t.rows.size(); ++i)
            w.updateRow(t.name, numbers[i], t.rows[i]);
        for (qint64 n : doomed)
            w.deleteRow(t.name, n);
    }
    w.close();
}

} // namespace kemnoa::demo
