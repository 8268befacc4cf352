#include "transfer/ftp_log.h"

#include "core/program_folder.h"
#include "platform/text/cp932.h"
#include "platform/text/printable.h"

#include <QFile>
#include <array>

#include <fcntl.h>

namespace kemnoa::transfer {

QString ftpLogPath() {
    return core::programFolder() + QStringLiteral("ftplog.log");
}

QString ftpLogLine(const QDateTime& when, const QString& message) {
    // The weekday is Japanese whatever the locale, as on the workstations the log is read on.
    static const std::array<QString, 7> weekdays = {QStringLiteral("月曜日"), QStringLiteral("火曜日"),
                                                    QStringLiteral("水曜日"), QStringLiteral("木曜日"),
                                                    QStringLiteral("金曜日"), QStringLiteral("土曜日"),
                                                    QStringLiteral("日曜日")};
    const QString day = weekdays[static_cast<size_t>(when.date().dayOfWeek() - 1)];
    return when.toString(QStringLiteral("yyyy/MM/dd H:mm:ss")) + QLatin1Char(' ') + day + QLatin1Char('\t') +
           text::printable(message) + QStringLiteral("\r\n");
}

bool MP_FtpLog(const QString& message, core::Prompter* prompter) {
    // Opened without following a symbolic link: a link planted at the log's name in a shared
    // folder must not make the program append to a file of the link's choosing.
    QFile file;
    const int fd = ::open(QFile::encodeName(ftpLogPath()).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    bool ok =
        fd >= 0 && file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle);
    if (ok) {
        const QByteArray line = text::toCp932(ftpLogLine(QDateTime::currentDateTime(), message));
        ok = file.write(line) == line.size();
        file.close();
        ok = ok && file.error() == QFileDevice::NoError;
    }
    if (prompter)
        prompter->processEvents();
    return ok;
}

} // namespace kemnoa::transfer
