// The jobs of order maintenance: the error list (code 210) here, the order jobs in order_jobs.cpp.

#include "maintenance/jobs.h"

#include "core/connections.h"
#include "core/error.h"
#include "maintenance/error_list.h"
#include "maintenance/order_jobs.h"

#include <QTextStream>

namespace kemnoa::maintenance {
namespace {

// The error list: one line per finding, tab-separated.
core::Outcome printErrors(core::JobContext& ctx, const QStringList& args) {
    qint32 ordNo = 0;
    if (!args.isEmpty()) {
        bool ok = false;
        ordNo = args.first().toInt(&ok);
        if (!ok)
            throw core::JobUsageError();
    }
    std::vector<ErrorListRow> rows;
    if (failed(MP_LoadErrorList(ctx.prompter, ordNo, rows)))
        return core::Outcome::Failed;
    if (rows.empty())
        return core::Outcome::Done;
    QTextStream& out = core::jobOutput(ctx);
    out << "発注番号\t行\tタイトル\t値\t内容\n";
    for (const auto& r : rows)
        core::writeRecord(out,
                          {QString::number(r.ordNo), QString::number(r.gyou), r.title, r.value, r.message});
    return core::Outcome::Done;
}

} // namespace

core::Outcome MP_LoadErrorList(core::Prompter& prompter, qint32 ordNo, std::vector<ErrorListRow>& rows) {
    try {
        rows = loadErrorList(core::cnWork(), ordNo);
    } catch (const core::Error& e) {
        prompter.message(e.text(), QStringLiteral("MP_Open"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    if (rows.empty()) {
        prompter.message(QStringLiteral("エラーはありません。"), QStringLiteral("エラー無し"),
                         core::MsgIcon::None);
    }
    return core::Outcome::Done;
}

void addMaintenanceJobs(core::JobTable& table) {
    table.add({.name = QStringLiteral("errors"),
               .menuCode = 210,
               .usage = QStringLiteral("[ORD_NO]"),
               .summary = QStringLiteral("list the master-check findings of one order or of all orders"),
               .connections = {core::KindWork},
               .maxArgs = 1,
               .run = printErrors});
    addOrderJobs(table);
}

} // namespace kemnoa::maintenance
