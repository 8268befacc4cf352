// Database commands of the job runner: create the schemas, fill the demo data, and the start-up
// check of the work database with its fixed values.

#include "app/jobs/tool_jobs.h"

#include "core/connection_lease.h"
#include "core/connections.h"
#include "core/error.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "core/settings_load.h"
#include "demo/demo_data.h"
#include "platform/db/schema.h"
#include "platform/db/schema_version.h"

namespace kemnoa::jobs {
namespace {

struct KindInfo {
    qint32 kind;
    const char* section;
    db::DatabaseKind databaseKind;
};

constexpr KindInfo kKinds[] = {{core::KindWork, "SQLKEM_DB", db::DatabaseKind::Work},
                               {core::KindOffice, "OFFICE_DB", db::DatabaseKind::Office},
                               {core::KindPo, "PO_DB", db::DatabaseKind::Po},
                               {core::KindSk, "SK_DB", db::DatabaseKind::Sk}};

// A database section without PROVIDER cannot be connected; it is named rather than skipped.
bool refuseSectionsWithoutProvider(ToolContext& ctx, const QString& title) {
    const QStringList missing = core::databaseSectionsWithoutProvider();
    for (const QString& section : missing)
        ctx.prompter.message(
            QStringLiteral("settings file %1: section %2 has no PROVIDER").arg(core::settingsFile(), section),
            title, core::MsgIcon::Critical);
    return !missing.isEmpty();
}

// The kinds whose section names a provider.
std::vector<KindInfo> configuredKinds(ToolContext& ctx, const QString& title) {
    std::vector<KindInfo> out;
    if (refuseSectionsWithoutProvider(ctx, title))
        return out;
    for (const KindInfo& k : kKinds)
        if (!core::connectionSettingsOfKind(k.kind).provider.trimmed().isEmpty())
            out.push_back(k);
    if (out.empty())
        ctx.prompter.message(
            QStringLiteral("設定ファイルにデータベースが設定されていません。(%1)").arg(core::settingsFile()),
            title, core::MsgIcon::Critical);
    return out;
}

core::Outcome initDb(ToolContext& ctx, const QStringList& args) {
    (void)args;
    const auto kinds = configuredKinds(ctx, QStringLiteral("init-db"));
    if (kinds.empty())
        return core::Outcome::Failed;
    // PostgreSQL's notice for every table that already exists would bury the one line per database.
    qputenv("PGOPTIONS", qgetenv("PGOPTIONS") + " -c client_min_messages=warning");
    core::Outcome rc = core::Outcome::Done;
    for (const KindInfo& k : kinds) {
        const db::ConnectionSettings settings = core::connectionSettingsOfKind(k.kind);
        try {
            const bool created = db::ensureDatabase(settings);
            db::Connection connection;
            connection.open(settings);
            const db::SchemaUpgrade version = db::upgradeSchema(connection, k.databaseKind);
            ctx.out << k.section << ": " << (created ? "created database " : "database ") << settings.database
                    << ", " << db::schemaTables(k.databaseKind).size() << " tables ready, schema version "
                    << version.to;
            if (version.from != version.to && !created)
                ctx.out << " (upgraded from " << version.from << ')';
            ctx.out << Qt::endl;
        } catch (const core::Error& e) {
            ctx.prompter.message(QString::fromLatin1(k.section) + QStringLiteral(": ") + e.text(),
                                 QStringLiteral("init-db"), core::MsgIcon::Critical);
            rc = core::Outcome::Failed;
        }
    }
    return rc;
}

core::Outcome seedDemo(ToolContext& ctx, const QStringList& args) {
    (void)args;
    const auto kinds = configuredKinds(ctx, QStringLiteral("seed-demo"));
    if (kinds.empty())
        return core::Outcome::Failed;
    core::Outcome rc = core::Outcome::Done;
    for (const KindInfo& k : kinds) {
        try {
            db::Connection connection;
            connection.open(core::connectionSettingsOfKind(k.kind));
            const demo::SeedResult r = demo::seed(connection, k.databaseKind);
            ctx.out << k.section << ": filled "
                    << (r.filled.isEmpty() ? QStringLiteral("-") : r.filled.join(QStringLiteral(", ")));
            if (!r.skipped.isEmpty())
                ctx.out << "; kept (not empty) " << r.skipped.join(QStringLiteral(", "));
            ctx.out << Qt::endl;
        } catch (const core::Error& e) {
            ctx.prompter.message(QString::fromLatin1(k.section) + QStringLiteral(": ") + e.text(),
                                 QStringLiteral("seed-demo"), core::MsgIcon::Critical);
            rc = core::Outcome::Failed;
        }
    }
    return rc;
}

// The start-up check: settings, work database, fixed values, as the program does before its login.
core::Outcome dbCheck(ToolContext& ctx, const QStringList& args) {
    (void)args;
    if (core::failed(core::MF_FirstSetting(ctx.prompter))) {
        ctx.prompter.message(QStringLiteral("初期化失敗\r\n強制終了します。"), QStringLiteral("強制終了"),
                             core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    if (refuseSectionsWithoutProvider(ctx, QStringLiteral("db-check")))
        return core::Outcome::Failed;
    {
        core::ConnectionLease work(core::KindWork, ctx.prompter);
        if (!work.ok()) {
            ctx.prompter.message(QStringLiteral("データベースに接続できませんでした。\r\n強制終了します。"),
                                 QStringLiteral("エラー"), core::MsgIcon::Critical);
            return core::Outcome::Failed;
        }
        if (core::failed(core::MF_KoteiJohoSet(ctx.prompter, core::FailureDetail::DatabaseReason)))
            return core::Outcome::Failed;
    }
    const core::Session& s = core::session();
    for (const QString& key : core::fixedInfoKeys())
        ctx.out << key << '=' << s.fixed(key) << '\n';
    ctx.out.flush();
    return core::Outcome::Done;
}

} // namespace

void addDbJobs(core::JobTable& table) {
    table.add({.name = QStringLiteral("init-db"),
               .summary = QStringLiteral("create the tables of the configured databases"),
               .run = toolRun(initDb)});
    table.add({.name = QStringLiteral("seed-demo"),
               .summary = QStringLiteral("fill the empty tables of the configured databases with demo data"),
               .run = toolRun(seedDemo)});
    // Reads the settings itself: its failure message is the start-up's.
    table.add({.name = QStringLiteral("db-check"),
               .summary = QStringLiteral("the start-up check of the work database; prints the fixed values"),
               .readsSettings = false,
               .run = toolRun(dbCheck)});
}

} // namespace kemnoa::jobs
