#include "masters/reference_master_jobs.h"

#include "core/connections.h"
#include "core/error.h"
#include "masters/master_csv.h"
#include "masters/reference_masters.h"

#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace kemnoa::masters {
namespace {

const QString kTitle = QStringLiteral("masters");

// masters export KIND [FILE]: the table as CSV into the file, or onto the standard output.
core::Outcome exportMaster(core::JobContext& ctx, RefMaster kind, const QString& file) {
    QByteArray csv;
    try {
        csv = masterCsv(kind, loadMaster(core::cnWork(), kind));
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), kTitle, core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    if (file.isEmpty()) {
        QTextStream& out = core::jobOutput(ctx);
        out << QString::fromUtf8(csv);
        out.flush();
        return core::Outcome::Done;
    }
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(csv) != csv.size() || !f.flush()) {
        ctx.prompter.message(QStringLiteral("%1 に書き込めません。(%2)").arg(file, f.errorString()), kTitle,
                             core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    return core::Outcome::Done;
}

// masters import KIND [FILE]: the CSV of the file (or the standard input) through the window's
// checks and its one-transaction save.
core::Outcome importMaster(core::JobContext& ctx, RefMaster kind, const QString& file) {
    QFile f(file);
    const bool opened = file.isEmpty() ? f.open(stdin, QIODevice::ReadOnly) : f.open(QIODevice::ReadOnly);
    if (!opened) {
        ctx.prompter.message(QStringLiteral("%1 を読めません。(%2)").arg(file, f.errorString()), kTitle,
                             core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    const QByteArray data = f.readAll();
    MasterRows rows;
    try {
        rows = parseMasterCsv(kind, data);
    } catch (const core::Error& e) {
        ctx.prompter.message(e.description(), kTitle, core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    return saveMaster(ctx.prompter, core::cnWork(), kind, rows);
}

core::Outcome runMasters(core::JobContext& ctx, const QStringList& args) {
    const MasterDef* def = masterDefByCommand(args.at(1));
    const QString file = args.value(2);
    if (!def)
        throw core::JobUsageError();
    if (args.at(0) == QStringLiteral("export"))
        return exportMaster(ctx, def->kind, file);
    if (args.at(0) == QStringLiteral("import"))
        return importMaster(ctx, def->kind, file);
    throw core::JobUsageError();
}

} // namespace

void addReferenceMasterJobs(core::JobTable& table) {
    for (RefMaster kind : allMasters()) {
        const MasterDef& def = masterDef(kind);
        table.add({.name = def.windowJob,
                   .menuCode = def.menuCode,
                   .summary = QStringLiteral("the %1 window (%2)").arg(def.windowTitle, def.table),
                   .connections = {core::KindWork}});
    }
    table.add(
        {.name = QStringLiteral("masters"),
         .usage = QStringLiteral("export|import namecode|sizaicode|size [FILE]"),
         .summary = QStringLiteral("write a reference master as CSV, or replace it with a CSV file's rows"),
         .connections = {core::KindWork},
         .minArgs = 2,
         .maxArgs = 3,
         .run = runMasters});
}

} // namespace kemnoa::masters
