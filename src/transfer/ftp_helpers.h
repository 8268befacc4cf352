#pragma once
// The shared FTP session of a transfer job and the helpers that drive it with the FTP settings
// of the session. Each helper answers 0 for success and 1 for failure.

#include "platform/ftp/mc_win_ftp.h"

#include <QString>
#include <memory>

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

// Connects with HostMei, UserMei, PassMei, PaveMod and PortNum of the session's FtpSetting.
// A PortNum that is not a whole number or a PaveMod that is not a truth value throws core::Error
// (13, or 6 for a port out of range) for the calling job to report.
int MF_FtpConnect();
int MF_FtpDisconnect();
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
