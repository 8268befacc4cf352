#include "core/settings_load.h"

#include "core/error.h"
#include "core/ini_file.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "core/system_info.h"

namespace kemnoa::core {
namespace {

DbSettings readDb(clsIniFile& ini, const QString& section) {
    ini.setSection(section);
    DbSettings db;
    db.Provider = ini.GetString(QStringLiteral("PROVIDER"), QString());
    db.ServerName = ini.GetString(QStringLiteral("SERVER_NM"), QString());
    db.DbName = ini.GetString(QStringLiteral("DB_NM"), QString());
    db.UserName = ini.GetString(QStringLiteral("DBUSER_NM"), QString());
    db.Password = ini.GetString(QStringLiteral("PASSWORD"), QString());
    db.ConnectTimeout = connectTimeoutFrom(ini.GetInteger(QStringLiteral("CONECT_TIMEOUT"), 0));
    db.OdbcDriver = ini.GetString(QStringLiteral("ODBC_DRIVER"), QString());
    return db;
}

} // namespace

qint32 connectTimeoutFrom(qint32 read) {
    // "0" followed by the number read converts to 0 only when the number is 0.
    return read == 0 ? 20 : read;
}

Outcome MF_FirstSetting(Prompter& prompter) {
    Session& s = session();
    s.ComputerName = GetSelfComputerName(prompter);
    s.VersionText = versionText();
    try {
        clsIniFile ini;
        ini.setFileName(settingsFile());
        s.WorkDb = readDb(ini, QStringLiteral("SQLKEM_DB"));
        s.OfficeDb = readDb(ini, QStringLiteral("OFFICE_DB"));
        s.PoDb = readDb(ini, QStringLiteral("PO_DB"));
        s.SkDb = readDb(ini, QStringLiteral("SK_DB"));

        ini.setSection(QStringLiteral("fenlowen1"));
        s.TagEnv = ini.GetString(QStringLiteral("TAG_ENV"), QString());
        s.CarEnv = ini.GetString(QStringLiteral("CAR_ENV"), QString());
        s.KakuninFolder = ini.GetString(QStringLiteral("KAKUNIN_FOLDER"), QString());
        s.AppExe = ini.GetString(QStringLiteral("APPEXE"), QString());
        s.PrinterNm = ini.GetString(QStringLiteral("PRINTER_NM"), QString());
        s.PrinterPort = ini.GetString(QStringLiteral("PRINTER_PORT"), QString());
        s.PdfWriterOff =
            ini.GetString(QStringLiteral("PDFWRITER"), QString()).trimmed() == QLatin1String("0");

        ini.setSection(QStringLiteral("FTP"));
        s.LocalFolder = ini.GetString(QStringLiteral("LOCAL_FOLDER"), QString());
        s.FtpSetting.HostMei = ini.GetString(QStringLiteral("HostMei"), QString());
        s.FtpSetting.UserMei = ini.GetString(QStringLiteral("UserMei"), QString());
        s.FtpSetting.PassMei = ini.GetString(QStringLiteral("PassMei"), QString());
        s.FtpSetting.PortNum = ini.GetString(QStringLiteral("PortNum"), QString());
        s.FtpSetting.PaveMod = ini.GetString(QStringLiteral("PaveMod"), QString());

        ini.setSection(QStringLiteral("PO_FILE"));
        s.PoFolder = ini.GetString(QStringLiteral("FOLDER"), QString());
    } catch (const Error& e) {
        prompter.message(e.text(), QStringLiteral("MF_FirstSetting"), MsgIcon::Critical);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

} // namespace kemnoa::core
