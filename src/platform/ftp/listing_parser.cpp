#include "platform/ftp/listing_parser.h"

#include <QList>
#include <array>

namespace kemnoa::ftp {
namespace {

QByteArray cutAtNul(const QByteArray& name) {
    const qsizetype nul = name.indexOf('\0');
    return nul < 0 ? name : name.left(nul);
}

// A whole number made of digits only; nothing for empty text, signs or overflow.
std::optional<quint64> digits(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 20)
        return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9')
            return std::nullopt;
    bool ok = false;
    const quint64 v = text.toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<int> smallNumber(const QByteArray& text) {
    const auto v = digits(text);
    if (!v || *v > 100000)
        return std::nullopt;
    return static_cast<int>(*v);
}

QDateTime makeDate(int y, int mo, int d, int h, int mi, int s) {
    const QDate date(y, mo, d);
    const QTime time(h, mi, s);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

// MLSD "modify" fact: YYYYMMDDHHMMSS with optional fraction.
QDateTime mlsdTime(const QByteArray& value) {
    const QByteArray v = value.left(14);
    if (v.size() != 14 || !digits(v))
        return {};
    auto part = [&](int from, int len) { return v.mid(from, len).toInt(); };
    return makeDate(part(0, 4), part(4, 2), part(6, 2), part(8, 2), part(10, 2), part(12, 2));
}

struct Token {
    QByteArray text;
    qsizetype end = 0; // index just past the token in the line
};

std::vector<Token> tokens(const QByteArray& line, int maxTokens) {
    std::vector<Token> out;
    qsizetype i = 0;
    while (i < line.size() && static_cast<int>(out.size()) < maxTokens) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size())
            break;
        const qsizetype start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        out.push_back({line.mid(start, i - start), i});
    }
    return out;
}

int monthNumber(const QByteArray& text) {
    static const std::array<const char*, 12> names = {"jan", "feb", "mar", "apr", "may", "jun",
                                                      "jul", "aug", "sep", "oct", "nov", "dec"};
    const QByteArray lower = text.toLower();
    for (int i = 0; i < 12; ++i)
        if (lower == names[static_cast<size_t>(i)])
            return i + 1;
    return 0;
}

bool isDotEntry(const QByteArray& name) {
    return name == "." || name == "..";
}

// "-rw-r--r--   1 owner group  5368709120 Jan  5 12:34 name" or "... Jan  5  2023 name".
// The owner or group column may be missing, so the date is found as month, day, time-or-year
// after a size column.
std::optional<ListingEntry> parseUnix(const QByteArray& line, int currentYear) {
    if (line.size() < 10 || QByteArrayLiteral("-dlcbps").indexOf(line[0]) < 0)
        return std::nullopt;
    const auto tok = tokens(line, 9);
    for (size_t m = 3; m + 2 < tok.size(); ++m) {
        const int month = monthNumber(tok[m].text);
        if (month == 0)
            continue;
        const auto size = digits(tok[m - 1].text);
        const auto day = smallNumber(tok[m + 1].text);
        if (!size || !day)
            continue;
        const QByteArray& ty = tok[m + 2].text;
        int year = currentYear, hour = 0, minute = 0;
        if (const qsizetype colon = ty.indexOf(':'); colon > 0) {
            const auto h = smallNumber(ty.left(colon));
            const auto mi = smallNumber(ty.mid(colon + 1));
            if (!h || !mi)
                continue;
            hour = *h;
            minute = *mi;
        } else if (const auto y = smallNumber(ty)) {
            year = *y;
        } else {
            continue;
        }
        // The name starts after the single space that follows the time or year column.
        const qsizetype nameStart = tok[m + 2].end + 1;
        if (nameStart >= line.size())
            return std::nullopt;
        QByteArray name = line.mid(nameStart);
        if (line[0] == 'l') {
            if (const qsizetype arrow = name.indexOf(" -> "); arrow > 0)
                name = name.left(arrow);
        }
        name = cutAtNul(name);
        if (name.isEmpty() || isDotEntry(name))
            return std::nullopt;
        const QDateTime date = makeDate(year, month, *day, hour, minute, 0);
        if (!date.isValid())
            return std::nullopt;
        return ListingEntry{name, *size, date, line[0] == 'd'};
    }
    return std::nullopt;
}

// "12-10-26  12:34AM       <DIR>          BK" or "12-10-2026  01:05PM   5368709120 ORD1.mdb".
std::optional<ListingEntry> parseDos(const QByteArray& line) {
    const auto tok = tokens(line, 3);
    if (tok.size() < 3)
        return std::nullopt;
    const QList<QByteArray> d = tok[0].text.split('-');
    if (d.size() != 3)
        return std::nullopt;
    const auto mo = smallNumber(d[0]), day = smallNumber(d[1]), yy = smallNumber(d[2]);
    if (!mo || !day || !yy || (d[2].size() != 2 && d[2].size() != 4))
        return std::nullopt;
    int year = *yy;
    if (d[2].size() == 2)
        year += year < 70 ? 2000 : 1900;

    QByteArray t = tok[1].text.toUpper();
    int hourAdjust = -1; // -1: 24-hour clock
    if (t.endsWith("AM") || t.endsWith("PM")) {
        hourAdjust = t.endsWith("PM") ? 12 : 0;
        t.chop(2);
    }
    const qsizetype colon = t.indexOf(':');
    if (colon <= 0)
        return std::nullopt;
    auto hour = smallNumber(t.left(colon));
    const auto minute = smallNumber(t.mid(colon + 1));
    if (!hour || !minute)
        return std::nullopt;
    if (hourAdjust >= 0) {
        if (*hour < 1 || *hour > 12)
            return std::nullopt;
        hour = *hour % 12 + hourAdjust;
    }

    // Third column: <DIR> or the size; the name follows after the run of blanks.
    const QByteArray& kind = tok[2].text;
    qsizetype nameStart = tok[2].end;
    while (nameStart < line.size() && (line[nameStart] == ' ' || line[nameStart] == '\t'))
        ++nameStart;
    if (nameStart >= line.size())
        return std::nullopt;
    const QByteArray name = cutAtNul(line.mid(nameStart));
    if (name.isEmpty() || isDotEntry(name))
        return std::nullopt;
    const QDateTime date = makeDate(year, *mo, *day, *hour, *minute, 0);
    if (!date.isValid())
        return std::nullopt;
    if (kind.toUpper() == "<DIR>")
        return ListingEntry{name, 0, date, true};
    const auto size = digits(kind);
    if (!size)
        return std::nullopt;
    return ListingEntry{name, *size, date, false};
}

} // namespace

std::optional<ListingEntry> parseMlsdLine(const QByteArray& line) {
    // Facts end at the first "; " (a space after the last semicolon); the rest is the name.
    const qsizetype sep = line.indexOf(' ');
    if (sep < 0)
        return std::nullopt;
    const QByteArray facts = line.left(sep);
    const QByteArray name = cutAtNul(line.mid(sep + 1));
    if (name.isEmpty())
        return std::nullopt;
    ListingEntry entry;
    entry.name = name;
    bool haveType = false;
    for (const QByteArray& fact : facts.split(';')) {
        const qsizetype eq = fact.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = fact.left(eq).toLower();
        const QByteArray value = fact.mid(eq + 1);
        if (key == "type") {
            const QByteArray type = value.toLower();
            if (type == "cdir" || type == "pdir")
                return std::nullopt;
            entry.isDirectory = type == "dir";
            haveType = true;
        } else if (key == "size" || key == "sizd") {
            if (const auto v = digits(value))
                entry.size = *v;
        } else if (key == "modify") {
            entry.date = mlsdTime(value);
        }
    }
    if (!haveType || isDotEntry(name))
        return std::nullopt;
    return entry;
}

std::optional<ListingEntry> parseListLine(const QByteArray& line, int currentYear) {
    if (line.startsWith("total "))
        return std::nullopt;
    if (auto unix = parseUnix(line, currentYear))
        return unix;
    return parseDos(line);
}

QList<QByteArray> listingLines(const QByteArray& body) {
    QList<QByteArray> out;
    for (QByteArray line : body.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            out.push_back(line);
    }
    return out;
}

bool matchesPattern(const QString& name, const QString& pattern) {
    // Iterative match with one backtrack point for the last '*'.
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace kemnoa::ftp
