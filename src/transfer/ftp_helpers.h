#pragma once
// The shared FTP session of a transfer job and the helpers that drive it with the FTP settings
// of the session. Each helper answers 0 for success and 1 for failure.

#include "core/error.h"
#include "platform/ftp/mc_win_ftp.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace kemnoa::transfer {

// The one FTP session object: created by a transfer job at the start of its run, released
// (which ends the session) on every way out of it.
extern std::unique_ptr<ftp::McWinFTP> SharedFtp;

// Releases SharedFtp when it goes out of scope.
class SharedFtpScope {
public:
    SharedFtpScope() { SharedFtp = std::make_unique<ftp::McWinFTP>(); }
    ~SharedFtpScope() { SharedFtp.reset(); }
    SharedFtpScope(const SharedFtpScope&) = delete;
    SharedFtpScope& operator=(const SharedFtpScope&) = delete;
};

// A setting of the FTP section that does not convert: the conversion's error, and where the setting
// lives (core::settingPlace: the settings file, the section and the key).
class SettingError : public core::Error {
public:
    SettingError(const core::Error& e, QString place) : core::Error(e), place_(std::move(place)) {}
    const QString& place() const { return place_; }
    // For a message box: the error's own text, then the place on a line of its own.
    QString message() const { return text() + QStringLiteral("\r\n") + place_; }

private:
    QString place_;
};

// Connects with HostMei, UserMei, PassMei, PaveMod and PortNum of the session's FtpSetting.
// A PortNum that is not a whole number or a PaveMod or UseTls that is not a truth value throws
// SettingError (13, or 6 for a port out of range) for the calling job to report.
int MF_FtpConnect();
int MF_FtpDisconnect();

// Why a transfer job could not connect.
struct ConnectFailure {
    // For the job's list and the FTP log: "♯接続失敗", then the FTP session's own reason (libcurl's
    // text) as a "♯" line of its own when it gave one.
    QStringList lines;
    // For a message box when a setting did not convert (the connection was not tried): the error's
    // text, then where the setting lives on a line of its own; else empty.
    QString message;
};

// Connects with MF_FtpConnect for a job; nullopt when connected.
std::optional<ConnectFailure> connectForJob();
// Uploads a local file under the remote name, binary; 1 without contacting the server when the
// local file does not exist.
int MF_FtpPut(const QString& localPath, const QString& remoteName);
// Renames on the server; 1 without renaming when a listing does not show the old name exactly.
int MF_FtpRename(const QString& oldName, const QString& newName);
// Downloads the remote name into the local folder, binary, replacing a file of that name.
// 1 for an empty folder text and for a name that could leave the folder (isSafeRemoteName).
int MF_FtpGet(const QString& localFolder, const QString& remoteName);
int MF_FtpDelete(const QString& remoteName);

// The conversions of the settings texts (exposed for the tests).
qint32 portNumber(const QString& text);
bool truthValue(const QString& text);

} // namespace kemnoa::transfer
