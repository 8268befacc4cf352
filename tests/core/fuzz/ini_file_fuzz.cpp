// Fuzz entry point of the settings-file reader: any bytes as a settings file are either read or
// refused with core::Error, never a crash. When the file reads, writing one key into a section must
// read back exactly as written, leave the other sections' entries as they were, and add a section
// only when it was missing.

#include "core/error.h"
#include "core/ini_file.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using kemnoa::core::clsIniFile;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "settings fuzz: %s\n", what);
    std::abort();
}

const QString& scratchFile() {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/kemnoa-ini-fuzz-%1.ini").arg(static_cast<qint64>(getpid()));
    return path;
}

void writeFile(const QByteArray& bytes) {
    QFile f(scratchFile());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fail("cannot write the scratch file");
}

// The entries of every section whose name differs from `except` (names are looked up trimmed), by
// first occurrence. A section with a line that is no code page 932 cannot be listed; it is kept as
// such, since it must stay exactly that after writing into another section.
QList<QPair<QString, QStringList>> otherSections(clsIniFile& ini, const QStringList& sections,
                                                 const QString& except) {
    QList<QPair<QString, QStringList>> out;
    QSet<QString> seen;
    for (const QString& s : sections) {
        const QString folded = s.trimmed().toCaseFolded();
        if (s.trimmed().compare(except.trimmed(), Qt::CaseInsensitive) == 0 || seen.contains(folded))
            continue;
        seen.insert(folded);
        ini.setSection(s);
        QStringList entries;
        try {
            ini.EnumSectionString(entries);
        } catch (const kemnoa::core::Error&) {
            entries = QStringList{QStringLiteral("<not code page 932>")};
        }
        out.push_back({s, entries});
    }
    return out;
}

void writeAndReadBack(const QByteArray& input, const QString& section) {
    writeFile(input);
    clsIniFile ini;
    ini.setFileName(scratchFile());
    QStringList before;
    ini.EmnumSection(before);
    const bool existed = [&] {
        for (const QString& s : before)
            if (s.compare(section, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }();
    const auto others = otherSections(ini, before, section);

    const QString key = QStringLiteral("FUZZ_KEY");
    const QString value = QStringLiteral("値=ｶﾅ1");
    ini.setSection(section);
    if (!ini.SetString(key, value))
        fail("writing a key into a readable file failed");
    if (ini.GetString(key, QStringLiteral("<none>")) != value)
        fail("the written value does not read back");

    QStringList after;
    ini.EmnumSection(after);
    bool found = false;
    for (const QString& s : after)
        found = found || s.compare(section, Qt::CaseInsensitive) == 0;
    if (existed && !found)
        fail("the section went missing");
    if (otherSections(ini, after, section) != others)
        fail("another section's entries changed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 64 * 1024)
        return 0;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    writeFile(input);
    clsIniFile ini;
    ini.setFileName(scratchFile());
    QStringList sections;
    try {
        ini.EmnumSection(sections);
        ini.setSection(QStringLiteral("FTP"));
        (void)ini.GetString(QStringLiteral("HostMei"), QString());
        (void)ini.GetInteger(QStringLiteral("PortNum"), 21);
        for (const QString& s : sections.mid(0, 4)) {
            ini.setSection(s);
            QStringList entries;
            ini.EnumSectionString(entries);
            for (const QString& e : entries.mid(0, 4))
                (void)ini.GetString(e.section(QLatin1Char('='), 0, 0), QString());
        }
    } catch (const kemnoa::core::Error&) {
        return 0; // refused as a whole: nothing more to check
    }
    try {
        writeAndReadBack(input, QStringLiteral("FTP"));
        // A section of the file itself. Names are read trimmed, so one with blanks or control
        // characters at its ends (as a list cut at a NUL gives) is not asked for.
        if (!sections.isEmpty()) {
            const QString& first = sections.first();
            bool plain = first == first.trimmed();
            for (const QChar c : first)
                plain = plain && c.unicode() >= 0x20;
            if (plain)
                writeAndReadBack(input, first);
        }
    } catch (const kemnoa::core::Error& e) {
        std::fprintf(stderr, "settings fuzz: %s\n", qPrintable(e.text()));
        fail("a file that read before cannot be read after writing one key");
    }
    return 0;
}
