#include "archive_tools.h"

#include "platform/text/cp932.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace kemnoa::test::lzh {

ToolResult runTool(const QString& program, const QStringList& args, const QString& workDir) {
    QProcess p;
    // The tools name extracted files after the locale (jlha cannot write Japanese names under "C").
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
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

ToolCheck checkWithLhaTools(const QString& archive, const std::vector<ExpectedMember>& members,
                            const QString& workDir) {
    QStringList problems;
    QStringList missing;
    QDir().mkpath(workDir);
    const QString lhasa = QStandardPaths::findExecutable(QStringLiteral("lhasa"));
    if (lhasa.isEmpty())
        missing << QStringLiteral("lhasa");
    if (!lhasa.isEmpty()) {
        const ToolResult l = runTool(lhasa, {QStringLiteral("l"), archive}, workDir);
        const QRegularExpression total(QStringLiteral("Total\\s+%1 files?\\b").arg(members.size()));
        if (l.exitCode != 0 || !l.output.contains(total))
            problems << QStringLiteral("lhasa l: ") + l.output;
        const ToolResult t = runTool(lhasa, {QStringLiteral("t"), archive}, workDir);
        if (t.exitCode != 0 || t.output.contains(QLatin1String("error"), Qt::CaseInsensitive))
            problems << QStringLiteral("lhasa t: ") + t.output;
        const QString out = QDir(workDir).filePath(QStringLiteral("lhasa-x"));
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        const ToolResult x = runTool(lhasa, {QStringLiteral("xf"), archive}, out);
        if (x.exitCode != 0)
            problems << QStringLiteral("lhasa x: ") + x.output;
        // lhasa names the files with the stored code page 932 bytes.
        size_t found = 0;
        for (const auto& e : std::filesystem::directory_iterator(out.toStdString())) {
            (void)e;
            ++found;
        }
        if (found != members.size())
            problems << QStringLiteral("lhasa x: %1 files for %2 members").arg(found).arg(members.size());
        for (const ExpectedMember& m : members) {
            // Like other LHA tools, lhasa turns an MS-DOS name without small letters into lower case.
            const QString onDisk = m.name == m.name.toUpper() ? m.name.toLower() : m.name;
            const std::string raw = out.toStdString() + "/" + text::toCp932(onDisk).toStdString();
            if (!std::filesystem::exists(raw) || readFileRaw(raw) != m.data)
                problems << QStringLiteral("lhasa x: %1 differs").arg(m.name);
        }
    }
    const QString jlha = QStandardPaths::findExecutable(QStringLiteral("jlha"));
    if (jlha.isEmpty())
        missing << QStringLiteral("jlha");
    if (!jlha.isEmpty()) {
        const QString out = QDir(workDir).filePath(QStringLiteral("jlha-x"));
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        // y: member names are Shift_JIS.
        const ToolResult x = runTool(jlha, {QStringLiteral("xyf"), archive}, out);
        if (x.exitCode != 0)
            problems << QStringLiteral("jlha x: ") + x.output;
        if (QDir(out).entryList(QDir::Files).size() != static_cast<qsizetype>(members.size()))
            problems << QStringLiteral("jlha x: unexpected files ") +
                            QDir(out).entryList(QDir::Files).join(QLatin1Char(' '));
        for (const ExpectedMember& m : members) {
            QFile f(QDir(out).filePath(m.name));
            if (!f.open(QIODevice::ReadOnly) || f.readAll() != m.data)
                problems << QStringLiteral("jlha x: %1 differs").arg(m.name);
        }
    }
    return {problems.join(QLatin1Char('\n')).toStdString(), missing};
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
