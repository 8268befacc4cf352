#include "core/settings_load.h"

#include "core/error.h"
#include "core/ini_file.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "core/system_info.h"
#include "platform/text/cp932.h"

#include <QFile>
#include <QStringDecoder>

namespace kemnoa::core {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

// Code page 932 text with Japanese characters is practically never valid UTF-8.
bool settingsTextIsUtf8(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return true;
    bool beyondAscii = false;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            beyondAscii = true;
            break;
        }
    if (!beyondAscii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes); // the conversion runs when the result is taken
    return !decoder.hasError();
}

namespace {

// Checks the settings file before it is read: it must exist and not be saved as UTF-8 (a byte that is
// not code page 932 fails only where it is read, naming the file, the section and the key). Throws
// core::Error with a text naming the file.
void checkSettingsFile(const QString& path) {
    QFile f(path);
    if (!f.exists())
        throw Error(QStringLiteral("settings file not found: ") + path, errnum::FileNotFound);
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("設定ファイルを読めません。") + path, errnum::PermissionDenied);
    const QByteArray bytes = f.readAll();
    if (settingsTextIsUtf8(bytes))
        throw Error(QStringLiteral("settings file ") + path +
                        QStringLiteral(" is saved as UTF-8: save it in code page 932 (Shift_JIS, CP932), or "
                                       "write values with kemnoa-cli settings set SECTION KEY VALUE"),
                    errnum::General);
}

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

Outcome setSettingsValue(Prompter& prompter, const QString& section, const QString& key,
                         const QString& value) {
    const QString path = settingsFile();
    auto fail = [&](const QString& text) {
        prompter.message(text, QStringLiteral("settings"), MsgIcon::Critical);
        return Outcome::Failed;
    };
    bool lossless = true;
    (void)text::toCp932(section + key + value, &lossless);
    if (!lossless)
        return fail(QStringLiteral("[%1] %2: the value holds a character code page 932 cannot carry")
                        .arg(section, key));
    QFile f(path);
    if (f.exists()) {
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("設定ファイルを読めません。") + path);
        QByteArray bytes = f.readAll();
        f.close();
        if (settingsTextIsUtf8(bytes)) {
            // Rewritten in code page 932 in place, keeping the file's owner, group and mode.
            if (bytes.startsWith("\xEF\xBB\xBF"))
                bytes.remove(0, 3);
            const QByteArray converted = text::toCp932(QString::fromUtf8(bytes), &lossless);
            if (!lossless)
                return fail(
                    QStringLiteral("settings file ") + path +
                    QStringLiteral(" holds characters code page 932 cannot carry; correct it by hand"));
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                f.write(converted) != converted.size() || !f.flush())
                return fail(QStringLiteral("settings file ") + path +
                            QStringLiteral(" could not be rewritten"));
            f.close();
        }
    }
    clsIniFile ini;
    ini.setFileName(path);
    ini.setSection(section);
    try {
        if (!ini.SetString(key, value))
            return fail(QStringLiteral("settings file ") + path + QStringLiteral(" could not be written"));
    } catch (const Error& e) {
        return fail(path + QStringLiteral(" [") + section + QStringLiteral("] ") + key +
                    QStringLiteral(": ") + e.text());
    }
    return Outcome::Done;
}

QStringList databaseSectionsWithoutProvider() {
    clsIniFile ini;
    ini.setFileName(settingsFile());
    QStringList present;
    QStringList out;
    try {
        ini.EmnumSection(present);
        for (const char* name : {"SQLKEM_DB", "OFFICE_DB", "PO_DB", "SK_DB"}) {
            const QString section = QString::fromLatin1(name);
            bool there = false;
            for (const QString& p : present)
                there = there || p.compare(section, Qt::CaseInsensitive) == 0;
            ini.setSection(section);
            if (there && ini.GetString(QStringLiteral("PROVIDER"), QString()).trimmed().isEmpty())
                out << QLatin1Char('[') + section + QLatin1Char(']');
        }
    } catch (const Error&) {
        // An unreadable file is reported by the settings' own reading.
    }
    return out;
}

qint32 connectTimeoutFrom(qint32 read) {
    // "0" followed by the number read converts to 0 only when the number is 0.
    return read == 0 ? 20 : read;
}

Outcome MF_FirstSetting(Prompter& prompter) {
    Session& s = session();
    s.ComputerName = GetSelfComputerName(prompter);
    s.VersionText = versionText();
    try {
        checkSettingsFile(settingsFile());
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
        s.FtpSetting.UseTls = ini.GetString(QStringLiteral("UseTls"), QString());
        s.FtpSetting.TlsCaFile = ini.GetString(QStringLiteral("TlsCaFile"), QString());

        ini.setSection(QStringLiteral("PO_FILE"));
        s.PoFolder = ini.GetString(QStringLiteral("FOLDER"), QString());
    } catch (const Error& e) {
        prompter.message(e.text(), QStringLiteral("MF_FirstSetting"), MsgIcon::Critical);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

} // namespace kemnoa::core
