// The jobs of the care-symbol and term masters: the two master screens (304, 305), the submission
// confirmation screens (307, 308), the master printing screens (401, 402), and the job runner's
// printing, list of waiting submissions, apply and discard.

#include "care_masters/jobs.h"

#include "care_masters/print_commands.h"
#include "care_masters/submission_confirmation.h"
#include "core/connection_lease.h"
#include "core/connections.h"
#include "core/error.h"

#include <QTextStream>

namespace kemnoa::care_masters {
namespace {

const MasterKind& kindArg(const QString& name) {
    const MasterKind* kind = kindByName(name);
    if (!kind)
        throw core::JobUsageError();
    return *kind;
}

qint32 idArg(const QString& text) {
    bool ok = false;
    const qint32 id = text.toInt(&ok);
    if (!ok)
        throw core::JobUsageError();
    return id;
}

// One line per waiting submission: kind, ID, number, SYORI_FLG, UPD (tab-separated).
core::Outcome listSubmissions(core::JobContext& ctx, const QStringList& args) {
    std::vector<const MasterKind*> kinds;
    if (args.isEmpty())
        kinds = {&ehjKind(), &fukiKind()};
    else
        kinds = {&kindArg(args.first())};
    QTextStream& out = core::jobOutput(ctx);
    try {
        for (const MasterKind* kind : kinds)
            for (const WaitingSubmission& w : waitingSubmissions(*kind, core::cnWork()))
                core::writeRecord(out, {kind->cliName, QString::number(w.id), w.number, w.syoriFlg, w.upd});
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("submissions"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    out.flush();
    return core::Outcome::Done;
}

// apply / discard ehj|fuki ID: the arguments are checked before the work connection is taken.
template <typename Action>
core::Outcome onSubmission(core::JobContext& ctx, const QStringList& args, Action action) {
    const MasterKind& kind = kindArg(args[0]);
    const qint32 id = idArg(args[1]);
    core::ConnectionLease work(core::KindWork, ctx.prompter);
    if (!work.ok())
        return core::Outcome::Failed;
    return action(kind, ctx.prompter, work.connection(), id);
}

} // namespace

void addCareMasterJobs(core::JobTable& table) {
    table.add({.name = QStringLiteral("ehj-master"),
               .menuCode = 304,
               .summary = QStringLiteral("the care-symbol master screen"),
               .connections = {core::KindWork}});
    table.add({.name = QStringLiteral("fuki-master"),
               .menuCode = 305,
               .summary = QStringLiteral("the term master screen"),
               .connections = {core::KindWork}});
    table.add({.name = QStringLiteral("ehj-confirm"),
               .menuCode = 307,
               .summary = QStringLiteral("the confirmation screen of submitted care symbols"),
               .connections = {core::KindWork}});
    table.add({.name = QStringLiteral("fuki-confirm"),
               .menuCode = 308,
               .summary = QStringLiteral("the confirmation screen of submitted terms"),
               .connections = {core::KindWork}});
    table.add({.name = QStringLiteral("ehj-print"),
               .menuCode = 401,
               .summary = QStringLiteral("the care-symbol master printing screen"),
               .connections = {core::KindWork}});
    table.add({.name = QStringLiteral("fuki-print"),
               .menuCode = 402,
               .summary = QStringLiteral("the term master printing screen"),
               .connections = {core::KindWork}});

    table.add(
        {.name = QStringLiteral("print"),
         .usage = QStringLiteral("ehj|fuki [--pdf OUT] [--from N --to N | KEY...]  |  request ehj|fuki ID "
                                 "[--pdf OUT]"),
         .summary =
             QStringLiteral("print a master listing or a registration request (to the printer or a PDF)"),
         .minArgs = 1,
         .maxArgs = -1,
         .run = runPrintCommand});
    table.add(
        {.name = QStringLiteral("submissions"),
         .usage = QStringLiteral("[ehj|fuki]"),
         .summary = QStringLiteral("list the submitted care symbols and terms waiting for confirmation"),
         .connections = {core::KindWork},
         .maxArgs = 1,
         .run = listSubmissions});
    table.add({.name = QStringLiteral("apply"),
               .usage = QStringLiteral("ehj|fuki ID"),
               .summary = QStringLiteral("apply a waiting submission to its master (asks first; --yes)"),
               .minArgs = 2,
               .maxArgs = 2,
               .run = [](core::JobContext& ctx, const QStringList& args) {
                   return onSubmission(ctx, args, applySubmissionById);
               }});
    table.add({.name = QStringLiteral("discard"),
               .usage = QStringLiteral("ehj|fuki ID"),
               .summary = QStringLiteral("discard a waiting submission (access code on standard input)"),
               .minArgs = 2,
               .maxArgs = 2,
               .run = [](core::JobContext& ctx, const QStringList& args) {
                   return onSubmission(ctx, args, discardSubmissionById);
               }});
}

} // namespace kemnoa::care_masters
