#include "app/cli/command.h"

#include "core/connections.h"
#include "core/error.h"
#include "core/settings_load.h"
#include "maintenance/error_list.h"
#include "receiving/import_command.h"

namespace kemnoa::cli {
namespace {

// The connections the order-file screen holds while it is open.
class ScreenConnections {
public:
    explicit ScreenConnections(core::Prompter& prompter) {
        ok_ = core::dbOpen(core::KindWork, prompter) == 0;
        if (ok_)
            core::dbOpen(core::KindPo, prompter); // the master check reports it when it is missing
    }
    ~ScreenConnections() {
        core::dbClose(core::KindPo);
        core::dbClose(core::KindWork);
    }
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// Runs a job of the order-file screen: settings read, the screen's connections held while it runs.
template <class Job> int withScreenConnections(CliContext& ctx, const QStringList& args, Job job) {
    if (!args.isEmpty())
        return ExitUsage;
    if (core::MF_FirstSetting(ctx.prompter))
        return ExitFailed;
    ScreenConnections connections(ctx.prompter);
    if (!connections.ok())
        return ExitFailed;
    return job() ? ExitOk : ExitFailed;
}

int import(CliContext& ctx, const QStringList& args) {
    return withScreenConnections(ctx, args, [&] { return receiving::runOrderImport(ctx.prompter); });
}

int deleteAll(CliContext& ctx, const QStringList& args) {
    return withScreenConnections(ctx, args, [&] {
        receiving::runDeleteAllOrders(ctx.prompter);
        return true;
    });
}

// The error list: one line per finding, tab-separated.
int errors(CliContext& ctx, const QStringList& args) {
    if (args.size() > 1)
        return ExitUsage;
    qint32 ordNo = 0;
    if (!args.isEmpty()) {
        bool ok = false;
        ordNo = args.first().toInt(&ok);
        if (!ok)
            return ExitUsage;
    }
    if (core::MF_FirstSetting(ctx.prompter))
        return ExitFailed;
    if (core::dbOpen(core::KindWork, ctx.prompter) != 0)
        return ExitFailed;
    std::vector<maintenance::ErrorListRow> rows;
    try {
        rows = maintenance::loadErrorList(core::cnWork(), ordNo);
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("MP_Open"), core::MsgIcon::Critical);
        core::dbClose(core::KindWork);
        return ExitFailed;
    }
    core::dbClose(core::KindWork);
    if (rows.empty()) {
        ctx.prompter.message(QStringLiteral("エラーはありません。"), QStringLiteral("エラー無し"),
                             core::MsgIcon::None);
        return ExitOk;
    }
    ctx.out << "発注番号\t行\tタイトル\t値\t内容\n";
    for (const auto& r : rows)
        ctx.out << r.ordNo << '\t' << r.gyou << '\t' << r.title << '\t' << r.value << '\t' << r.message
                << '\n';
    return ExitOk;
}

} // namespace

void addImportCommands(CommandList& commands) {
    commands.push_back({QStringLiteral("import"), QString(),
                        QStringLiteral("import the order files of LOCAL_FOLDER into the work database"),
                        import});
    commands.push_back({QStringLiteral("delete-all-orders"), QString(),
                        QStringLiteral("delete every received order (password by --input)"), deleteAll});
    commands.push_back({QStringLiteral("errors"), QStringLiteral("[ORD_NO]"),
                        QStringLiteral("list the master-check findings of one order or of all orders"),
                        errors});
}

} // namespace kemnoa::cli
