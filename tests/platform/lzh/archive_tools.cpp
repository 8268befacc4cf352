#include "archive_tools.h"

#include <QFile>
#include <QProcess>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace kemnoa::test::lzh {

ToolResult runTool(const QString& program, const QStringList& args, const QString& workDir) {
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    ToolResult r;
    if (!p.waitForStarted() || !p.waitForFinished(-1))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.output = QString::fromLocal8Bit(p.readAll());
    return r;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray readFileRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    const std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return QByteArray::fromStdString(s);
}

QByteArray randomBytes(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    QByteArray b(static_cast<qsizetype>(size), Qt::Uninitialized);
    for (auto& c : b)
        c = static_cast<char>(rng() & 0xFF);
    return b;
}

QByteArray documentLike(size_t size, uint32_t seed) {
    static const char* words[] = {
        "<ORD_NO>", "</ORD_NO>", "label ",   "cotton ",           "100% ", "TAG-", "CAR-", "\n",
        "  ",       "stream\n",  "endobj\n", "<< /Type /Page >>", "size ", "M ",   "L "};
    std::mt19937 rng(seed);
    QByteArray b;
    b.reserve(static_cast<qsizetype>(size));
    while (static_cast<size_t>(b.size()) < size) {
        const uint32_t r = rng();
        if (r % 7 == 0)
            b += QByteArray::number(r % 100000);
        else if (r % 23 == 0)
            b += static_cast<char>(rng() & 0xFF);
        else
            b += words[r % std::size(words)];
    }
    b.truncate(static_cast<qsizetype>(size));
    return b;
}

} // namespace kemnoa::test::lzh
