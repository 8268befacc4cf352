#include "platform/db/pg_pipeline.h"

#include "platform/db/db_error.h"
#include "platform/db/sql_text.h"

#include <QtSql/qtsqlglobal.h>
#include <algorithm>
#include <cstdlib>
#include <libpq-fe.h>
#include <limits>
#include <optional>

namespace kemnoa::db {
namespace {

// A value as PostgreSQL's text input reads it; nothing for Null. A null QString is empty text.
std::optional<QByteArray> textOf(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    switch (v.typeId()) {
    case QMetaType::QString:
        return static_cast<const QString*>(v.constData())->toUtf8();
    case QMetaType::Double:
    case QMetaType::Float:
        return QByteArray::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::Bool:
        return QByteArray(v.toBool() ? "true" : "false");
    default:
        return QByteArray::number(v.toLongLong());
    }
}

// The server's message for a failed result, numbered like the driver's own errors.
[[noreturn]] void fail(PGconn* conn, PGresult* result) {
    QString text = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(conn)).trimmed();
    bool ok = false;
    long number = result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)).toLong(&ok) : 0;
    if (!ok || number == 0)
        number = errnum::Database;
    if (text.isEmpty())
        text = QStringLiteral("Unknown database error");
    throwError(text, number);
}

// The value type Qt's PostgreSQL driver gives a column of the server's type (by its oid); nothing
// for the types whose text it converts further (dates, times, binary), which are left to the driver.
std::optional<QMetaType::Type> driverType(Oid type) {
    switch (type) {
    case 16: // bool
        return QMetaType::Bool;
    case 20: // int8
        return QMetaType::LongLong;
    case 21: // int2
    case 23: // int4
    case 24: // regproc
    case 26: // oid
    case 28: // xid
    case 29: // cid
        return QMetaType::Int;
    case 700:  // float4
    case 701:  // float8
    case 1700: // numeric
        return QMetaType::Double;
    case 17:   // bytea
    case 702:  // abstime
    case 703:  // reltime
    case 1082: // date
    case 1083: // time
    case 1114: // timestamp
    case 1184: // timestamptz
    case 1266: // timetz
        return std::nullopt;
    default:
        return QMetaType::QString;
    }
}

// A floating-point or numeric value in the server's text form, as the driver converts it.
QVariant realValue(const char* text, bool numeric, int policy) {
    if (numeric && policy == QSql::HighPrecision)
        return QString::fromLatin1(text);
    bool ok = false;
    double d = QByteArray::fromRawData(text, qsizetype(qstrlen(text))).toDouble(&ok);
    if (!ok) {
        if (qstricmp(text, "NaN") == 0)
            d = std::numeric_limits<double>::quiet_NaN();
        else if (qstricmp(text, "Infinity") == 0)
            d = std::numeric_limits<double>::infinity();
        else if (qstricmp(text, "-Infinity") == 0)
            d = -std::numeric_limits<double>::infinity();
        else
            return QVariant();
    }
    if (numeric && policy == QSql::LowPrecisionInt64)
        return QVariant(qlonglong(d));
    if (numeric && policy == QSql::LowPrecisionInt32)
        return QVariant(int(d));
    return QVariant(d);
}

// The rows of a result with every value as the driver gives it; incomplete when a column's type is
// one left to the driver.
PipelinedRows rowsOf(const PGresult* r, int policy) {
    PipelinedRows out;
    const int columns = PQnfields(r);
    std::vector<QMetaType::Type> types;
    types.reserve(std::size_t(columns));
    for (int c = 0; c < columns; ++c) {
        const auto t = driverType(PQftype(r, c));
        if (!t || PQfformat(r, c) != 0)
            return out;
        types.push_back(*t);
    }
    const int count = PQntuples(r);
    out.rows.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            const QMetaType::Type type = types[std::size_t(c)];
            if (PQgetisnull(r, i, c)) {
                row.append(QVariant(QMetaType(type), nullptr));
                continue;
            }
            const char* text = PQgetvalue(r, i, c);
            switch (type) {
            case QMetaType::Bool:
                row.append(QVariant(text[0] == 't'));
                break;
            case QMetaType::LongLong: {
                const QByteArray digits = QByteArray::fromRawData(text, qsizetype(qstrlen(text)));
                row.append(text[0] == '-' ? QVariant(digits.toLongLong()) : QVariant(digits.toULongLong()));
                break;
            }
            case QMetaType::Int:
                row.append(QVariant(int(std::strtol(text, nullptr, 10))));
                break;
            case QMetaType::Double:
                row.append(realValue(text, PQftype(r, c) == 1700, policy));
                break;
            default:
                row.append(QString::fromUtf8(text));
                break;
            }
        }
        out.rows.push_back(std::move(row));
    }
    out.complete = true;
    return out;
}

// Reads one statement's results up to its end marker; the first failure is kept in *failure. True when
// the statement ran (it is not when an earlier one failed). The rows go to *values when given.
bool collect(PGconn* conn, int* rows, PGresult** failure, bool* broken, PipelinedRows* values = nullptr,
             int policy = 0) {
    bool ran = false;
    while (PGresult* r = PQgetResult(conn)) {
        const ExecStatusType status = PQresultStatus(r);
        if (status == PGRES_TUPLES_OK) {
            *rows = PQntuples(r);
            if (values)
                *values = rowsOf(r, policy);
            ran = true;
        } else if (status == PGRES_COMMAND_OK) {
            *rows = QByteArray(PQcmdTuples(r)).toInt();
            ran = true;
        } else if (status != PGRES_PIPELINE_ABORTED && !*failure) {
            *failure = r;
            continue;
        }
        PQclear(r);
    }
    if (PQstatus(conn) == CONNECTION_BAD)
        *broken = true;
    return ran;
}

} // namespace

const QByteArray* PgPreparedNames::find(const QString& sql) const {
    const auto it = names_.constFind(sql);
    return it == names_.constEnd() ? nullptr : &it.value();
}

bool pipelinable(const QVariantList& params) {
    return std::all_of(params.begin(), params.end(), isPlainValue);
}

QString numberedPlaceholders(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 16);
    QChar quote;
    int n = 0;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out += c;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
        } else if (c == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(++n);
        } else {
            out += c;
        }
    }
    return out;
}

bool runPipeline(void* pgconn, const std::vector<PipelinedStatement>& statements, PgPreparedNames& names,
                 std::vector<int>* rows, std::vector<PipelinedRows>* values, int precisionPolicy) {
    PGconn* conn = static_cast<PGconn*>(pgconn);
    if (!conn || PQstatus(conn) != CONNECTION_OK || PQenterPipelineMode(conn) != 1)
        return false;
    // Statements prepared in this pipeline: known by name only once the server has answered.
    std::vector<std::pair<QString, QByteArray>> preparing;
    std::vector<bool> prepares(statements.size(), false);
    std::vector<QByteArray> stmtNames(statements.size());
    bool sent = true;
    for (std::size_t i = 0; i < statements.size() && sent; ++i) {
        const PipelinedStatement& s = statements[i];
        const QByteArray* known = names.find(s.sql);
        if (!known)
            for (const auto& [sql, name] : preparing)
                if (sql == s.sql)
                    known = &name;
        if (known) {
            stmtNames[i] = *known;
        } else {
            stmtNames[i] = names.nextName();
            const QByteArray text = numberedPlaceholders(s.sql).toUtf8();
            sent = PQsendPrepare(conn, stmtNames[i].constData(), text.constData(), 0, nullptr) == 1;
            prepares[i] = true;
            preparing.emplace_back(s.sql, stmtNames[i]);
        }
        std::vector<std::optional<QByteArray>> texts;
        texts.reserve(std::size_t(s.params.size()));
        std::vector<const char*> values;
        values.reserve(std::size_t(s.params.size()));
        for (const QVariant& v : s.params) {
            texts.push_back(textOf(v));
            values.push_back(texts.back() ? texts.back()->constData() : nullptr);
        }
        sent = sent && PQsendQueryPrepared(conn, stmtNames[i].constData(), int(values.size()), values.data(),
                                           nullptr, nullptr, 0) == 1;
    }
    sent = sent && PQpipelineSync(conn) == 1;
    PGresult* failure = nullptr;
    bool broken = !sent;
    rows->assign(statements.size(), 0);
    if (values)
        values->assign(statements.size(), PipelinedRows());
    for (std::size_t i = 0; i < statements.size() && !broken; ++i) {
        int ignored = 0;
        if (prepares[i] && collect(conn, &ignored, &failure, &broken))
            names.remember(statements[i].sql, stmtNames[i]);
        if (!broken)
            collect(conn, &(*rows)[i], &failure, &broken,
                    values && statements[i].wantRows ? &(*values)[i] : nullptr, precisionPolicy);
    }
    if (!broken) {
        // The end of the pipeline.
        while (PGresult* r = PQgetResult(conn)) {
            const bool end = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
            PQclear(r);
            if (end)
                break;
        }
        PQexitPipelineMode(conn);
    }
    if (failure || broken) {
        if (failure) {
            try {
                fail(conn, failure);
            } catch (...) {
                PQclear(failure);
                throw;
            }
        }
        fail(conn, nullptr);
    }
    return true;
}

} // namespace kemnoa::db
