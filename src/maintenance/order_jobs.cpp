#include "maintenance/order_jobs.h"

#include "core/connections.h"
#include "core/error.h"
#include "maintenance/order_editor.h"
#include "maintenance/order_search.h"
#include "maintenance/po_cancel.h"

#include <QDate>
#include <QTextStream>

namespace kemnoa::maintenance {
namespace {

qint32 orderNumberArg(const QString& text) {
    bool ok = false;
    const qint32 n = text.toInt(&ok);
    if (!ok)
        throw core::JobUsageError();
    return n;
}

// search [--from D] [--to D] [--order N] [--irai N] [--po PO] [--kbn K] [--sent|--unsent]
core::Outcome printSearch(core::JobContext& ctx, const QStringList& args) {
    SearchCriteria c = defaultCriteria(QDate::currentDate());
    c.sendFlg.clear(); // both states unless one is asked for
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QStringLiteral("--sent")) {
            c.sendFlg = QStringLiteral("1");
            continue;
        }
        if (a == QStringLiteral("--unsent")) {
            c.sendFlg = QStringLiteral("0");
            continue;
        }
        QString* field = a == QStringLiteral("--from")    ? &c.dateFrom
                         : a == QStringLiteral("--to")    ? &c.dateTo
                         : a == QStringLiteral("--order") ? &c.ordNo
                         : a == QStringLiteral("--irai")  ? &c.iraiNo
                         : a == QStringLiteral("--po")    ? &c.poNo
                         : a == QStringLiteral("--kbn")   ? &c.poKbn
                                                          : nullptr;
        if (!field || i + 1 >= args.size())
            throw core::JobUsageError();
        *field = args.at(++i);
    }
    if (!validSearchDates(c)) {
        ctx.prompter.message(QStringLiteral("日付は8桁の数値で入力してください。"), QStringLiteral("エラー"),
                             core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    SearchResult result;
    try {
        result = searchOrders(core::cnWork(), c);
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("cmdFind_Click"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    QTextStream& out = core::jobOutput(ctx);
    out << "発注番号\t依頼番号\tPO番号\tPO区分\t発注日\t希望出荷日\t納品先\tｴﾗｰ件数\t送信済\n";
    for (const SearchRow& r : result.rows)
        core::writeRecord(out, {QString::number(r.ordNo), r.iraiNo, r.poNo, r.poKbn, r.ordDate, r.kiboDate,
                                r.nouNm, r.errSu, sendStateSymbol(r.sendFlg)});
    out.flush();
    if (result.more)
        ctx.prompter.message(searchLimitText(), QStringLiteral("検索"), core::MsgIcon::Exclamation);
    return core::Outcome::Done;
}

// delete-order ORD_NO...: the list's "d" command on those orders.
core::Outcome deleteOrders(core::JobContext& ctx, const QStringList& args) {
    std::vector<SearchRow> rows;
    for (const QString& a : args) {
        SearchRow r;
        r.command = QStringLiteral("d");
        r.ordNo = orderNumberArg(a);
        rows.push_back(r);
    }
    const core::Outcome outcome = runListCommands(ctx.prompter, core::cnWork(), rows);
    if (failed(outcome))
        return outcome;
    QTextStream& out = core::jobOutput(ctx);
    for (const QString& a : args) {
        const qint32 n = a.toInt();
        const bool kept =
            std::any_of(rows.begin(), rows.end(), [n](const SearchRow& r) { return r.ordNo == n; });
        if (!kept)
            out << "deleted " << n << '\n';
    }
    return outcome;
}

// show-order ORD_NO: the header and the lines as the editor loads them.
core::Outcome showOrder(core::JobContext& ctx, const QStringList& args) {
    const qint32 n = orderNumberArg(args.at(0));
    EditedOrder order;
    QString failure;
    try {
        order = orderLayout(core::cnWork());
        if (!loadOrder(core::cnWork(), n, order, &failure)) {
            ctx.prompter.message(failure, QStringLiteral("エラー"), core::MsgIcon::Critical);
            return core::Outcome::Failed;
        }
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("MP_Open"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    QTextStream& out = core::jobOutput(ctx);
    out << "[rcv_denheaddata]\n";
    for (auto it = order.header.cbegin(); it != order.header.cend(); ++it)
        core::writeRecord(out, {it.key(), it.value()});
    for (const OrderLines* lines : {&order.pos, &order.car, &order.addFuki, &order.fuzoku}) {
        out << '\n' << '[' << lines->table << "]\n";
        QStringList names;
        for (const LineColumn& c : lines->columns)
            names << c.name;
        core::writeRecord(out, names);
        for (const QStringList& row : lines->rows)
            core::writeRecord(out, row);
    }
    out << "\n[TITLE1-10]\n";
    core::writeRecord(out, order.titles);
    out.flush();
    return core::Outcome::Done;
}

core::Outcome runPoCancel(core::JobContext& ctx, PoCancel which, const QStringList& args) {
    return cancelPo(ctx.prompter, core::cnWork(), which, args.at(0), args.value(1));
}

} // namespace

void addOrderJobs(core::JobTable& table) {
    table.add(
        {.name = QStringLiteral("search"),
         .menuCode = 202,
         .usage =
             QStringLiteral("[--from YYYYMMDD] [--to YYYYMMDD] [--order N] [--irai N] [--po PO] [--kbn K] "
                            "[--sent|--unsent]"),
         .summary = QStringLiteral("list received orders, newest first (dates default to a month either "
                                   "side of today; both send states unless one is named)"),
         .connections = {core::KindWork},
         .maxArgs = -1,
         .run = printSearch});
    table.add({.name = QStringLiteral("delete-order"),
               .usage = QStringLiteral("ORD_NO..."),
               .summary = QStringLiteral(
                   "delete unsent orders as the search list's \"d\" command does (asks; --yes)"),
               .connections = {core::KindWork},
               .minArgs = 1,
               .maxArgs = -1,
               .run = deleteOrders});
    table.add({.name = QStringLiteral("show-order"),
               .usage = QStringLiteral("ORD_NO"),
               .summary = QStringLiteral("print an order's header and lines as the order editor loads them"),
               .connections = {core::KindWork},
               .minArgs = 1,
               .maxArgs = 1,
               .run = showOrder});
    table.add({.name = QStringLiteral("cancel-send"),
               .menuCode = 211,
               .usage = QStringLiteral("PO [KBN]"),
               .summary = QStringLiteral("return a sent PO's orders to unsent ('9')"),
               .connections = {core::KindWork},
               .minArgs = 1,
               .maxArgs = 2,
               .run = [](core::JobContext& ctx, const QStringList& a) {
                   return runPoCancel(ctx, PoCancel::Send, a);
               }});
    table.add({.name = QStringLiteral("cancel-po"),
               .menuCode = 212,
               .usage = QStringLiteral("PO [KBN]"),
               .summary = QStringLiteral("take the PO number away from an unsent PO's orders"),
               .connections = {core::KindWork},
               .minArgs = 1,
               .maxArgs = 2,
               .run = [](core::JobContext& ctx, const QStringList& a) {
                   return runPoCancel(ctx, PoCancel::PoNumber, a);
               }});
}

} // namespace kemnoa::maintenance
