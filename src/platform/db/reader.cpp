#include "platform/db/reader.h"

#include "platform/db/db_error.h"
#include "platform/db/schema.h"
#include "platform/db/sql_text.h"
#include "platform/db/sqlite_binding.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <sqlite3.h>

namespace kemnoa::db {

ColumnInfo columnInfoFromDeclaredType(const QString& name, const QString& declared) {
    ColumnInfo info;
    info.name = name;
    const QString t = declared.trimmed().toUpper();
    static const QRegularExpression sizeRe(QStringLiteral(R"(\(\s*(\d+)\s*(?:,\s*(\d+)\s*)?\))"));
    const auto m = sizeRe.match(t);
    const int size = m.hasMatch() ? m.captured(1).toInt() : 0;
    if (t.startsWith(QLatin1String("BIGINT"))) {
        info.adoType = adotype::BigInt;
        info.definedSize = 8;
    } else if (t.startsWith(QLatin1String("SMALLINT"))) {
        info.adoType = adotype::SmallInt;
        info.definedSize = 2;
    } else if (t.contains(QLatin1String("INT"))) {
        info.adoType = adotype::Integer;
        info.definedSize = 4;
    } else if (t.startsWith(QLatin1String("NVARCHAR"))) {
        info.adoType = adotype::VarWChar;
        info.definedSize = size;
    } else if (t.startsWith(QLatin1String("NCHAR"))) {
        info.adoType = adotype::WChar;
        info.definedSize = size;
    } else if (t.startsWith(QLatin1String("VARCHAR")) || t.startsWith(QLatin1String("CHARACTER VARYING"))) {
        info.adoType = adotype::VarChar;
        info.definedSize = size;
    } else if (t.startsWith(QLatin1String("CHAR"))) {
        info.adoType = adotype::Char;
        info.definedSize = size > 0 ? size : 1;
    } else if (t.contains(QLatin1String("TEXT")) || t.contains(QLatin1String("CLOB"))) {
        info.adoType = adotype::LongVarChar;
        info.definedSize = 2147483647;
    } else if (t.startsWith(QLatin1String("NUMERIC")) || t.startsWith(QLatin1String("DECIMAL"))) {
        info.adoType = adotype::Numeric;
        info.definedSize = size > 0 ? size : 18;
    } else if (t.startsWith(QLatin1String("REAL")) && !t.contains(QLatin1String("DOUB"))) {
        info.adoType = adotype::Single;
        info.definedSize = 4;
    } else if (t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")) ||
               t.startsWith(QLatin1String("REAL"))) {
        info.adoType = adotype::Double;
        info.definedSize = 8;
    } else if (t.startsWith(QLatin1String("DATETIME")) || t.startsWith(QLatin1String("TIMESTAMP"))) {
        info.adoType = adotype::DBTimeStamp;
        info.definedSize = 16;
    } else if (t == QLatin1String("DATE")) {
        info.adoType = adotype::DBDate;
        info.definedSize = 6;
    } else if (t.startsWith(QLatin1String("BOOL")) || t == QLatin1String("BIT")) {
        info.adoType = adotype::Boolean;
        info.definedSize = 2;
    } else if (t.startsWith(QLatin1String("BLOB")) || t.contains(QLatin1String("BINARY"))) {
        info.adoType = adotype::LongVarBinary;
        info.definedSize = 2147483647;
    } else {
        info.adoType = adotype::VarChar;
        info.definedSize = size > 0 ? size : 255;
    }
    return info;
}

namespace {

// A column without a declared type (an expression): described by the value type Qt chose.
ColumnInfo fromMetaType(const QString& name, const QSqlField& field) {
    switch (field.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
        return {name, adotype::Integer, 4};
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return {name, adotype::BigInt, 8};
    case QMetaType::Double:
        return {name, adotype::Double, 8};
    case QMetaType::Bool:
        return {name, adotype::Boolean, 2};
    case QMetaType::QDateTime:
        return {name, adotype::DBTimeStamp, 16};
    case QMetaType::QDate:
        return {name, adotype::DBDate, 6};
    default:
        return {name, adotype::VarChar, field.length() > 0 ? field.length() : 255};
    }
}

ColumnInfo fromPostgres(const QString& name, const QSqlField& field) {
    const int len = field.length();
    switch (field.typeID()) {
    case 21: // int2
        return {name, adotype::SmallInt, 2};
    case 23: // int4
        return {name, adotype::Integer, 4};
    case 20: // int8
        return {name, adotype::BigInt, 8};
    case 700: // float4
        return {name, adotype::Single, 4};
    case 701: // float8
        return {name, adotype::Double, 8};
    case 1700: // numeric
        return {name, adotype::Numeric, len > 0 ? len : 18};
    case 1043: // varchar
        return {name, adotype::VarChar, len > 0 ? len : 255};
    case 1042: // bpchar
        return {name, adotype::Char, len > 0 ? len : 1};
    case 25: // text
        return {name, adotype::LongVarChar, 2147483647};
    case 16: // bool
        return {name, adotype::Boolean, 2};
    case 1082: // date
        return {name, adotype::DBDate, 6};
    case 1114:
    case 1184: // timestamp
        return {name, adotype::DBTimeStamp, 16};
    default:
        return fromMetaType(name, field);
    }
}

ColumnInfo fromOdbc(const QString& name, const QSqlField& field) {
    const int len = field.length();
    switch (field.typeID()) {
    case 5:
        return {name, adotype::SmallInt, 2};
    case 4:
        return {name, adotype::Integer, 4};
    case -5:
        return {name, adotype::BigInt, 8};
    case 7:
        return {name, adotype::Single, 4};
    case 6:
    case 8:
        return {name, adotype::Double, 8};
    case 2:
    case 3:
        return {name, adotype::Numeric, len > 0 ? len : 18};
    case 12:
        return {name, adotype::VarChar, len};
    case -9:
        return {name, adotype::VarWChar, len};
    case 1:
        return {name, adotype::Char, len};
    case -8:
        return {name, adotype::WChar, len};
    case -1:
        return {name, adotype::LongVarChar, 2147483647};
    case -10:
        return {name, adotype::LongVarWChar, 1073741823};
    case -7:
        return {name, adotype::Boolean, 2};
    case 91:
        return {name, adotype::DBDate, 6};
    case 93:
        return {name, adotype::DBTimeStamp, 16};
    default:
        return fromMetaType(name, field);
    }
}

} // namespace

std::vector<ColumnInfo> describeColumns(QSqlQuery& query, Dialect dialect) {
    std::vector<ColumnInfo> out;
    const QSqlRecord rec = query.record();
    sqlite3_stmt* stmt = dialect == Dialect::SQLite ? sqliteStatement(query) : nullptr;
    for (int i = 0; i < rec.count(); ++i) {
        const QSqlField field = rec.field(i);
        const QString name = dialect == Dialect::PostgreSQL ? canonicalName(field.name()) : field.name();
        switch (dialect) {
        case Dialect::SQLite: {
            const char* declared = stmt ? sqlite3_column_decltype(stmt, i) : nullptr;
            out.push_back(declared ? columnInfoFromDeclaredType(name, QString::fromUtf8(declared))
                                   : fromMetaType(name, field));
            break;
        }
        case Dialect::PostgreSQL:
            out.push_back(fromPostgres(name, field));
            break;
        case Dialect::SqlServer:
            out.push_back(fromOdbc(name, field));
            break;
        }
    }
    return out;
}

Reader::Reader(std::unique_ptr<QSqlQuery> query, Dialect dialect) : query_(std::move(query)) {
    columns_ = describeColumns(*query_, dialect);
    start();
}

Reader::Reader(PreparedStatement statement, Dialect dialect, std::weak_ptr<StatementCache> cache)
    : query_(std::move(statement.query)), cachedSql_(std::move(statement.sql)), cache_(std::move(cache)) {
    // The same text gives the same columns until the schema changes, which empties the cache.
    if (statement.columns)
        columns_ = std::move(*statement.columns);
    else
        columns_ = describeColumns(*query_, dialect);
    start();
}

void Reader::start() {
    atEnd_ = !query_->next();
    if (atEnd_ && query_->lastError().isValid())
        throwSqlError(query_->lastError());
}

Reader::Reader(Reader&&) noexcept = default;
Reader& Reader::operator=(Reader&& other) noexcept {
    if (this != &other) {
        release();
        query_ = std::move(other.query_);
        columns_ = std::move(other.columns_);
        cachedSql_ = std::move(other.cachedSql_);
        cache_ = std::move(other.cache_);
        atEnd_ = other.atEnd_;
    }
    return *this;
}

Reader::~Reader() {
    release();
}

void Reader::release() noexcept {
    const auto cache = cache_.lock();
    cache_.reset();
    if (!query_ || !cache)
        return;
    PreparedStatement s;
    s.sql = std::move(cachedSql_);
    s.query = std::move(query_);
    s.columns = std::move(columns_);
    cache->give(std::move(s));
}

void Reader::moveNext() {
    requireRow();
    atEnd_ = !query_->next();
    if (atEnd_ && query_->lastError().isValid())
        throwSqlError(query_->lastError());
}

const ColumnInfo& Reader::column(int index) const {
    return columnAt(columns_, index);
}

int Reader::columnIndex(const QString& name) const {
    return columnIndexIn(columns_, name);
}

int Reader::requireColumn(const QString& name) const {
    return requireColumnIn(columns_, name);
}

void Reader::requireRow() const {
    if (atEnd_)
        throwError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."),
                   dberr::NoCurrentRecord);
}

QVariant Reader::value(int index) const {
    column(index);
    requireRow();
    return query_->value(index);
}

QVariant Reader::value(const QString& name) const {
    return value(requireColumn(name));
}

bool Reader::isNull(const QString& name) const {
    return db::isNull(value(name));
}

QString Reader::text(const QString& name) const {
    return valueText(value(name));
}

QString Reader::text(int index) const {
    return valueText(value(index));
}

} // namespace kemnoa::db
