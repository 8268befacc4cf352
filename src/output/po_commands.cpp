#include "output/po_commands.h"

#include "core/connections.h"
#include "core/error.h"
#include "core/session.h"
#include "maintenance/server_procedures.h"
#include "output/po_creation.h"
#include "output/po_database_update.h"
#include "output/po_numbering.h"
#include "output/sk_database_update.h"
#include "platform/db/reader.h"

#include <QFileInfo>
#include <QSet>
#include <QTextStream>
#include <algorithm>
#include <map>
#include <set>

namespace kemnoa::output {
namespace {

// The fixed company values the output needs; the job runner has not loaded them.
bool fixedInfoReady(core::JobContext& ctx) {
    if (!core::session().FixedInfo.isEmpty())
        return true;
    return succeeded(core::MF_KoteiJohoSet(ctx.prompter));
}

bool connected(core::JobContext& ctx, std::initializer_list<qint32> kinds) {
    for (qint32 kind : kinds)
        if (!ctx.connections.ok(kind))
            return false; // dbOpen has said why
    return true;
}

using Po = std::pair<QString, QString>;

// The PO named by the arguments, or every unsent, error-free PO.
std::vector<Po> posOf(core::JobContext& ctx, const QStringList& args) {
    if (args.size() == 2)
        return {{args[0], args[1]}};
    if (!args.isEmpty())
        throw core::JobUsageError();
    std::vector<Po> pos;
    for (db::Reader r = core::cnWork().read(
             QStringLiteral("Select PO_NO,PO_KBN From rcv_denheaddata Where SEND_FLG <> '1' And ERR_SU = 0 "
                            "And PO_NO <> '' Group By PO_NO,PO_KBN Order By PO_NO,PO_KBN "));
         !r.atEnd(); r.moveNext())
        pos.push_back({r.text(0), r.text(1)});
    (void)ctx;
    return pos;
}

template <typename Step> core::Outcome eachPo(core::JobContext& ctx, const QStringList& args, Step step) {
    std::vector<Po> pos;
    try {
        pos = posOf(ctx, args);
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("PO"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    int failures = 0;
    for (const Po& po : pos) {
        const bool ok = succeeded(step(po.first, po.second));
        core::jobOutput(ctx) << po.first << '\t' << po.second << '\t' << (ok ? "ok" : "failed") << Qt::endl;
        failures += ok ? 0 : 1;
    }
    if (failures == 0)
        return core::Outcome::Done;
    return failures == int(pos.size()) ? core::Outcome::Failed : core::Outcome::DoneWithFailures;
}

} // namespace

core::Outcome runNumberCommand(core::JobContext& ctx, const QStringList& args) {
    const bool all = args == QStringList{QStringLiteral("--all")};
    QSet<qint32> wanted;
    if (!all) {
        for (const QString& a : args) {
            bool ok = false;
            const qint32 n = a.toInt(&ok);
            if (!ok)
                throw core::JobUsageError();
            wanted.insert(n);
        }
    }
    if (!connected(ctx, {core::KindWork, core::KindPo}) || !fixedInfoReady(ctx))
        return core::Outcome::Failed;
    QTextStream& out = core::jobOutput(ctx);
    std::vector<PoNoRow> rows;
    try {
        rows = loadPoNoList(core::cnWork());
        warnDuplicateRequests(ctx.prompter, core::cnWork());
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    if (args.isEmpty()) {
        out << "発注番号\t依頼番号\t納品先\t名称\t仕入先\t決済\t出荷場所\t発注日\t希望出荷日\t保留\n";
        for (const PoNoRow& r : rows)
            core::writeRecord(out, {r.ordNo, r.iraiNo, r.nouCd, r.nouNm, r.sirCd, r.kessai, r.shkaPlace,
                                    r.ordDate, r.kiboDate, r.biko2});
        out.flush();
        return core::Outcome::Done;
    }
    QSet<qint32> listed;
    for (PoNoRow& r : rows) {
        r.chk = all || wanted.contains(r.ordNo.toInt());
        listed.insert(r.ordNo.toInt());
    }
    QList<qint32> missing;
    for (qint32 n : wanted)
        if (!listed.contains(n))
            missing << n;
    if (!missing.isEmpty()) {
        std::sort(missing.begin(), missing.end());
        QStringList texts;
        for (qint32 n : missing)
            texts << QString::number(n);
        ctx.prompter.message(QStringLiteral("採番できる発注ではありません: ") + texts.join(QLatin1Char(',')),
                             QStringLiteral("number"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    const core::Outcome outcome = runPoNumbering(ctx.prompter, core::cnWork(), core::cnPo(), rows);
    try {
        for (const PoNoRow& r : rows) {
            if (!r.chk)
                continue;
            db::Reader h = core::cnWork().read(
                QStringLiteral("Select PO_NO,PO_KBN From rcv_denheaddata Where ORD_NO = ?"),
                {r.ordNo.toInt()});
            core::writeRecord(
                out, {r.ordNo, h.atEnd() ? QString() : h.text(0), h.atEnd() ? QString() : h.text(1)});
        }
        out.flush();
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("number"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    return outcome;
}

core::Outcome runPoRowsCommand(core::JobContext& ctx, const QStringList& args) {
    if (!connected(ctx, {core::KindWork}))
        return core::Outcome::Failed;
    return eachPo(ctx, args, [&](const QString& poNo, const QString& poKbn) {
        if (failed(maintenance::MP_CsvDataMake(ctx.prompter, poNo, poKbn)))
            return core::Outcome::Failed; // production rows need the print rows of this run
        return maintenance::MP_SkDataMake(ctx.prompter, poNo, poKbn);
    });
}

core::Outcome runPoDbCommand(core::JobContext& ctx, const QStringList& args) {
    if (!connected(ctx, {core::KindWork, core::KindPo}) || !fixedInfoReady(ctx))
        return core::Outcome::Failed;
    return eachPo(ctx, args, [&](const QString& poNo, const QString& poKbn) {
        return MF_PoDatabaseUpdate(ctx.prompter, core::cnWork(), core::cnPo(), poNo, poKbn);
    });
}

core::Outcome runSkDbCommand(core::JobContext& ctx, const QStringList& args) {
    if (!connected(ctx, {core::KindWork, core::KindSk}) || !fixedInfoReady(ctx))
        return core::Outcome::Failed;
    return eachPo(ctx, args, [&](const QString& poNo, const QString& poKbn) {
        return MF_SkDatabaseUpdate(ctx.prompter, core::cnWork(), core::cnSk(), poNo, poKbn);
    });
}

core::Outcome runCreatePoCommand(core::JobContext& ctx, const QStringList& args) {
    const bool all = args == QStringList{QStringLiteral("--all")};
    std::set<Po> wanted;
    if (!all) {
        if (args.size() % 2 != 0 || args.contains(QStringLiteral("--all")))
            throw core::JobUsageError();
        for (int i = 0; i < args.size(); i += 2)
            wanted.insert({args[i], args[i + 1]});
    }
    if (!connected(ctx, {core::KindWork, core::KindPo, core::KindSk}) || !fixedInfoReady(ctx))
        return core::Outcome::Failed;
    QTextStream& out = core::jobOutput(ctx);
    std::vector<PoExpRow> rows;
    try {
        rows = loadPoExpList(core::cnWork());
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    if (args.isEmpty()) {
        out << "PO番号\tPO区分\t納品先\t名称\t希望出荷日\n";
        for (const PoExpRow& r : rows)
            out << r.poNo << '\t' << r.poKbn << '\t' << r.nouCd << '\t' << r.nouNm << '\t' << r.kiboDate
                << '\n';
        out.flush();
        return core::Outcome::Done;
    }
    std::set<Po> listed;
    for (PoExpRow& r : rows) {
        r.chk = all || wanted.count({r.poNo, r.poKbn}) > 0;
        listed.insert({r.poNo, r.poKbn});
    }
    QStringList missing;
    for (const Po& po : wanted)
        if (listed.count(po) == 0)
            missing << po.first + QLatin1Char(' ') + po.second;
    if (!missing.isEmpty()) {
        ctx.prompter.message(QStringLiteral("作成できるPOではありません: ") + missing.join(QLatin1Char(',')),
                             QStringLiteral("create-po"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    const QString poBase = ctx.session.PoFolder;
    PoCreationResult result;
    const core::Outcome outcome = runPoCreation(ctx.prompter, core::cnWork(), core::cnPo(), core::cnSk(),
                                                rows, poBase, templateFolder(), {}, &result);
    ctx.summary = QStringLiteral("sent %1, unsent %2").arg(result.sent.size()).arg(result.unsent.size());
    // Each PO once, with where its files are.
    std::set<Po> printed;
    for (const PoExpRow& r : rows) {
        if (!r.chk || !printed.insert({r.poNo, r.poKbn}).second)
            continue;
        const bool sent = result.sent.contains(r.poNo + QLatin1Char(' ') + r.poKbn);
        const QString archive = poArchivePath(poBase, r.poNo);
        const QString folder = poOutputFolder(poBase, r.poNo);
        out << r.poNo << '\t' << r.poKbn << '\t' << (sent ? "送信済" : "未送信") << '\t'
            << (QFileInfo(folder).isDir() ? folder : QString()) << '\t' << (sent ? archive : QString())
            << '\n';
    }
    out.flush();
    return outcome;
}

core::Outcome runPosCommand(core::JobContext& ctx, const QStringList& args) {
    (void)args;
    if (!connected(ctx, {core::KindWork}))
        return core::Outcome::Failed;
    struct Summary {
        QStringList orders;
        std::set<QString> sendFlags;
        std::set<qint64> printCounts;
    };
    std::map<Po, Summary> pos;
    try {
        for (db::Reader r = core::cnWork().read(
                 QStringLiteral("Select PO_NO,PO_KBN,ORD_NO,SEND_FLG,PRN_SU From rcv_denheaddata "
                                "Where PO_NO <> '' Order By PO_NO,PO_KBN,ORD_NO"));
             !r.atEnd(); r.moveNext()) {
            Summary& s = pos[{r.text(0), r.text(1)}];
            s.orders << r.text(2);
            s.sendFlags.insert(r.text(3));
            s.printCounts.insert(r.value(4).toLongLong());
        }
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("pos"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    QTextStream& out = core::jobOutput(ctx);
    out << "PO番号\tPO区分\t発注番号\t送信\t印刷回数\n";
    for (const auto& [po, s] : pos) {
        QStringList flags, counts;
        for (const QString& f : s.sendFlags)
            flags << (f == QStringLiteral("1") ? QStringLiteral("送信済") : QStringLiteral("未送信"));
        flags.removeDuplicates();
        for (qint64 c : s.printCounts)
            counts << QString::number(c);
        out << po.first << '\t' << po.second << '\t' << s.orders.join(QLatin1Char(',')) << '\t'
            << flags.join(QLatin1Char(',')) << '\t' << counts.join(QLatin1Char(',')) << '\n';
    }
    out.flush();
    return core::Outcome::Done;
}

} // namespace kemnoa::output
