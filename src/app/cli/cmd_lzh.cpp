// kemnoa-cli lzh: builds, lists, tests and extracts LZH archives for operators.

#include "app/cli/command.h"

#include "platform/lzh/lzh_files.h"

#include <QDir>
#include <QFileInfo>

namespace kemnoa::cli {

namespace {

int addFiles(CliContext& ctx, const QString& archive, const QStringList& files) {
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
    return ExitOk;
}

int list(CliContext& ctx, const QString& archive) {
    for (const auto& m : lzh::listArchive(archive)) {
        ctx.out << m.method << ' ' << QString::number(m.originalSize).rightJustified(10) << ' '
                << QString::number(m.packedSize).rightJustified(10) << ' '
                << m.modified.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << ' ' << m.name << '\n';
    }
    return ExitOk;
}

int test(CliContext& ctx, const QString& archive) {
    for (const auto& m : lzh::testArchive(archive))
        ctx.out << "OK " << m.name << '\n';
    return ExitOk;
}

int extract(CliContext& ctx, const QString& archive) {
    for (const QString& path : lzh::extractArchive(archive, QDir::currentPath()))
        ctx.out << "extracted " << QDir::current().relativeFilePath(path) << '\n';
    return ExitOk;
}

} // namespace

void addLzhCommands(CommandList& commands) {
    commands.push_back(
        {QStringLiteral("lzh"), QStringLiteral("a ARCHIVE FILES... | l|t|x ARCHIVE"),
         QStringLiteral("add files to, list, test or extract (into the current folder) an LZH archive"),
         [](CliContext& ctx, const QStringList& args) {
             if (args.size() < 2)
                 return ExitUsage;
             const QString op = args[0];
             const QString archive = args[1];
             if (op == QLatin1String("a") ? args.size() < 3 : args.size() != 2)
                 return ExitUsage;
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
                 ctx.err << "kemnoa-cli lzh: " << QString::fromStdString(e.what()) << Qt::endl;
                 return ExitFailed;
             }
             return ExitUsage;
         }});
}

} // namespace kemnoa::cli
