#include "core/settings_screen.h"

#include "core/ini_file.h"

namespace kemnoa::core {

namespace {
// Rows of the "基本" tab and the settings section each one is written to.
struct DbRow {
    const char* section;
    DbSettings Session::*settings;
};
constexpr std::array<DbRow, SettingDbRows> dbRows = {{
    {"SQLKEM_DB", &Session::WorkDb},
    {"PO_DB", &Session::PoDb},
    {"SK_DB", &Session::SkDb},
    {"OFFICE_DB", &Session::OfficeDb},
}};

struct DirRow {
    const char* section;
    const char* key;
    QString Session::*value;
};
constexpr std::array<DirRow, SettingSavedDirRows> dirRows = {{
    {"PO_FILE", "FOLDER", &Session::PoFolder},
    {"fenlowen1", "KAKUNIN_FOLDER", &Session::KakuninFolder},
    {"FTP", "LOCAL_FOLDER", &Session::LocalFolder},
}};
// A value is one line of the settings file: a pasted line break would start a new key or section.
QString oneLine(QString value) {
    value.remove(QLatin1Char('\r'));
    value.remove(QLatin1Char('\n'));
    return value;
}
} // namespace

const QStringList& settingDbLabels() {
    static const QStringList labels = {QStringLiteral("ケム DB "), QStringLiteral("PO DB "),
                                       QStringLiteral("SK DB "), QStringLiteral("オフコン DB ")};
    return labels;
}

const QStringList& settingDirLabels() {
    static const QStringList labels = [] {
        QStringList l = {QStringLiteral("PO Dir:"), QStringLiteral("確認データ Dir:"),
                         QStringLiteral("受注MDB Dir:")};
        while (l.size() < SettingDirRows)
            l << QStringLiteral("予備:");
        return l;
    }();
    return labels;
}

SettingScreenValues loadSettingScreen(const Session& session) {
    SettingScreenValues v;
    for (int i = 0; i < SettingDbRows; ++i) {
        v.server[i] = (session.*dbRows[i].settings).ServerName;
        v.db[i] = (session.*dbRows[i].settings).DbName;
    }
    for (int i = 0; i < SettingSavedDirRows; ++i)
        v.dir[i] = session.*dirRows[i].value;
    return v;
}

bool saveSettingScreen(const SettingScreenValues& typed, const QString& settingsPath, Session& session) {
    SettingScreenValues values = typed;
    for (QString& v : values.server)
        v = oneLine(v);
    for (QString& v : values.db)
        v = oneLine(v);
    for (QString& v : values.dir)
        v = oneLine(v);
    bool written = true;
    clsIniFile ini;
    ini.setFileName(settingsPath);
    for (int i = 0; i < SettingDbRows; ++i) {
        ini.setSection(QString::fromLatin1(dbRows[i].section));
        written &= ini.SetString(QStringLiteral("SERVER_NM"), values.server[i]);
        written &= ini.SetString(QStringLiteral("DB_NM"), values.db[i]);
    }
    for (int i = 0; i < SettingSavedDirRows; ++i) {
        ini.setSection(QString::fromLatin1(dirRows[i].section));
        written &= ini.SetString(QString::fromLatin1(dirRows[i].key), values.dir[i]);
    }
    for (int i = 0; i < SettingDbRows; ++i) {
        (session.*dbRows[i].settings).ServerName = values.server[i];
        (session.*dbRows[i].settings).DbName = values.db[i];
    }
    for (int i = 0; i < SettingSavedDirRows; ++i)
        session.*dirRows[i].value = values.dir[i];
    return written;
}

} // namespace kemnoa::core
