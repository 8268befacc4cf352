#pragma once
// One FTP session, kept open between operations: connect, transfer files in both directions,
// rename, delete, make and remove directories, and walk a directory listing one entry at a time
// while other transfers go on. Built on libcurl: one easy handle, run through a multi handle of
// its own whose connection cache keeps the one control connection between requests.
//
// The current directory is kept here as a path relative to the login directory and applied to
// every request, so it survives a reconnect that libcurl makes on its own.

#include "platform/ftp/ftp_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

using CURL = void;
using CURLSH = void;
using CURLM = void;

namespace kemnoa::ftp {

// Error numbers told apart by the error report.
inline constexpr qint32 ErrNoMoreFiles = 18;        // end of a listing; never reported
inline constexpr qint32 ErrServerAnswer = 12003;    // the server refused; the report carries its reply code
inline constexpr qint32 ErrNameNotResolved = 12007; // the host name could not be resolved
inline constexpr qint32 ErrFileNotFound = 2;        // local file to upload is missing
inline constexpr qint32 ErrFileExists = 80;         // local file exists and the download must not replace it
inline constexpr qint32 ErrInvalidName = 123;       // a name the protocol cannot carry (control characters)
inline constexpr qint32 ErrWriteFault = 29;         // the downloaded file could not be written

inline constexpr qint32 DefaultPort = 58211;
inline constexpr qint32 TransferText = 1; // nTransfer value for text (ASCII) mode; others are binary

class McWinFTP {
public:
    McWinFTP();
    ~McWinFTP();
    McWinFTP(const McWinFTP&) = delete;
    McWinFTP& operator=(const McWinFTP&) = delete;

    // The entry last read by FindFile / NextFile.
    FTPFile RemoteFile;

    QString ClassName() const { return QStringLiteral("McWinFTP Class Module"); }
    QString Version() const { return QStringLiteral("0.9 b"); }
    quintptr hInternet() const { return reinterpret_cast<quintptr>(share_); }
    // Non-zero while a session is open.
    quintptr hFTP() const { return reinterpret_cast<quintptr>(curl_); }

    qint32 RemotePort() const { return port_; }
    void setRemotePort(qint32 nRemotePort) { port_ = nRemotePort; }
    // An empty text is stored as absent; reading an absent value gives empty text.
    QString RemoteHost() const { return host_.value_or(QString()); }
    void setRemoteHost(const QString& szRemoteHost) { host_ = absentIfEmpty(szRemoteHost); }
    QString User() const { return user_.value_or(QString()); }
    void setUser(const QString& szUser) { user_ = absentIfEmpty(szUser); }
    QString Password() const { return password_.value_or(QString()); }
    void setPassword(const QString& szPassword) { password_ = absentIfEmpty(szPassword); }
    bool PassiveFlag() const { return passive_; }
    void setPassiveFlag(bool bPassive) { passive_ = bPassive; }
    // Explicit FTP over TLS (AUTH TLS): the login, the commands and every data connection are
    // encrypted, and a server that does not offer TLS is refused rather than spoken to in clear. The
    // server's certificate and name are always verified, against the system's authorities or, when
    // given, against the certificates of a PEM file (for a server with its own authority).
    bool UseTls() const { return useTls_; }
    void setUseTls(bool on) { useTls_ = on; }
    QString TlsCaFile() const { return tlsCaFile_; }
    void setTlsCaFile(const QString& path) { tlsCaFile_ = path; }

    // The server's current directory (asked with PWD), or empty text on failure.
    QString CurDir();
    // Changes directory relative to the current one; one leading "/" or "\" is dropped first.
    // False, with the error reported, when the server refuses; the directory is then unchanged.
    bool setCurDir(const QString& szDir);

    // Connects and logs in; hFTP() stays 0 on failure.
    void OpenSession();
    // Ends a listing in progress and the session.
    void CloseSession();

    bool PutFile(const QString& szLocalFile, const QString& szRemoteFile, qint32 nTransfer);
    // Always fetched from the server. The file is written under a temporary name in the target
    // folder and renamed when complete, so a broken transfer never leaves a partial file.
    bool GetFile(const QString& szRemoteFile, const QString& szLocalFile, bool bFailExists, qint32 nTransfer);
    // By default GetFile waits until each file is on the disk. With deferred syncing it renames a
    // complete file into place at once, and SyncDownloads() makes every file received since then
    // durable in one sweep; a caller must not rely on a file (or delete its server copy) before that.
    void setDeferSync(bool defer) { deferSync_ = defer; }
    // False, with the error reported, when a received file could not be written to the disk.
    bool SyncDownloads();
    bool RenameFile(const QString& szExistFile, const QString& szNewFile);
    bool DeleteFile(const QString& szRemoteFile);
    bool CreateDir(const QString& szRemoteDir);
    bool RemoveDir(const QString& szRemoteDir);

    // Lists the current directory for the pattern ('*', '?') and reads the first entry.
    // The listing is read whole, so transfers may run while it is walked.
    void FindFile(const QString& szSearchString);
    void NextFile();

    // Raised for every failed operation except the end of a listing.
    std::function<void(qint32 ErrNumber, const QString& ErrString)> FTPFrr;

private:
    struct Request;
    static std::optional<QString> absentIfEmpty(const QString& s) {
        return s.isEmpty() ? std::nullopt : std::optional<QString>(s);
    }
    static QStringList applyPath(QStringList dir, const QString& path);

    QByteArray urlFor(const QStringList& dir, const QString& leaf) const;
    // Runs one request on the session handle; 0 (CURLE_OK) on success.
    int perform(const Request& req);
    // Sends commands from the current directory.
    bool command(const QList<QByteArray>& commands);
    int fetchListing(QByteArray& body, bool mlsd);
    void raiseError(int curlCode);
    void report(qint32 number, const QString& text);
    bool checkName(const QString& name);
    void endListing();

    static size_t onHeader(char* data, size_t size, size_t count, void* self);

    CURLSH* share_ = nullptr;
    CURL* curl_ = nullptr;
    CURLM* multi_ = nullptr; // owns the connection cache of the session
    qint32 port_ = DefaultPort;
    std::optional<QString> host_;
    std::optional<QString> user_;
    std::optional<QString> password_;
    bool passive_ = false;
    bool useTls_ = false;
    QString tlsCaFile_;
    QStringList dir_;          // current directory, relative to the login directory
    std::optional<bool> mlsd_; // whether the server lists with MLSD; asked once per session
    std::vector<FTPFile> listing_;
    bool deferSync_ = false;
    QStringList unsynced_; // files received with deferred syncing, not yet durable
    size_t listingPos_ = 0;

    // Replies of the request in progress: every line, and the last complete reply.
    QList<QByteArray> replyLines_;
    QByteArray lastReply_;
    QByteArray currentReply_;
    long lastCode_ = 0;
    char errorBuffer_[256] = {};
};

} // namespace kemnoa::ftp
