#include "app/jobs/tool_jobs.h"

#include "core/program_folder.h"
#include "core/session.h"
#include "core/settings_load.h"

namespace kemnoa::jobs {
namespace {

QString masked(const QString& password) {
    return password.isEmpty() ? QString() : QStringLiteral("********");
}

void printDb(QTextStream& out, const QString& section, const core::DbSettings& db) {
    out << '[' << section << "]\n";
    out << "PROVIDER=" << db.Provider << '\n';
    out << "SERVER_NM=" << db.ServerName << '\n';
    out << "DB_NM=" << db.DbName << '\n';
    out << "DBUSER_NM=" << db.UserName << '\n';
    out << "PASSWORD=" << masked(db.Password) << '\n';
    out << "CONECT_TIMEOUT=" << db.ConnectTimeout << '\n';
    if (!db.OdbcDriver.isEmpty())
        out << "ODBC_DRIVER=" << db.OdbcDriver << '\n';
}

core::Outcome showSettings(ToolContext& ctx, const QStringList& args) {
    if (!args.isEmpty()) {
        if (args.size() != 4 || args[0] != QLatin1String("set"))
            throw core::JobUsageError();
        return core::setSettingsValue(ctx.prompter, args[1], args[2], args[3]);
    }
    // Read here rather than before the job, so that "set" can mend a file that cannot be read.
    if (core::failed(core::MF_FirstSetting(ctx.prompter)))
        return core::Outcome::Failed;
    const core::Session& s = core::session();
    QTextStream& out = ctx.out;
    out << "; " << core::settingsFile() << "\n; program folder " << core::programFolder() << '\n';
    printDb(out, QStringLiteral("SQLKEM_DB"), s.WorkDb);
    printDb(out, QStringLiteral("OFFICE_DB"), s.OfficeDb);
    printDb(out, QStringLiteral("PO_DB"), s.PoDb);
    printDb(out, QStringLiteral("SK_DB"), s.SkDb);
    out << "[fenlowen1]\nTAG_ENV=" << s.TagEnv << "\nCAR_ENV=" << s.CarEnv
        << "\nKAKUNIN_FOLDER=" << s.KakuninFolder << "\nAPPEXE=" << s.AppExe << "\nPRINTER_NM=" << s.PrinterNm
        << "\nPRINTER_PORT=" << s.PrinterPort << '\n';
    out << "[FTP]\nLOCAL_FOLDER=" << s.LocalFolder << "\nHostMei=" << s.FtpSetting.HostMei
        << "\nUserMei=" << s.FtpSetting.UserMei << "\nPassMei=" << masked(s.FtpSetting.PassMei)
        << "\nPortNum=" << s.FtpSetting.PortNum << "\nPaveMod=" << s.FtpSetting.PaveMod
        << "\nUseTls=" << s.FtpSetting.UseTls << "\nTlsCaFile=" << s.FtpSetting.TlsCaFile << '\n';
    out << "[PO_FILE]\nFOLDER=" << s.PoFolder << '\n';
    out << "; computer " << s.ComputerName << ", " << s.VersionText << Qt::endl;
    return core::Outcome::Done;
}

} // namespace

void addGeneralJobs(core::JobTable& table) {
    table.add({.name = QStringLiteral("version"),
               .summary = QStringLiteral("print the program version"),
               .readsSettings = false,
               .run = toolRun([](ToolContext& ctx, const QStringList&) {
                   ctx.out << "kemnoa " << KEMNOA_VERSION << Qt::endl;
                   return core::Outcome::Done;
               })});
    table.add({.name = QStringLiteral("settings"),
               .usage = QStringLiteral("[set SECTION KEY VALUE]"),
               .summary = QStringLiteral(
                   "print the effective settings (passwords masked), or write one value in code page 932"),
               .readsSettings = false,
               .maxArgs = 4,
               .run = toolRun(showSettings)});
}

} // namespace kemnoa::jobs
