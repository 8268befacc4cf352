#include "output/po_number_procedures.h"

#include "core/error.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"

#include <QDateTime>
#include <optional>

namespace kemnoa::output {
namespace {

struct Series {
    const char* name;     // PO_NUMBER_COUNTER.SERIES, PO_NUMBER_LOG.SERIES
    const char* sequence; // the sequence on PostgreSQL
    bool gk;
};

constexpr Series kPo{"PO", "po_number_po_seq", false};
constexpr Series kGk{"GK", "po_number_gk_seq", true};

// The next value of the series. On SQLite the counter row is taken under the database's write lock
// (BEGIN IMMEDIATE, or the caller's transaction), so two programs never read the same value.
qint64 nextValue(db::Connection& c, const Series& s) {
    const QString series = QString::fromLatin1(s.name);
    if (c.dialect() == db::Dialect::PostgreSQL) {
        db::Reader r = c.read(QStringLiteral("Select nextval('%1')").arg(QLatin1String(s.sequence)));
        return r.value(0).toLongLong();
    }
    c.execute(QStringLiteral("Insert Into PO_NUMBER_COUNTER (SERIES, LAST_NO) Values (?, 0) "
                             "On Conflict (SERIES) Do Nothing"),
              {series});
    c.execute(QStringLiteral("Update PO_NUMBER_COUNTER Set LAST_NO = LAST_NO + 1 Where SERIES = ?"),
              {series});
    db::Reader r = c.read(QStringLiteral("Select LAST_NO From PO_NUMBER_COUNTER Where SERIES = ?"), {series});
    return r.value(0).toLongLong();
}

// Issues one number of the series in one transaction of its own (or the caller's): the value, and
// its record with @KUBUN and the time. A failure issues nothing.
QString issue(db::Connection& c, const Series& s, const QString& kubun) {
    const bool own = !c.inTransaction();
    const bool sqlite = c.dialect() == db::Dialect::SQLite;
    std::optional<db::Transaction> tx;
    if (own && sqlite)
        c.execute(QStringLiteral("BEGIN IMMEDIATE"));
    else if (own)
        tx.emplace(c);
    try {
        const QString number = poNumberText(s.gk, nextValue(c, s));
        c.execute(
            QStringLiteral("Insert Into PO_NUMBER_LOG (PO_NO, SERIES, KUBUN, ISSUED_AT) Values (?, ?, ?, ?)"),
            {number, QString::fromLatin1(s.name), kubun,
             QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss.zzz"))});
        if (own && sqlite)
            c.execute(QStringLiteral("COMMIT"));
        else if (tx)
            tx->commit();
        return number;
    } catch (...) {
        if (own && sqlite) {
            try {
                c.execute(QStringLiteral("ROLLBACK"));
            } catch (const core::Error&) {
                // The failure being reported is the first one.
            }
        }
        throw;
    }
}

int run(db::ProcedureCall& call, const Series& s) {
    const QString kubun = call.input(QStringLiteral("@KUBUN")).toString().trimmed();
    if (kubun.isEmpty()) {
        call.setOutput(QStringLiteral("@errMsg"),
                       QStringLiteral("発注会社コード(@KUBUN)が指定されていません。"));
        return 1;
    }
    call.setOutput(QStringLiteral("@PONO"), issue(call.connection(), s, kubun));
    return 0;
}

} // namespace

QString poNumberText(bool gk, qint64 n) {
    return QLatin1Char(gk ? 'G' : 'P') + QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0'));
}

int GET_PO_NUMBER(db::ProcedureCall& call) {
    return run(call, kPo);
}

int GET_GK_NUMBER(db::ProcedureCall& call) {
    return run(call, kGk);
}

void registerNumberProcedures(db::ProcedureRegistry& registry) {
    if (!registry.find(QStringLiteral("GET_PO_NUMBER")))
        registry.add(QStringLiteral("GET_PO_NUMBER"), GET_PO_NUMBER);
    if (!registry.find(QStringLiteral("GET_GK_NUMBER")))
        registry.add(QStringLiteral("GET_GK_NUMBER"), GET_GK_NUMBER);
}

} // namespace kemnoa::output
