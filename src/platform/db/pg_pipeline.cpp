#include "platform/db/pg_pipeline.h"

#include "platform/db/db_error.h"

#include <libpq-fe.h>
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

// Reads one statement's results up to its end marker; the first failure is kept in *failure. True when
// the statement ran (it is not when an earlier one failed).
bool collect(PGconn* conn, int* rows, PGresult** failure, bool* broken) {
    bool ran = false;
    while (PGresult* r = PQgetResult(conn)) {
        const ExecStatusType status = PQresultStatus(r);
        if (status == PGRES_TUPLES_OK) {
            *rows = PQntuples(r);
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
    for (const QVariant& v : params) {
        switch (v.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::QString:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Bool:
        case QMetaType::Double:
        case QMetaType::Float:
            break;
        default:
            return false;
        }
    }
    return true;
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
                 std::vector<int>* rows) {
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
    for (std::size_t i = 0; i < statements.size() && !broken; ++i) {
        int ignored = 0;
        if (prepares[i] && collect(conn, &ignored, &failure, &broken))
            names.remember(statements[i].sql, stmtNames[i]);
        if (!broken)
            collect(conn, &(*rows)[i], &failure, &broken);
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
