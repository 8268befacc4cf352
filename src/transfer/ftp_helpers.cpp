#include "transfer/ftp_helpers.h"

#include "core/error.h"
#include "core/ini_file.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "transfer/remote_name.h"

#include <QFileInfo>
#include <QScopeGuard>

namespace kemnoa::transfer {

std::unique_ptr<ftp::McWinFTP> SharedFtp;

namespace {
constexpr qint32 Binary = 2;

core::Error typeMismatch() {
    return core::Error(QStringLiteral("型が一致しません。"), core::errnum::TypeMismatch);
}

// The value of the FTP section's key converted; a value that does not convert names the key.
template <typename Convert> auto setting(const QString& key, const QString& value, Convert convert) {
    try {
        return convert(value);
    } catch (const core::Error& e) {
        throw SettingError(e, core::settingPlace(core::settingsFile(), QStringLiteral("FTP"), key));
    }
}
} // namespace

qint32 portNumber(const QString& text) {
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw typeMismatch();
    if (v < 0 || v > 65535)
        throw core::Error(QStringLiteral("オーバーフローしました。"), 6);
    return static_cast<qint32>(v);
}

bool truthValue(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        throw typeMismatch();
    return v != 0;
}

int MF_FtpConnect() {
    if (!SharedFtp)
        return 1;
    const core::FtpSettings& s = core::session().FtpSetting;
    SharedFtp->setRemoteHost(s.HostMei);
    SharedFtp->setUser(s.UserMei);
    SharedFtp->setPassword(s.PassMei);
    SharedFtp->setPassiveFlag(setting(QStringLiteral("PaveMod"), s.PaveMod, truthValue));
    SharedFtp->setUseTls(!s.UseTls.trimmed().isEmpty() &&
                         setting(QStringLiteral("UseTls"), s.UseTls, truthValue));
    SharedFtp->setTlsCaFile(s.TlsCaFile.trimmed());
    SharedFtp->setRemotePort(setting(QStringLiteral("PortNum"), s.PortNum, portNumber));
    SharedFtp->OpenSession();
    return SharedFtp->hFTP() == 0 ? 1 : 0;
}

std::optional<ConnectFailure> connectForJob() {
    const QString failed = QStringLiteral("♯接続失敗");
    if (!SharedFtp)
        return ConnectFailure{{failed}, QString()};
    // The session's own reason for a failure, taken while connecting only.
    QString reason;
    SharedFtp->FTPFrr = [&](qint32, const QString& text) { reason = text; };
    const auto stopTaking = qScopeGuard([] { SharedFtp->FTPFrr = nullptr; });
    int connected = 1;
    try {
        connected = MF_FtpConnect();
    } catch (const SettingError& e) {
        return ConnectFailure{{failed}, e.message()};
    } catch (const core::Error& e) {
        return ConnectFailure{{failed}, e.text()};
    }
    if (connected == 0)
        return std::nullopt;
    ConnectFailure failure{{failed}, QString()};
    if (!reason.isEmpty())
        failure.lines << QStringLiteral("♯") + reason;
    return failure;
}

int MF_FtpDisconnect() {
    if (!SharedFtp)
        return 1;
    SharedFtp->CloseSession();
    return SharedFtp->hFTP() != 0 ? 1 : 0;
}

int MF_FtpPut(const QString& localPath, const QString& remoteName) {
    if (!SharedFtp || !QFileInfo(localPath).isFile())
        return 1;
    return SharedFtp->PutFile(localPath, remoteName, Binary) ? 0 : 1;
}

int MF_FtpRename(const QString& oldName, const QString& newName) {
    if (!SharedFtp)
        return 1;
    SharedFtp->FindFile(oldName);
    if (SharedFtp->RemoteFile.SearchEnd || SharedFtp->RemoteFile.FileName != oldName)
        return 1;
    return SharedFtp->RenameFile(oldName, newName) ? 0 : 1;
}

int MF_FtpGet(const QString& localFolder, const QString& remoteName) {
    if (!SharedFtp || localFolder.isEmpty() || !isSafeRemoteName(remoteName))
        return 1;
    // The folder is a plain prefix; a missing separator would put the file beside the folder.
    QString folder = localFolder;
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    return SharedFtp->GetFile(remoteName, folder + remoteName, false, Binary) ? 0 : 1;
}

int MF_FtpDelete(const QString& remoteName) {
    if (!SharedFtp || remoteName.isEmpty())
        return 1;
    return SharedFtp->DeleteFile(remoteName) ? 0 : 1;
}

} // namespace kemnoa::transfer
