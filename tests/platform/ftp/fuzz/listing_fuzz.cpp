// Fuzz entry point of the FTP listing parser: any listing body a server sends is split into lines,
// each read as an MLSD and as a LIST line, and every entry that comes out must be sound: a name
// without NUL that is not "." or "..", and a name the receive accepts as safe never leads out of the
// receive folder. The pattern match is compared with a plain dynamic-programming match.
//
// The first line of the input is the search pattern; the rest is the listing.

#include "platform/ftp/listing_parser.h"
#include "platform/text/cp932.h"
#include "transfer/remote_name.h"

#include <QDir>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace kemnoa;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "listing fuzz: %s\n", what);
    std::abort();
}

// '*' any run, '?' one character, letters without regard to case.
bool referenceMatch(const QString& name, const QString& pattern) {
    const qsizetype n = name.size(), p = pattern.size();
    std::vector<char> prev(static_cast<size_t>(n + 1), 0), cur(static_cast<size_t>(n + 1), 0);
    prev[0] = 1;
    for (qsizetype j = 1; j <= p; ++j) {
        const QChar pc = pattern[j - 1];
        cur[0] = pc == QLatin1Char('*') && prev[0];
        for (qsizetype i = 1; i <= n; ++i) {
            if (pc == QLatin1Char('*'))
                cur[size_t(i)] = prev[size_t(i)] || cur[size_t(i - 1)];
            else
                cur[size_t(i)] = prev[size_t(i - 1)] &&
                                 (pc == QLatin1Char('?') || pc.toCaseFolded() == name[i - 1].toCaseFolded());
        }
        std::swap(prev, cur);
    }
    return prev[size_t(n)];
}

void checkEntry(const ftp::ListingEntry& e, const QString& pattern) {
    if (e.name.isEmpty())
        fail("empty name");
    if (e.name.contains('\0'))
        fail("NUL in a name");
    if (e.name == "." || e.name == "..")
        fail("dot entry listed");
    const QString name = text::fromCp932(e.name);
    if (name.size() <= 256 && pattern.size() <= 64 &&
        ftp::matchesPattern(name, pattern) != referenceMatch(name, pattern))
        fail("pattern match differs from the reference");
    if (transfer::isSafeRemoteName(name)) {
        static const QString folder = QStringLiteral("/recv");
        const QString target = QDir::cleanPath(folder + QLatin1Char('/') + name);
        if (!target.startsWith(folder + QLatin1Char('/')) ||
            target.mid(folder.size() + 1).contains(QLatin1Char('/')))
            fail("a safe name leaves the receive folder");
        for (const QChar c : name)
            if (c.unicode() < 0x20 || c == QLatin1Char('\\'))
                fail("a safe name holds a control character or a backslash");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype nl = input.indexOf('\n');
    const QString pattern = text::fromCp932(nl < 0 ? QByteArray("ORD*.mdb") : input.left(nl));
    const QByteArray body = nl < 0 ? input : input.mid(nl + 1);
    for (const QByteArray& line : ftp::listingLines(body)) {
        if (line.isEmpty())
            fail("empty line kept");
        if (const auto e = ftp::parseMlsdLine(line))
            checkEntry(*e, pattern);
        if (const auto e = ftp::parseListLine(line, 2026)) {
            checkEntry(*e, pattern);
            if (!e->date.isValid())
                fail("a LIST entry without a valid date");
        }
    }
    return 0;
}
