#include "platform/ftp/mc_win_ftp.h"

#include "platform/ftp/download_file.h"
#include "platform/ftp/listing_parser.h"
#include "platform/text/cp932.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <curl/curl.h>
#include <mutex>

namespace kemnoa::ftp {

using text::fromCp932;
using text::toCp932;

struct McWinFTP::Request {
    QByteArray url;
    bool nobody = false;
    bool text = false;
    QByteArray customRequest;    // e.g. "MLSD" in place of LIST
    QList<QByteArray> postQuote; // commands sent after changing to the URL's directory
    QFile* upload = nullptr;
    std::function<bool(const char*, size_t)> sink; // receives downloaded data; false aborts
};

namespace {

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t onWrite(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<std::function<bool(const char*, size_t)>*>(user);
    const size_t n = size * count;
    return (*sink)(data, n) ? n : 0;
}

size_t onRead(char* buffer, size_t size, size_t count, void* user) {
    auto* file = static_cast<QFile*>(user);
    const qint64 got = file->read(buffer, static_cast<qint64>(size * count));
    return got < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(got);
}

// A host text must not be able to change the meaning of the URL it is put into.
bool plainHost(const QString& host) {
    for (QChar c : host) {
        if (c.unicode() <= 0x20 || c.unicode() == 0x7f || QStringLiteral("/\\@?#%").contains(c))
            return false;
    }
    return true;
}

// Names under the reserved top-level domain "invalid" never resolve (RFC 6761); they are refused here
// at once instead of waiting for a name server that may not answer.
bool reservedInvalidName(const QString& host) {
    QString h = host.toLower();
    if (h.endsWith(QLatin1Char('.')))
        h.chop(1);
    return h == QLatin1String("invalid") || h.endsWith(QLatin1String(".invalid"));
}

bool hasControl(const QString& name) {
    for (QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

// libcurl's codes for a request the server answered with an error reply (as opposed to a broken
// connection, whose last reply may be an older, unrelated refusal).
bool refusedByServer(int code) {
    switch (code) {
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_FTP_WEIRD_PASS_REPLY:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_FTP_COULDNT_RETR_FILE:
    case CURLE_QUOTE_ERROR:
    case CURLE_UPLOAD_FAILED:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_COULDNT_USE_REST:
    case CURLE_LOGIN_DENIED:
    case CURLE_REMOTE_DISK_FULL:
    case CURLE_REMOTE_FILE_EXISTS:
    case CURLE_REMOTE_FILE_NOT_FOUND:
        return true;
    default:
        return false;
    }
}

} // namespace

McWinFTP::McWinFTP() {
    globalInit();
    share_ = curl_share_init();
    if (!share_)
        report(CURLE_FAILED_INIT, fromCp932(curl_easy_strerror(CURLE_FAILED_INIT)));
    else
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
}

McWinFTP::~McWinFTP() {
    CloseSession();
    if (share_)
        curl_share_cleanup(share_);
}

size_t McWinFTP::onHeader(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<McWinFTP*>(user);
    const size_t n = size * count;
    QByteArray line(data, static_cast<qsizetype>(n));
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    self->replyLines_.push_back(line);
    if (!self->currentReply_.isEmpty())
        self->currentReply_ += "\r\n";
    self->currentReply_ += line;
    // A reply ends with a line of three digits and a space (RFC 959 multi-line rule).
    if (line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
        std::isdigit(static_cast<unsigned char>(line[1])) &&
        std::isdigit(static_cast<unsigned char>(line[2])) && (line.size() == 3 || line[3] == ' ')) {
        self->lastReply_ = self->currentReply_;
        self->lastCode_ = line.left(3).toLong();
        self->currentReply_.clear();
    }
    return n;
}

QStringList McWinFTP::applyPath(QStringList dir, const QString& path) {
    for (const QString& part :
         QString(path).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..") && !dir.isEmpty() && dir.last() != QLatin1String(".."))
            dir.removeLast();
        else
            dir.push_back(part);
    }
    return dir;
}

QByteArray McWinFTP::urlFor(const QStringList& dir, const QString& leaf) const {
    QString host = RemoteHost();
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    QByteArray url = "ftp://" + host.toUtf8() + ':' + QByteArray::number(port_) + '/';
    auto escaped = [](const QString& part) {
        const QByteArray bytes = toCp932(part);
        char* e = curl_easy_escape(nullptr, bytes.constData(), static_cast<int>(bytes.size()));
        QByteArray out(e);
        curl_free(e);
        return out;
    };
    for (const QString& part : dir)
        url += escaped(part) + '/';
    if (!leaf.isEmpty())
        url += escaped(leaf);
    return url;
}

int McWinFTP::perform(const Request& req) {
    replyLines_.clear();
    lastReply_.clear();
    currentReply_.clear();
    lastCode_ = 0;
    errorBuffer_[0] = '\0';
    if (!curl_)
        return CURLE_FAILED_INIT;
    if (!plainHost(RemoteHost()))
        return CURLE_URL_MALFORMAT;
    if (reservedInvalidName(RemoteHost()))
        return CURLE_COULDNT_RESOLVE_HOST;

    CURL* c = curl_;
    curl_easy_reset(c); // keeps the open connection
    curl_easy_setopt(c, CURLOPT_SHARE, share_);
    curl_easy_setopt(c, CURLOPT_URL, req.url.constData());
    curl_easy_setopt(c, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &McWinFTP::onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, 60L);
    // A transfer that stalls for a minute is given up rather than hanging the screen.
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(c, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
    if (!passive_)
        curl_easy_setopt(c, CURLOPT_FTPPORT, "-");
    const QByteArray caFile = QFile::encodeName(tlsCaFile_);
    if (useTls_) {
        curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(c, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!caFile.isEmpty())
            curl_easy_setopt(c, CURLOPT_CAINFO, caFile.constData());
    }
    // The login names go to the server as code page 932 bytes; without a user libcurl logs in anonymously.
    const QByteArray user = toCp932(User());
    const QByteArray password = toCp932(Password());
    if (user_)
        curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
    if (password_)
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, req.text ? 1L : 0L);
    if (req.nobody)
        curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    if (!req.customRequest.isEmpty())
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, req.customRequest.constData());

    curl_slist* post = nullptr;
    for (const QByteArray& cmd : req.postQuote)
        post = curl_slist_append(post, cmd.constData());
    if (post)
        curl_easy_setopt(c, CURLOPT_POSTQUOTE, post);

    auto sink = req.sink;
    if (sink) {
        curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &onWrite);
        curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
    }
    if (req.upload) {
        curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(c, CURLOPT_READFUNCTION, &onRead);
        curl_easy_setopt(c, CURLOPT_READDATA, req.upload);
        curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(req.upload->size()));
    }
    // Driven through our own multi handle, which keeps the control connection between requests.
    // The poll is kept short: libcurl 7.88 does not always wake up when a passive data connection
    // is established and would otherwise sit out its full wait on every transfer.
    CURLcode rc = CURLE_OK;
    if (curl_multi_add_handle(multi_, c) != CURLM_OK) {
        rc = CURLE_FAILED_INIT;
    } else {
        int running = 1;
        while (running) {
            if (curl_multi_perform(multi_, &running) != CURLM_OK) {
                rc = CURLE_FAILED_INIT;
                break;
            }
            if (running)
                curl_multi_poll(multi_, nullptr, 0, 1, nullptr);
        }
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi_, &left))
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == c)
                rc = msg->data.result;
        curl_multi_remove_handle(multi_, c);
    }
    curl_easy_setopt(c, CURLOPT_POSTQUOTE, nullptr);
    curl_slist_free_all(post);
    return rc;
}

void McWinFTP::report(qint32 number, const QString& text) {
    if (FTPFrr)
        FTPFrr(number, text.isEmpty() ? QStringLiteral("エラーが発生しています。") : text);
}

void McWinFTP::raiseError(int curlCode) {
    if (curlCode == CURLE_COULDNT_RESOLVE_HOST) {
        report(ErrNameNotResolved, QStringLiteral("サーバー名を解決できませんでした。"));
    } else if (lastCode_ >= 400 && refusedByServer(curlCode)) {
        // The server answered with an error: its reply and reply code.
        report(static_cast<qint32>(lastCode_), fromCp932(lastReply_).trimmed());
    } else {
        QString text = fromCp932(errorBuffer_).trimmed();
        if (text.isEmpty())
            text = fromCp932(curl_easy_strerror(static_cast<CURLcode>(curlCode)));
        report(curlCode, text);
    }
}

bool McWinFTP::checkName(const QString& name) {
    // CR or LF would end the command early and let the rest be read as a second command.
    if (name.isEmpty() || hasControl(name)) {
        report(ErrInvalidName,
               QStringLiteral("ファイル名、ディレクトリ名、またはボリューム ラベルの構文が間違っています。"));
        return false;
    }
    return true;
}

void McWinFTP::OpenSession() {
    if (curl_)
        CloseSession();
    listing_.clear();
    dir_.clear();
    mlsd_.reset();
    curl_ = curl_easy_init();
    multi_ = curl_ ? curl_multi_init() : nullptr;
    if (!multi_ && curl_) {
        curl_easy_cleanup(curl_);
        curl_ = nullptr;
    }
    if (!curl_) {
        report(CURLE_FAILED_INIT, fromCp932(curl_easy_strerror(CURLE_FAILED_INIT)));
        return;
    }
    // Log in and ask which listing commands the server offers; a server without FEAT is fine.
    Request req;
    req.url = urlFor({}, {});
    req.nobody = true;
    req.postQuote = {"*FEAT"};
    const int rc = perform(req);
    if (rc != CURLE_OK) {
        raiseError(rc);
        CloseSession();
        return;
    }
    bool mlsd = false;
    for (const QByteArray& line : replyLines_) {
        const QByteArray feature = line.trimmed().toUpper();
        if (line.startsWith(' ') && (feature == "MLST" || feature.startsWith("MLST ") || feature == "MLSD"))
            mlsd = true;
    }
    mlsd_ = mlsd;
}

void McWinFTP::CloseSession() {
    endListing();
    if (curl_) {
        curl_easy_cleanup(curl_);
        curl_ = nullptr;
    }
    if (multi_) {
        curl_multi_cleanup(multi_); // sends QUIT and closes the control connection
        multi_ = nullptr;
    }
}

QString McWinFTP::CurDir() {
    Request req;
    req.url = urlFor(dir_, {});
    req.nobody = true;
    req.postQuote = {"PWD"};
    const int rc = perform(req);
    if (rc != CURLE_OK) {
        raiseError(rc);
        return {};
    }
    // 257 "<path>" with embedded quotes doubled.
    const QByteArray reply = lastReply_;
    const qsizetype open = reply.indexOf('"');
    if (!reply.startsWith("257") || open < 0)
        return {};
    QByteArray path;
    for (qsizetype i = open + 1; i < reply.size(); ++i) {
        if (reply[i] == '"') {
            if (i + 1 < reply.size() && reply[i + 1] == '"') {
                path += '"';
                ++i;
                continue;
            }
            break;
        }
        path += reply[i];
    }
    const qsizetype nul = path.indexOf('\0');
    return fromCp932(nul < 0 ? path.left(259) : path.left(std::min<qsizetype>(nul, 259)));
}

bool McWinFTP::setCurDir(const QString& szDir) {
    QString dir = szDir;
    if (dir.startsWith(QLatin1Char('/')) || dir.startsWith(QLatin1Char('\\')))
        dir.remove(0, 1);
    if (hasControl(dir))
        return checkName(dir);
    const QStringList target = applyPath(dir_, dir);
    Request req;
    req.url = urlFor(target, {});
    req.nobody = true;
    const int rc = perform(req);
    if (rc != CURLE_OK) {
        raiseError(rc);
        return false;
    }
    dir_ = target;
    return true;
}

bool McWinFTP::PutFile(const QString& szLocalFile, const QString& szRemoteFile, qint32 nTransfer) {
    if (!checkName(szRemoteFile))
        return false;
    QFile file(szLocalFile);
    if (!QFileInfo(szLocalFile).isFile() || !file.open(QIODevice::ReadOnly)) {
        report(ErrFileNotFound, QStringLiteral("指定されたファイルが見つかりません。"));
        return false;
    }
    Request req;
    const QStringList target = applyPath(dir_, szRemoteFile);
    req.url = urlFor(target.mid(0, target.size() - 1), target.value(target.size() - 1));
    req.text = nTransfer == TransferText;
    req.upload = &file;
    const int rc = perform(req);
    if (rc != CURLE_OK) {
        raiseError(rc);
        return false;
    }
    return true;
}

bool McWinFTP::GetFile(const QString& szRemoteFile, const QString& szLocalFile, bool bFailExists,
                       qint32 nTransfer) {
    if (!checkName(szRemoteFile))
        return false;
    if (bFailExists && QFileInfo::exists(szLocalFile)) {
        report(ErrFileExists, QStringLiteral("ファイルが存在します。"));
        return false;
    }
    DownloadFile out(szLocalFile);
    if (!out.open()) {
        report(ErrWriteFault, out.errorString());
        return false;
    }
    bool writeFailed = false;
    Request req;
    const QStringList target = applyPath(dir_, szRemoteFile);
    req.url = urlFor(target.mid(0, target.size() - 1), target.value(target.size() - 1));
    req.text = nTransfer == TransferText;
    req.sink = [&](const char* data, size_t n) {
        if (out.write(data, n))
            return true;
        writeFailed = true;
        return false;
    };
    const int rc = perform(req);
    if (rc != CURLE_OK) {
        if (writeFailed)
            report(ErrWriteFault, out.errorString());
        else
            raiseError(rc);
        out.cancel();
        return false;
    }
    if (bFailExists && QFileInfo::exists(szLocalFile)) {
        out.cancel();
        report(ErrFileExists, QStringLiteral("ファイルが存在します。"));
        return false;
    }
    if (!out.commit(!deferSync_)) {
        report(ErrWriteFault, out.errorString());
        return false;
    }
    if (deferSync_)
        unsynced_.push_back(szLocalFile);
    return true;
}

bool McWinFTP::SyncDownloads() {
    QString error;
    const bool ok = syncToDisk(unsynced_, &error);
    unsynced_.clear();
    if (!ok)
        report(ErrWriteFault, error);
    return ok;
}

bool McWinFTP::command(const QList<QByteArray>& commands) {
    // Sent from the current directory with the names as given, so the server resolves any
    // directory part in them the way it resolves every other relative name.
    Request req;
    req.url = urlFor(dir_, {});
    req.nobody = true;
    req.postQuote = commands;
    const int rc = perform(req);
    if (rc != CURLE_OK) {
        raiseError(rc);
        return false;
    }
    return true;
}

bool McWinFTP::RenameFile(const QString& szExistFile, const QString& szNewFile) {
    if (!checkName(szExistFile) || !checkName(szNewFile))
        return false;
    return command({"RNFR " + toCp932(szExistFile), "RNTO " + toCp932(szNewFile)});
}

bool McWinFTP::DeleteFile(const QString& szRemoteFile) {
    return checkName(szRemoteFile) && command({"DELE " + toCp932(szRemoteFile)});
}

bool McWinFTP::CreateDir(const QString& szRemoteDir) {
    return checkName(szRemoteDir) && command({"MKD " + toCp932(szRemoteDir)});
}

bool McWinFTP::RemoveDir(const QString& szRemoteDir) {
    return checkName(szRemoteDir) && command({"RMD " + toCp932(szRemoteDir)});
}

int McWinFTP::fetchListing(QByteArray& body, bool mlsd) {
    body.clear();
    Request req;
    req.url = urlFor(dir_, {});
    req.text = true; // listings are text (TYPE A), as RFC 959 wants
    if (mlsd)
        req.customRequest = "MLSD";
    req.sink = [&](const char* data, size_t n) {
        body.append(data, static_cast<qsizetype>(n));
        return body.size() < 64 * 1024 * 1024; // a listing larger than this is not a listing
    };
    return perform(req);
}

void McWinFTP::endListing() {
    listing_.clear();
    listingPos_ = 0;
}

void McWinFTP::FindFile(const QString& szSearchString) {
    endListing();
    RemoteFile = FTPFile{};
    RemoteFile.SearchEnd = false;
    if (!curl_) {
        report(CURLE_FAILED_INIT, QStringLiteral("FTP セッションが開かれていません。"));
        RemoteFile.SearchEnd = true;
        return;
    }
    bool mlsd = mlsd_.value_or(false);
    QByteArray body;
    int rc = fetchListing(body, mlsd);
    if (rc != CURLE_OK && mlsd && lastCode_ >= 500 && lastCode_ <= 504) {
        // Offered but not understood after all: LIST from now on.
        mlsd_ = mlsd = false;
        rc = fetchListing(body, mlsd);
    }
    if (rc != CURLE_OK) {
        raiseError(rc);
        RemoteFile.SearchEnd = true;
        return;
    }
    const int year = QDate::currentDate().year();
    for (const QByteArray& line : listingLines(body)) {
        const auto entry = mlsd ? parseMlsdLine(line) : parseListLine(line, year);
        if (!entry)
            continue;
        FTPFile f;
        f.FileName = fromCp932(entry->name);
        if (!matchesPattern(f.FileName, szSearchString))
            continue;
        f.FileSize = static_cast<double>(entry->size);
        f.FileDate = entry->date;
        f.FileType = entry->isDirectory ? FileAttributeDirectory : 0;
        f.SearchEnd = false;
        listing_.push_back(f);
    }
    NextFile();
}

void McWinFTP::NextFile() {
    if (RemoteFile.SearchEnd)
        return;
    if (listingPos_ >= listing_.size()) {
        // End of the listing (error ErrNoMoreFiles): no report.
        RemoteFile.SearchEnd = true;
        return;
    }
    RemoteFile = listing_[listingPos_++];
}

} // namespace kemnoa::ftp
