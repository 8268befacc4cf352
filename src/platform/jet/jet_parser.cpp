#include "platform/jet/jet_parser.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kemnoa::jet {

namespace {

// A request: the file to parse and the file to write what was decoded to, as local 8-bit names.
QByteArray request(const QString& path, const QString& decodedPath) {
    return QFile::encodeName(path) + '\0' + QFile::encodeName(decodedPath);
}

} // namespace

JetParser::JetParser(const JetReader::Options& options)
    : options_(options),
      worker_(
          [options](const QByteArray& r) {
              const qsizetype cut = r.indexOf('\0');
              if (cut < 0)
                  return false;
              const QString path = QFile::decodeName(r.left(cut));
              // The program created the file; the child only fills it and never follows a link.
              const int fd = ::open(r.constData() + cut + 1, O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
              if (fd < 0)
                  return false;
              const bool ok = JetReader::decodeInto(fd, {}, path, options);
              ::close(fd);
              return ok;
          },
          JetReader::childLimits(options)) {}

JetParser::~JetParser() = default;

std::optional<JetParser::Identity> JetParser::identityOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return Identity{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                    qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool JetParser::start(const QString& path) {
    Pending p;
    p.path = path;
    p.identity = identityOf(path);
    p.decoded = std::make_unique<QTemporaryFile>();
    if (!p.decoded->open())
        throw Error(QStringLiteral("解析結果の一時ファイルを作れません。%1").arg(p.decoded->errorString()),
                    errnum::WriteFailed);
    if (!worker_.send(request(path, p.decoded->fileName())))
        return false;
    pending_ = std::move(p);
    return true;
}

void JetParser::drop() {
    if (pending_ && worker_.busy())
        worker_.cancel(); // a new child costs less than waiting for a parse nobody wants
    pending_.reset();
}

JetReader JetParser::read(const QString& path) {
    JetReader::checkFile(path, options_);
    if (pending_ && !(pending_->path == path && pending_->identity && pending_->identity == identityOf(path)))
        drop();
    if (!pending_ && !start(path))
        return JetReader::fromDecoded(IsolatedOutcome::CouldNotStart, {}, path, options_);
    Pending done = std::move(*pending_);
    pending_.reset();
    const IsolatedOutcome outcome = worker_.wait();
    // The temporary file's name goes with `done`; the reader keeps its own handle open.
    return JetReader::fromDecoded(outcome, done.decoded->fileName(), path, options_);
}

void JetParser::prefetch(const QString& path) {
    drop();
    if (!identityOf(path))
        return;
    try {
        start(path);
    } catch (const Error&) {
        // Only a head start: read() reports what goes wrong.
    }
}

} // namespace kemnoa::jet
