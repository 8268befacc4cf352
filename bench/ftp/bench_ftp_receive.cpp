// Receiving order files from a loopback FTP server: McWinFTP and the receive command against curl.

#include "core/program_folder.h"
#include "core/session.h"
#include "platform/ftp/download_file.h"
#include "platform/ftp/mc_win_ftp.h"
#include "receiving/ftp_receive.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kemnoa;

namespace {

class YesPrompter : public core::SilentPrompter {
public:
    bool question(const QString&, const QString&, bool, core::MsgIcon) override { return true; }
};

QString orderName(int i) {
    return QStringLiteral("ORD%1.mdb").arg(i, 3, 10, QLatin1Char('0'));
}

void seed(const QString& root, int files, const QByteArray& data) {
    for (int i = 1; i <= files; ++i) {
        QFile f(QDir(root).filePath(orderName(i)));
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
            std::exit(1);
        }
    }
}

void emptyFolder(const QString& path) {
    QDir dir(path);
    for (const QString& n : dir.entryList(QDir::Files))
        dir.remove(n);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    const int megabytes = argc > 2 ? std::max(1, atoi(argv[2])) : 1;
    const int rounds = argc > 3 ? std::max(1, atoi(argv[3])) : 5;
    const bool curlPassiveToo = argc > 4 ? atoi(argv[4]) != 0 : true; // 0 skips the slow curl passive run

    QTemporaryDir root, work;
    QDir(root.path()).mkdir(QStringLiteral("BK"));
    QDir(work.path()).mkdir(QStringLiteral("recv"));
    const QString recv = work.filePath(QStringLiteral("recv")) + QLatin1Char('/');
    QByteArray data(megabytes * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((i * 2654435761u) >> 13);
    seed(root.path(), files, data);

    QProcess server;
    server.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(KEMNOA_FTP_TEST_SERVER_SCRIPT), QStringLiteral("--root"), root.path()});
    if (!server.waitForStarted() || !server.waitForReadyRead(20000)) {
        std::fprintf(stderr, "the FTP server did not start\n");
        return 1;
    }
    const int port = server.readLine().trimmed().toInt();
    const QString base = QStringLiteral("ftp://127.0.0.1:%1/").arg(port);

    // curl: all files in one process over one control connection.
    std::vector<double> curlSweep;
    auto curlRun = [&](bool passive) {
        emptyFolder(recv);
        QStringList args{QStringLiteral("-s"), QStringLiteral("-S"), QStringLiteral("-u"),
                         QStringLiteral("kem:pw")};
        if (!passive)
            args << QStringLiteral("--ftp-port") << QStringLiteral("-");
        for (int i = 1; i <= files; ++i)
            args << base + orderName(i) << QStringLiteral("-o") << recv + orderName(i);
        QElapsedTimer t;
        t.start();
        QProcess curl;
        curl.start(QStringLiteral("curl"), args);
        curl.waitForFinished(-1);
        const double secs = t.nsecsElapsed() / 1e9;
        if (curl.exitCode() != 0) {
            std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
            std::exit(1);
        }
        if (!passive) { // what it takes to make curl's files as durable as the receive makes its own
            QStringList paths;
            for (int i = 1; i <= files; ++i)
                paths << recv + orderName(i);
            QElapsedTimer s;
            s.start();
            ftp::syncToDisk(paths, nullptr);
            curlSweep.push_back(s.nsecsElapsed() / 1e9);
        }
        return secs;
    };
    // McWinFTP: the download pass of the receive (listing, GetFile of each, one durability sweep) on
    // one session.
    std::vector<double> sweepActive, downloadsActive;
    auto getRun = [&](bool passive) {
        emptyFolder(recv);
        QElapsedTimer t;
        t.start();
        ftp::McWinFTP ftp;
        ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
        ftp.setRemotePort(port);
        ftp.setUser(QStringLiteral("kem"));
        ftp.setPassword(QStringLiteral("pw"));
        ftp.setPassiveFlag(passive);
        ftp.OpenSession();
        // As the receive runs it: every file renamed into place when complete, all made durable at once.
        ftp.setDeferSync(true);
        int got = 0;
        for (ftp.FindFile(QStringLiteral("ORD*.mdb")); !ftp.RemoteFile.SearchEnd; ftp.NextFile())
            got += ftp.GetFile(ftp.RemoteFile.FileName, recv + ftp.RemoteFile.FileName, false, 2) ? 1 : 0;
        const qint64 beforeSweep = t.nsecsElapsed();
        if (!ftp.SyncDownloads())
            got = 0;
        if (!passive) {
            downloadsActive.push_back(beforeSweep / 1e9);
            sweepActive.push_back((t.nsecsElapsed() - beforeSweep) / 1e9);
        }
        ftp.CloseSession();
        if (got != files) {
            std::fprintf(stderr, "McWinFTP received %d of %d files\n", got, files);
            std::exit(1);
        }
        return t.nsecsElapsed() / 1e9;
    };
    // The whole receive command (passive); the server is seeded again afterwards.
    auto receiveRun = [&] {
        emptyFolder(recv);
        core::setProgramFolder(work.path());
        core::resetSession();
        core::Session& s = core::session();
        s.LocalFolder = recv;
        s.FtpSetting = {QStringLiteral("127.0.0.1"), QStringLiteral("kem"), QStringLiteral("pw"),
                        QString::number(port), QStringLiteral("True")};
        YesPrompter prompter;
        QElapsedTimer t;
        t.start();
        const auto result = receiving::runFtpReceive(prompter);
        const double secs = t.nsecsElapsed() / 1e9;
        if (result.status != receiving::ReceiveResult::Status::Completed || result.received != files) {
            std::fprintf(stderr, "the receive did not complete\n");
            std::exit(1);
        }
        emptyFolder(QDir(root.path()).filePath(QStringLiteral("BK")));
        seed(root.path(), files, data);
        return secs;
    };

    std::vector<double> curlActive, curlPassive, getActive, getPassive, receiveTimes;
    for (int r = 0; r < rounds; ++r) {
        curlActive.push_back(curlRun(false));
        if (r == 0 && curlPassiveToo) // the curl 7.88 tool waits a second for each passive data connection
            curlPassive.push_back(curlRun(true));
        getActive.push_back(getRun(false));
        getPassive.push_back(getRun(true));
        receiveTimes.push_back(receiveRun());
    }
    server.closeWriteChannel();
    server.waitForFinished(3000);

    const double mb = double(files) * megabytes;
    auto line = [&](const char* what, const std::vector<double>& v) {
        std::printf("%-34s %8.3f s %8.1f MB/s\n", what, median(v), mb / median(v));
    };
    std::printf("%d files of %d MB from pyftpdlib on 127.0.0.1, median of %d rounds\n", files, megabytes,
                rounds);
    line("curl, one connection, active", curlActive);
    std::printf("  then one sync of its files         %8.3f s\n", median(curlSweep));
    if (!curlPassive.empty())
        line("curl, one connection, passive (1st)", curlPassive);
    line("McWinFTP download pass, active", getActive);
    std::printf("  of which the downloads             %8.3f s\n", median(downloadsActive));
    std::printf("  and the durability sweep after them %7.3f s\n", median(sweepActive));
    line("McWinFTP download pass, passive", getPassive);
    line("receive command (get, backup, del)", receiveTimes);
    std::printf("ratio McWinFTP / curl, active        %6.2f\n", median(getActive) / median(curlActive));
    std::printf("ratio downloads before the sweep / curl %3.2f\n", median(downloadsActive) / median(curlActive));
    std::printf("ratio McWinFTP / (curl + its sync)   %6.2f\n",
                median(getActive) / (median(curlActive) + median(curlSweep)));
    if (!curlPassive.empty())
        std::printf("ratio McWinFTP / curl, passive       %6.2f\n", median(getPassive) / median(curlPassive));
    return 0;
}
