#include "core/ini_file.h"

#include "core/error.h"
#include "platform/text/cp932.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>
#include <vector>

namespace kemnoa::core {
namespace {

// One line of the file: its raw bytes and what it means.
struct Line {
    enum class Kind { Other, Section, Entry };
    QByteArray raw; // without the line end
    QByteArray eol; // "\r\n", "\n" or empty for the last line
    Kind kind = Kind::Other;
    QString name;         // section name, or key
    QString value;        // entry value, trimmed and unquoted
    int number = 0;       // 1 for the file's first line
    bool invalid = false; // holds bytes that are not code page 932 (shown as U+FFFD in name and value)
    QString place;        // for messages: the file, the section and the key
};

struct Document {
    bool exists = false;
    bool utf8 = false; // the file began with a UTF-8 byte order mark; it keeps it and its encoding
    std::vector<Line> lines;
};

QString stripQuotes(const QString& v) {
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A line with bytes that are not code page 932 is kept as it is; it fails only the reads that use it
// (see matches), so a bad byte in a comment or an unused section stops nothing.
Line parseLine(QByteArray raw, QByteArray eol, bool utf8, int number) {
    Line line;
    line.raw = std::move(raw);
    line.eol = std::move(eol);
    line.number = number;
    QString text;
    if (utf8) {
        text = QString::fromUtf8(line.raw);
    } else if (auto decoded = text::fromCp932Strict(line.raw)) {
        text = *decoded;
    } else {
        text = text::fromCp932(line.raw);
        line.invalid = true;
    }
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        line.kind = Line::Kind::Section;
        line.name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
        return line;
    }
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')))
        return line;
    line.kind = Line::Kind::Entry;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0) {
        line.name = t;
        return line;
    }
    line.name = t.left(eq).trimmed();
    line.value = stripQuotes(t.mid(eq + 1).trimmed());
    return line;
}

Document load(const QString& fileName) {
    Document doc;
    if (fileName.isEmpty())
        return doc;
    QFile f(fileName);
    if (!f.exists())
        return doc;
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("設定ファイルを読めません。") + fileName, errnum::PermissionDenied);
    QByteArray bytes = f.readAll();
    doc.exists = true;
    if (bytes.startsWith("\xEF\xBB\xBF")) { // written by an editor as UTF-8
        bytes.remove(0, 3);
        doc.utf8 = true;
    }
    const bool utf8 = doc.utf8;
    QString section;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', pos);
        QByteArray raw, eol;
        if (nl < 0) {
            raw = bytes.mid(pos);
            pos = bytes.size();
        } else {
            raw = bytes.mid(pos, nl - pos);
            eol = "\n";
            pos = nl + 1;
        }
        if (raw.endsWith('\r')) {
            raw.chop(1);
            eol.prepend('\r');
        }
        doc.lines.push_back(parseLine(std::move(raw), std::move(eol), utf8, int(doc.lines.size()) + 1));
        Line& line = doc.lines.back();
        if (line.kind == Line::Kind::Section)
            section = line.name;
        line.place = settingPlace(fileName, section, line.kind == Line::Kind::Entry ? line.name : QString());
    }
    return doc;
}

bool save(const QString& fileName, const Document& doc) {
    QFileInfo info(fileName);
    if (info.exists() && !info.isWritable())
        return false;
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    // The new file takes the old one's place: it keeps the old owner, group and mode. A new file
    // holds passwords, so only its owner may read it.
    struct stat old {};
    if (::stat(QFile::encodeName(fileName).constData(), &old) == 0) {
        if (::fchown(out.handle(), old.st_uid, old.st_gid) != 0) {
            // Another owner's file that this user may write: it becomes this user's, mode kept.
        }
        ::fchmod(out.handle(), old.st_mode & 07777);
    } else {
        ::fchmod(out.handle(), S_IRUSR | S_IWUSR);
    }
    if (doc.utf8)
        out.write("\xEF\xBB\xBF");
    for (const Line& l : doc.lines) {
        out.write(l.raw);
        out.write(l.eol);
    }
    return out.commit();
}

[[noreturn]] void throwInvalidLine(const Line& line) {
    throw Error(QStringLiteral("設定ファイルの%1行目に不正な文字があります。\r\n").arg(line.number) +
                    line.place,
                errnum::General);
}

// True when the section header or key of the line is the name looked for. A line with bad bytes
// whose name is that name apart from them is one the caller reads: it fails, naming the line.
bool matches(const Line& line, const QString& name) {
    if (!line.invalid)
        return sameName(line.name, name);
    QString readable = line.name;
    readable.remove(QChar(QChar::ReplacementCharacter));
    if (sameName(readable.trimmed(), name))
        throwInvalidLine(line);
    return false;
}

// Index range [begin, end) of the first section with that name: begin is the header line.
std::optional<std::pair<size_t, size_t>> findSection(const Document& doc, const QString& section) {
    for (size_t i = 0; i < doc.lines.size(); ++i) {
        if (doc.lines[i].kind != Line::Kind::Section || !matches(doc.lines[i], section))
            continue;
        size_t end = i + 1;
        while (end < doc.lines.size() && doc.lines[end].kind != Line::Kind::Section)
            ++end;
        return std::make_pair(i, end);
    }
    return std::nullopt;
}

const Line* findEntry(const Document& doc, const QString& section, const QString& key) {
    auto range = findSection(doc, section);
    if (!range)
        return nullptr;
    for (size_t i = range->first + 1; i < range->second; ++i)
        if (doc.lines[i].kind == Line::Kind::Entry && matches(doc.lines[i], key))
            return &doc.lines[i];
    return nullptr;
}

// Cuts text to what fits in the system's buffer: at most BufferSize - 1 bytes, double-byte characters whole.
QString cutToBuffer(const QString& value) {
    const QByteArray bytes = text::toCp932(value);
    if (bytes.size() < clsIniFile::BufferSize)
        return value;
    QString out;
    qsizetype used = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const qsizetype n = text::cp932Length(value.mid(i, 1));
        if (used + n > clsIniFile::BufferSize - 1)
            break;
        used += n;
        out += value.at(i);
    }
    return out;
}

// Joins entries the way the system fills a list buffer, cut at the buffer's end.
QString joinList(const QStringList& entries) {
    QString list;
    qsizetype used = 0;
    for (const QString& e : entries) {
        const qsizetype n = text::cp932Length(e) + 1;
        if (used + n + 1 > clsIniFile::BufferSize) {
            // The system cuts the last entry that does not fit and ends the list.
            const QString cut =
                cutToBuffer(e).left(std::max<qsizetype>(0, clsIniFile::BufferSize - 2 - used));
            if (!cut.isEmpty())
                list += cut + QChar(0);
            break;
        }
        list += e + QChar(0);
        used += n;
    }
    list += QChar(0);
    return list;
}

QByteArray encodeLine(const Document& doc, const QString& s) {
    return doc.utf8 ? s.toUtf8() : text::toCp932(s);
}

} // namespace

qint32 PF_Split(const QString& list, QStringList& out) {
    qint32 count = 0;
    QString rest = list;
    for (;;) {
        const qsizetype nul = rest.indexOf(QChar(0));
        if (nul <= 0)
            break;
        out.append(rest.left(nul));
        rest = rest.mid(nul + 1);
        ++count;
    }
    return count;
}

QString clsIniFile::GetString(const QString& strKey, const QString& strDefault) const {
    const Document doc = load(fileName_);
    const Line* entry = findEntry(doc, section_, strKey);
    const QString value = entry ? cutToBuffer(entry->value) : QString();
    return value.isEmpty() ? strDefault : value;
}

qint32 clsIniFile::GetInteger(const QString& strKey, qint16 lngDefault) const {
    const Document doc = load(fileName_);
    const Line* entry = findEntry(doc, section_, strKey);
    if (!entry || entry->value.isEmpty())
        return lngDefault;
    quint32 n = 0;
    for (QChar c : entry->value) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        n = n * 10 + static_cast<quint32>(c.unicode() - u'0'); // wraps as the system's 32-bit reader does
    }
    return static_cast<qint32>(n);
}

bool clsIniFile::SetString(const QString& strKey, const QString& strValue) {
    if (fileName_.isEmpty() || section_.isEmpty() || strKey.isEmpty())
        return false;
    try {
        return setString(strKey, strValue);
    } catch (const Error&) {
        return false;
    }
}

bool clsIniFile::setString(const QString& strKey, const QString& strValue) {
    Document doc = load(fileName_);
    // The line that ends the file gets a line end before anything is appended after it; a lone CR
    // at the very end is no line end to the reader, which splits lines at LF.
    auto terminateLast = [&doc] {
        if (!doc.lines.empty() && !doc.lines.back().eol.endsWith('\n'))
            doc.lines.back().eol = "\r\n";
    };
    Line entry;
    entry.kind = Line::Kind::Entry;
    entry.name = strKey;
    entry.value = strValue;
    entry.raw = encodeLine(doc, strKey + QLatin1Char('=') + strValue);
    entry.eol = "\r\n";
    auto range = findSection(doc, section_);
    if (!range) {
        terminateLast();
        Line header;
        header.kind = Line::Kind::Section;
        header.name = section_;
        header.raw = encodeLine(doc, QLatin1Char('[') + section_ + QLatin1Char(']'));
        header.eol = "\r\n";
        doc.lines.push_back(header);
        doc.lines.push_back(entry);
        return save(fileName_, doc);
    }
    size_t insertAt = range->second;
    for (size_t i = range->first + 1; i < range->second; ++i) {
        if (doc.lines[i].kind == Line::Kind::Entry && matches(doc.lines[i], strKey)) {
            entry.eol = doc.lines[i].eol.isEmpty() ? QByteArray() : doc.lines[i].eol;
            doc.lines[i] = entry;
            return save(fileName_, doc);
        }
    }
    // New key: after the section's last non-blank line, so blank separators stay between sections.
    while (insertAt > range->first + 1 && doc.lines[insertAt - 1].kind == Line::Kind::Other &&
           doc.lines[insertAt - 1].raw.trimmed().isEmpty())
        --insertAt;
    if (insertAt == doc.lines.size())
        terminateLast();
    else if (!doc.lines[insertAt - 1].eol.endsWith('\n'))
        doc.lines[insertAt - 1].eol = "\r\n";
    doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    return save(fileName_, doc);
}

void clsIniFile::DeleteKeyName(const QString& strKey) {
    try {
        Document doc = load(fileName_);
        auto range = findSection(doc, section_);
        if (!range)
            return;
        for (size_t i = range->first + 1; i < range->second; ++i) {
            if (doc.lines[i].kind == Line::Kind::Entry && matches(doc.lines[i], strKey)) {
                doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(i));
                save(fileName_, doc);
                return;
            }
        }
    } catch (const Error&) {
    }
}

void clsIniFile::DeleteSection(QString& strSection) {
    if (strSection.isEmpty())
        strSection = section_;
    try {
        Document doc = load(fileName_);
        auto range = findSection(doc, strSection);
        if (!range)
            return;
        doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(range->first),
                        doc.lines.begin() + static_cast<std::ptrdiff_t>(range->second));
        save(fileName_, doc);
    } catch (const Error&) {
    }
}

qint32 clsIniFile::EmnumSection(QStringList& strSection) const {
    const Document doc = load(fileName_);
    QStringList names;
    for (const Line& l : doc.lines) {
        if (l.kind != Line::Kind::Section)
            continue;
        if (l.invalid) // every name is read
            throwInvalidLine(l);
        names << l.name;
    }
    return PF_Split(joinList(names), strSection);
}

qint32 clsIniFile::EnumSectionString(QStringList& strSectionString) const {
    const Document doc = load(fileName_);
    QStringList entries;
    if (auto range = findSection(doc, section_)) {
        for (size_t i = range->first + 1; i < range->second; ++i) {
            const Line& l = doc.lines[i];
            if (l.kind != Line::Kind::Entry)
                continue;
            if (l.invalid) // every entry of the section is read
                throwInvalidLine(l);
            const bool hasValue = l.raw.contains('=');
            entries << (hasValue ? l.name + QLatin1Char('=') + l.value : l.name);
        }
    }
    return PF_Split(joinList(entries), strSectionString);
}

QString settingPlace(const QString& fileName, const QString& section, const QString& key) {
    QString place = fileName + QStringLiteral(" section [") + section + QLatin1Char(']');
    if (!key.isEmpty())
        place += QStringLiteral(", key ") + key;
    return place;
}

} // namespace kemnoa::core
