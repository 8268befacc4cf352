// kemnoa-cli lzh: builds, lists, tests and extracts LZH archives for operators.

#include "app/jobs/tool_jobs.h"

#include "platform/lzh/lzh_files.h"

#include <QDir>
#include <QFileInfo>

namespace kemnoa::jobs {

namespace {

core::Outcome addFiles(ToolContext& ctx, const QString& archive, const QStringList& files) {
    // As with lha, adding to an existing archive keeps its other members and replaces same-named ones.
    QStringList names;
    for (const QString& f : files)
        names << QFileInfo(f).fileName();
    lzh::LzhFileWriter writer(archive);
    if (QFileInfo::exists(archive))
        writer.addMembersOf(archive, names);
    for (const QString& f : files) {
        writer.addFile(f);
        ctx.out << "added " << QFileInfo(f).fileName() << Qt::endl;
    }
    writer.commit();
    return core::Outcome::Done;
}

core::Outcome list(ToolContext& ctx, const QString& archive) {
    for (const auto& m : lzh::listArchive(archive)) {
        ctx.out << m.method << ' ' << QString::number(m.originalSize).rightJustified(10) << ' '
                << QString::number(m.packedSize).rightJustified(10) << ' '
                << m.modified.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << ' '
                << core::outputField(m.name) << '\n';
    }
    return core::Outcome::Done;
}

core::Outcome test(ToolContext& ctx, const QString& archive) {
    for (const auto& m : lzh::testArchive(archive))
        ctx.out << "OK " << core::outputField(m.name) << '\n';
    return core::Outcome::Done;
}

core::Outcome extract(ToolContext& ctx, const QString& archive) {
    for (const QString& path : lzh::extractArchive(archive, QDir::currentPath()))
        ctx.out << "extracted " << core::outputField(QDir::current().relativeFilePath(path)) << '\n';
    return core::Outcome::Done;
}

} // namespace

void addLzhJobs(core::JobTable& table) {
    table.add({.name = QStringLiteral("lzh"),
               .usage = QStringLiteral("a ARCHIVE FILES... | l|t|x ARCHIVE"),
               .summary = QStringLiteral(
                   "add files to, list, test or extract (into the current folder) an LZH archive"),
               .readsSettings = false,
               .minArgs = 2,
               .maxArgs = -1,
               .run = toolRun([](ToolContext& ctx, const QStringList& args) {
                   const QString op = args[0];
                   const QString archive = args[1];
                   if (op == QLatin1String("a") ? args.size() < 3 : args.size() != 2)
                       throw core::JobUsageError();
                   try {
                       if (op == QLatin1String("a"))
                           return addFiles(ctx, archive, args.mid(2));
                       if (op == QLatin1String("l"))
                           return list(ctx, archive);
                       if (op == QLatin1String("t"))
                           return test(ctx, archive);
                       if (op == QLatin1String("x"))
                           return extract(ctx, archive);
                   } catch (const lzh::LzhError& e) {
                       ctx.out.flush();
                       ctx.prompter.message(QString::fromStdString(e.what()), QStringLiteral("lzh"),
                                            core::MsgIcon::Critical);
                       return core::Outcome::Failed;
                   }
                   throw core::JobUsageError();
               })});
}

} // namespace kemnoa::jobs
