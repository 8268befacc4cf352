#include "platform/jet/jet_writer.h"

#include "platform/jet/jet_error.h"
#include "platform/jet/jet_text.h"

#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace kemnoa::jet {

namespace {

constexpr int kPageSize = 4096;
constexpr int kDataHeader = 14;      // data page: type, flag, free space, owner, unknown, row count
constexpr int kMaxRowsPerPage = 255; // a row pointer keeps the row number in one byte
constexpr int kMaxRowSize = 4060;    // the largest record Jet 4 stores on a page
constexpr int kMemoHeader = 12;
constexpr int kMaxInlineLong = 1024; // longer memo values go to long-value (LVAL) pages
constexpr int kLvalChunk = kPageSize - kDataHeader - 2 - 4; // data per page of a chained value
constexpr int kTdefHeader = 63;
constexpr int kColumnEntry = 25;
constexpr int kMapRowSize = 69; // usage map row: type byte + 68 bytes
constexpr int kInlineMapPages = 64 * 8;
constexpr int kPagesPerMapPage = (kPageSize - 4) * 8;
constexpr quint32 kMagicTableNumber = 1625; // constant Jet writes in every table definition
constexpr quint16 kGeneralSortOrder = 1033;
constexpr quint16 kCodePage = 1252;
constexpr qint32 kContainerTables = 0x0F000001, kContainerDatabases = 0x0F000002,
                 kContainerRelationships = 0x0F000003, kContainerRoot = 0x0F000000;
constexpr qint32 kSystemFlag = qint32(0x80000000);

void put16(QByteArray& b, int at, quint32 v) {
    b[at] = char(v & 0xff);
    b[at + 1] = char((v >> 8) & 0xff);
}
void put32(QByteArray& b, int at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}
void append16(QByteArray& b, quint32 v) {
    b.append(char(v & 0xff));
    b.append(char((v >> 8) & 0xff));
}
void append32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}
void put64(QByteArray& b, int at, quint64 v) {
    for (int i = 0; i < 8; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}
quint64 doubleBits(double d) {
    quint64 bits;
    std::memcpy(&bits, &d, 8);
    return bits;
}

void rc4(const unsigned char* key, int keyLen, unsigned char* data, int len) {
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLen]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < len; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xff];
    }
}

[[noreturn]] void fail(const QString& text, long number) {
    throw core::Error(text, number);
}

int fixedSize(ColumnType t) {
    switch (t) {
    case ColumnType::Byte:
        return 1;
    case ColumnType::Integer:
        return 2;
    case ColumnType::Long:
        return 4;
    case ColumnType::Single:
        return 4;
    case ColumnType::Double:
    case ColumnType::Currency:
    case ColumnType::DateTime:
        return 8;
    default:
        return 0;
    }
}
bool isFixed(ColumnType t) {
    return fixedSize(t) > 0;
}
bool isLong(ColumnType t) {
    return t == ColumnType::Memo || t == ColumnType::Ole;
}

bool validName(const QString& n) {
    if (n.isEmpty() || n.size() > 64 || n.startsWith(QLatin1Char(' ')))
        return false;
    for (QChar c : n)
        if (c.unicode() < 0x20 || c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('`') ||
            c == QLatin1Char('[') || c == QLatin1Char(']'))
            return false;
    return true;
}

// A data page (rows stored from the end backwards, offsets after the header).
struct DataPage {
    int number = 0;
    QByteArray bytes;
    int rows = 0;
    int freeEnd = kPageSize; // where the last row starts

    int freeSpace() const { return freeEnd - (kDataHeader + 2 * rows); }
    bool fits(int size) const { return rows < kMaxRowsPerPage && freeSpace() >= size + 2; }
    int add(const QByteArray& row) {
        freeEnd -= int(row.size());
        std::memcpy(bytes.data() + freeEnd, row.constData(), std::size_t(row.size()));
        put16(bytes, kDataHeader + 2 * rows, quint32(freeEnd));
        ++rows;
        put16(bytes, 12, quint32(rows));
        put16(bytes, 2, quint32(freeSpace()));
        return rows - 1;
    }
};

struct ColumnLayout {
    ColumnDef def;
    int number = 0;      // position in the table
    int fixedOffset = 0; // within the fixed area, for fixed columns
    int varIndex = 0;    // within the variable-length offsets, for variable columns
    int length = 0;      // col_len in the definition
};

} // namespace

struct JetWriter::Impl {
    QString path;
    QDateTime created;
    double createdJet = 0;
    std::vector<QByteArray> pages;
    bool closed = false;

    struct Table {
        QString name;
        bool system = false;
        std::vector<ColumnLayout> columns;
        int fixedAreaSize = 0;
        int varCount = 0;
        std::vector<int> tdefPages;
        int tdefLength = 0;
        qint64 rowCount = 0;
        std::vector<int> dataPages;
        DataPage current; // page being filled (number 0: none yet)
        // Long-value pages of each Memo/OLE column, by column number.
        std::vector<std::pair<int, std::vector<int>>> lvalPages;
        DataPage lval;
    };
    std::vector<Table> tables;

    int newPage() {
        pages.emplace_back(kPageSize, '\0');
        return int(pages.size()) - 1;
    }
    DataPage newDataPage(const char owner[4]) {
        DataPage p;
        p.number = newPage();
        p.bytes = QByteArray(kPageSize, '\0');
        p.bytes[0] = 0x01;
        p.bytes[1] = 0x01;
        std::memcpy(p.bytes.data() + 4, owner, 4);
        put16(p.bytes, 2, quint32(p.freeSpace()));
        return p;
    }
    void flush(DataPage& p) {
        if (p.number)
            pages[std::size_t(p.number)] = p.bytes;
    }

    Table& table(const QString& name);
    void defineTable(const QString& name, const std::vector<ColumnDef>& columns, bool system, int tdefPage);
    void catalogRow(qint32 id, qint32 parent, const QString& name, int type, qint32 flags);
    void insertRow(Table& t, const Row& values);
    QByteArray encodeRow(Table& t, const Row& values);
    QByteArray storeLongValue(Table& t, int column, const QByteArray& data);
    QByteArray usageMapRow(std::vector<int> pagesInMap);
    void finish();
};

JetWriter::Impl::Table& JetWriter::Impl::table(const QString& name) {
    for (Table& t : tables)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    fail(QStringLiteral("入力テーブル '%1' が見つかりませんでした。").arg(name), errnum::TableNotFound);
}

void JetWriter::Impl::defineTable(const QString& name, const std::vector<ColumnDef>& defs, bool system,
                                  int tdefPage) {
    if (!validName(name))
        fail(QStringLiteral("テーブル名 '%1' は使えません。").arg(name), errnum::InvalidArgument);
    for (const Table& t : tables)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            fail(QStringLiteral("テーブル '%1' は既にあります。").arg(name), 3010);
    if (defs.empty() || defs.size() > 255)
        fail(QStringLiteral("テーブル '%1' の列の数 (%2) が正しくありません。").arg(name).arg(defs.size()),
             errnum::InvalidArgument);
    Table t;
    t.name = name;
    t.system = system;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const ColumnDef& d = defs[i];
        if (!validName(d.name))
            fail(QStringLiteral("列名 '%1' は使えません。").arg(d.name), errnum::InvalidArgument);
        for (std::size_t j = 0; j < i; ++j)
            if (defs[j].name.compare(d.name, Qt::CaseInsensitive) == 0)
                fail(QStringLiteral("列名 '%1' が重複しています。").arg(d.name), 3191);
        ColumnLayout c;
        c.def = d;
        c.number = int(i);
        switch (d.type) {
        case ColumnType::Text:
            if (d.textLength < 1 || d.textLength > 255)
                fail(QStringLiteral("列 '%1' の長さ %2 は 1 から 255 にしてください。")
                         .arg(d.name)
                         .arg(d.textLength),
                     errnum::InvalidArgument);
            c.length = d.textLength * 2;
            break;
        case ColumnType::Binary:
            c.length = 255;
            break;
        case ColumnType::Memo:
        case ColumnType::Ole:
            c.length = 0;
            break;
        default:
            if (!isFixed(d.type))
                fail(QStringLiteral("列 '%1' の型 %2 は書き込めません。").arg(d.name, columnTypeName(d.type)),
                     errnum::InvalidArgument);
            c.length = fixedSize(d.type);
        }
        if (isFixed(d.type)) {
            c.fixedOffset = t.fixedAreaSize;
            t.fixedAreaSize += c.length;
        } else {
            c.varIndex = t.varCount++;
        }
        if (isLong(d.type))
            t.lvalPages.emplace_back(c.number, std::vector<int>());
        t.columns.push_back(c);
    }
    if (t.fixedAreaSize > kMaxRowSize / 2)
        fail(QStringLiteral("テーブル '%1' の固定長の列が大きすぎます。").arg(name), 3047);
    // Size of the definition: header, columns, names, the long-value column maps and their end mark.
    int length = kTdefHeader + int(defs.size()) * kColumnEntry;
    for (const ColumnDef& d : defs)
        length += 2 + int(d.name.size()) * 2;
    length += int(t.lvalPages.size()) * 10 + 2;
    t.tdefLength = length;
    // The first page holds kPageSize bytes, each further page kPageSize - 8 after its header.
    const int pagesNeeded =
        length <= kPageSize ? 1 : 1 + (length - kPageSize + (kPageSize - 8) - 1) / (kPageSize - 8);
    t.tdefPages.push_back(tdefPage ? tdefPage : newPage());
    for (int i = 1; i < pagesNeeded; ++i)
        t.tdefPages.push_back(newPage());
    tables.push_back(std::move(t));
}

void JetWriter::Impl::catalogRow(qint32 id, qint32 parent, const QString& name, int type, qint32 flags) {
    Table& cat = tables.front(); // MSysObjects
    Row row(cat.columns.size());
    auto set = [&](const char* column, Value v) {
        for (const ColumnLayout& c : cat.columns)
            if (c.def.name == QLatin1String(column))
                row[std::size_t(c.number)] = std::move(v);
    };
    set("Id", Value::integer(id));
    set("ParentId", Value::integer(parent));
    set("Name", Value::text(name));
    set("Type", Value::integer(type));
    set("DateCreate", Value::dateTime(createdJet));
    set("DateUpdate", Value::dateTime(createdJet));
    set("Flags", Value::integer(flags));
    insertRow(cat, row);
}

QByteArray JetWriter::Impl::storeLongValue(Table& t, int column, const QByteArray& data) {
    std::vector<int>* owned = nullptr;
    for (auto& [c, list] : t.lvalPages)
        if (c == column)
            owned = &list;
    auto place = [&](const QByteArray& row) -> quint32 {
        if (!t.lval.number || !t.lval.fits(int(row.size()))) {
            flush(t.lval);
            t.lval = newDataPage("LVAL");
        }
        if (owned->empty() || owned->back() != t.lval.number)
            owned->push_back(t.lval.number);
        const int r = t.lval.add(row);
        return quint32(t.lval.number) << 8 | quint32(r);
    };
    QByteArray header(kMemoHeader, '\0');
    if (data.size() <= kPageSize - kDataHeader - 2) { // one row of one page
        put32(header, 0, quint32(data.size()) | 0x40000000u);
        put32(header, 4, place(data));
        return header;
    }
    // A chain: each piece begins with the pointer to the next piece. Pieces are placed last to
    // first so that each one knows where its successor went.
    std::vector<QByteArray> pieces;
    for (qsizetype at = 0; at < data.size(); at += kLvalChunk)
        pieces.push_back(data.mid(at, kLvalChunk));
    quint32 next = 0;
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
        QByteArray row;
        append32(row, next);
        row.append(*it);
        flush(t.lval);
        t.lval = newDataPage("LVAL"); // each piece fills most of a page
        next = place(row);
    }
    put32(header, 0, quint32(data.size()));
    put32(header, 4, next);
    return header;
}

QByteArray JetWriter::Impl::encodeRow(Table& t, const Row& values) {
    const int n = int(t.columns.size());
    QByteArray fixed(t.fixedAreaSize, '\0');
    std::vector<QByteArray> var(std::size_t(t.varCount));
    std::vector<bool> present(std::size_t(n), false);
    std::vector<std::pair<int, QByteArray>> longValues; // column, data (inline for now)

    for (const ColumnLayout& c : t.columns) {
        const Value& v = values[std::size_t(c.number)];
        if (v.isNull())
            continue;
        const QString& cname = c.def.name;
        auto mismatch = [&]() {
            fail(QStringLiteral("列 '%1' に型の合わない値を入れようとしました。").arg(cname),
                 errnum::TypeMismatch);
        };
        auto integerIn = [&](qint64 lo, qint64 hi) -> qint64 {
            double d;
            if (v.kind() == Value::Kind::Text) {
                bool ok = false;
                d = v.asText().trimmed().toDouble(&ok);
                if (!ok)
                    mismatch();
            } else if (v.isNumber()) {
                d = v.asDouble();
            } else {
                mismatch();
            }
            const double r = std::nearbyint(d);
            if (!(r >= double(lo) && r <= double(hi)))
                fail(QStringLiteral("列 '%1' の値 %2 は範囲外です。").arg(cname, v.toText()), 3349);
            return qint64(r);
        };
        auto number = [&]() -> double {
            if (v.isNumber())
                return v.asDouble();
            bool ok = false;
            const double d = v.asText().trimmed().toDouble(&ok);
            if (v.kind() != Value::Kind::Text || !ok)
                mismatch();
            return d;
        };
        present[std::size_t(c.number)] = true;
        switch (c.def.type) {
        case ColumnType::Byte:
            fixed[c.fixedOffset] = char(integerIn(0, 255));
            break;
        case ColumnType::Integer:
            put16(fixed, c.fixedOffset, quint32(integerIn(-32768, 32767)));
            break;
        case ColumnType::Long:
            put32(fixed, c.fixedOffset,
                  quint32(integerIn(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max())));
            break;
        case ColumnType::Single: {
            const float f = float(number());
            quint32 bits;
            std::memcpy(&bits, &f, 4);
            put32(fixed, c.fixedOffset, bits);
            break;
        }
        case ColumnType::Double:
            put64(fixed, c.fixedOffset, doubleBits(number()));
            break;
        case ColumnType::DateTime:
            put64(fixed, c.fixedOffset, doubleBits(number()));
            break;
        case ColumnType::Currency: {
            qint64 scaled;
            if (v.kind() == Value::Kind::Currency) {
                scaled = v.asInt64();
            } else {
                const double d = number() * 10000.0;
                if (!(std::fabs(d) < 9.2e18))
                    fail(QStringLiteral("列 '%1' の値 %2 は範囲外です。").arg(cname, v.toText()), 3349);
                scaled = qint64(std::llround(d));
            }
            put64(fixed, c.fixedOffset, quint64(scaled));
            break;
        }
        case ColumnType::Text: {
            const QString s = v.kind() == Value::Kind::Text ? v.asText() : v.toText();
            if (s.size() > c.def.textLength)
                fail(QStringLiteral("列 '%1' に入れる値が長すぎます (%2 文字、最大 %3 文字)。")
                         .arg(cname)
                         .arg(s.size())
                         .arg(c.def.textLength),
                     3163);
            var[std::size_t(c.varIndex)] = encodeUcs2(s);
            break;
        }
        case ColumnType::Binary: {
            if (v.kind() != Value::Kind::Binary)
                mismatch();
            if (v.asBytes().size() > c.length)
                fail(QStringLiteral("列 '%1' に入れる値が長すぎます。").arg(cname), 3163);
            var[std::size_t(c.varIndex)] = v.asBytes();
            break;
        }
        case ColumnType::Memo:
            longValues.emplace_back(c.number,
                                    encodeUcs2(v.kind() == Value::Kind::Text ? v.asText() : v.toText()));
            break;
        case ColumnType::Ole:
            if (v.kind() != Value::Kind::Binary)
                mismatch();
            longValues.emplace_back(c.number, v.asBytes());
            break;
        default:
            mismatch();
        }
    }

    const int maskSize = (n + 7) / 8;
    auto assemble = [&](const std::vector<std::pair<int, QByteArray>>& longs) {
        for (const auto& [col, field] : longs)
            var[std::size_t(t.columns[std::size_t(col)].varIndex)] = field;
        QByteArray row;
        append16(row, quint32(n));
        row.append(fixed);
        std::vector<int> offsets;
        for (const QByteArray& v : var) {
            offsets.push_back(int(row.size()));
            row.append(v);
        }
        if (t.varCount > 0) {
            append16(row, quint32(row.size())); // end of the variable data
            for (auto it = offsets.rbegin(); it != offsets.rend(); ++it)
                append16(row, quint32(*it));
            append16(row, quint32(t.varCount));
        } else {
            while (row.size() + maskSize < 9) // the shortest record Jet keeps
                row.append('\0');
        }
        QByteArray mask(maskSize, '\0');
        for (int i = 0; i < n; ++i)
            if (present[std::size_t(i)])
                mask[i / 8] = char(mask[i / 8] | (1 << (i % 8)));
        row.append(mask);
        return row;
    };

    // Long values stay in the row while the row fits; the longest move out first.
    std::vector<std::pair<int, QByteArray>> fields;
    for (const auto& [col, data] : longValues) {
        QByteArray f(kMemoHeader, '\0');
        put32(f, 0, quint32(data.size()) | 0x80000000u);
        f.append(data);
        fields.emplace_back(col, f);
    }
    std::vector<std::size_t> order(longValues.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return longValues[a].second.size() > longValues[b].second.size();
    });
    for (std::size_t k = 0; k <= order.size(); ++k) {
        QByteArray row = assemble(fields);
        bool inlineTooLong = false;
        for (const auto& [col, f] : fields)
            if (f.size() > kMemoHeader + kMaxInlineLong && (f[3] & 0x80))
                inlineTooLong = true;
        if (row.size() <= kMaxRowSize && !inlineTooLong)
            return row;
        if (k == order.size())
            break;
        const std::size_t i = order[k];
        fields[i].second = storeLongValue(t, longValues[i].first, longValues[i].second);
    }
    fail(QStringLiteral("テーブル '%1' のレコードが大きすぎます。").arg(t.name), 3047);
}

void JetWriter::Impl::insertRow(Table& t, const Row& values) {
    if (closed)
        fail(QStringLiteral("データベースは既に閉じられています。"), 3420);
    if (values.size() != t.columns.size())
        fail(QStringLiteral("テーブル '%1' の列の数 (%2) と値の数 (%3) が合いません。")
                 .arg(t.name)
                 .arg(t.columns.size())
                 .arg(values.size()),
             3346);
    const QByteArray row = encodeRow(t, values);
    if (!t.current.number || !t.current.fits(int(row.size()))) {
        flush(t.current);
        char owner[4];
        const quint32 tdef = quint32(t.tdefPages.front());
        for (int i = 0; i < 4; ++i)
            owner[i] = char((tdef >> (8 * i)) & 0xff);
        t.current = newDataPage(owner);
        t.dataPages.push_back(t.current.number);
    }
    t.current.add(row);
    ++t.rowCount;
}

QByteArray JetWriter::Impl::usageMapRow(std::vector<int> list) {
    std::sort(list.begin(), list.end());
    QByteArray row(kMapRowSize, '\0');
    const int start = list.empty() ? 0 : list.front();
    if (list.empty() || list.back() - start < kInlineMapPages) {
        row[0] = 0x00; // the bitmap is in the row, from its start page on
        put32(row, 1, quint32(start));
        for (int p : list)
            row[5 + (p - start) / 8] = char(row[5 + (p - start) / 8] | (1 << ((p - start) % 8)));
        return row;
    }
    row[0] = 0x01; // pointers to bitmap pages, each covering a fixed range of pages
    std::vector<int> mapPages;
    for (int p : list) {
        const int slot = p / kPagesPerMapPage;
        if (slot >= (kMapRowSize - 1) / 4)
            fail(QStringLiteral("データベースが大きすぎます。"), 3026);
        quint32 mp = quint32(row[1 + slot * 4] & 0xff) | quint32(row[2 + slot * 4] & 0xff) << 8 |
                     quint32(row[3 + slot * 4] & 0xff) << 16 | quint32(row[4 + slot * 4] & 0xff) << 24;
        if (!mp) {
            mp = quint32(newPage());
            QByteArray& page = pages[mp];
            page[0] = 0x05;
            page[1] = 0x01;
            put32(row, 1 + slot * 4, mp);
        }
        QByteArray& page = pages[mp];
        const int bit = p - slot * kPagesPerMapPage;
        page[4 + bit / 8] = char(page[4 + bit / 8] | (1 << (bit % 8)));
    }
    return row;
}

void JetWriter::Impl::finish() {
    for (Table& t : tables) {
        flush(t.current);
        flush(t.lval);
    }
    // Usage maps live as rows on map pages: page 1 first (row 0 is the global map), then more.
    std::vector<DataPage> mapPages;
    mapPages.push_back(newDataPage("\0\0\0\0"));
    pages.pop_back();
    mapPages.back().number = 1;
    auto placeMap = [&](const QByteArray& row) -> quint32 {
        if (!mapPages.back().fits(int(row.size()))) {
            mapPages.push_back(newDataPage("\0\0\0\0"));
        }
        const int r = mapPages.back().add(row);
        return quint32(mapPages.back().number) << 8 | quint32(r);
    };
    placeMap(QByteArray(kMapRowSize, '\0')); // the global map, filled in below

    for (Table& t : tables) {
        std::vector<int> withSpace;
        if (t.current.number && t.current.rows < kMaxRowsPerPage && t.current.freeSpace() > 64)
            withSpace.push_back(t.current.number);
        const quint32 owned = placeMap(usageMapRow(t.dataPages));
        const quint32 free = placeMap(usageMapRow(withSpace));
        std::vector<std::pair<int, std::pair<quint32, quint32>>> longMaps;
        for (auto& [col, list] : t.lvalPages) {
            std::vector<int> lvalFree;
            if (t.lval.number && !list.empty() && list.back() == t.lval.number && t.lval.freeSpace() > 64)
                lvalFree.push_back(t.lval.number);
            longMaps.push_back({col, {placeMap(usageMapRow(list)), placeMap(usageMapRow(lvalFree))}});
        }

        // The definition as one stream, then cut into its pages.
        QByteArray def(kTdefHeader, '\0');
        def[0] = 0x02;
        def[1] = 0x01;
        put32(def, 8, quint32(t.tdefLength));
        put32(def, 12, kMagicTableNumber);
        put32(def, 16, quint32(t.rowCount));
        def[24] = 0x01;
        def[40] = char(t.system ? 0x53 : 0x4e);
        put16(def, 41, quint32(t.columns.size()));
        put16(def, 43, quint32(t.varCount));
        put16(def, 45, quint32(t.columns.size()));
        put32(def, 47, 0); // logical indexes
        put32(def, 51, 0); // index entries
        put32(def, 55, owned);
        put32(def, 59, free);
        for (const ColumnLayout& c : t.columns) {
            QByteArray e(kColumnEntry, '\0');
            e[0] = char(c.def.type);
            put32(e, 1, kMagicTableNumber);
            put16(e, 5, quint32(c.number));
            put16(e, 7, quint32(isFixed(c.def.type) ? 0 : c.varIndex));
            put16(e, 9, quint32(c.number));
            if (c.def.type == ColumnType::Text || c.def.type == ColumnType::Memo)
                put16(e, 11, kGeneralSortOrder);
            e[15] = char(0x02 | (isFixed(c.def.type) ? 0x01 : 0x00));
            put16(e, 21, quint32(isFixed(c.def.type) ? c.fixedOffset : 0));
            put16(e, 23, quint32(c.length));
            def.append(e);
        }
        for (const ColumnLayout& c : t.columns) {
            append16(def, quint32(c.def.name.size() * 2));
            def.append(encodeUcs2(c.def.name));
        }
        for (const auto& [col, maps] : longMaps) {
            append16(def, quint32(col));
            append32(def, maps.first);
            append32(def, maps.second);
        }
        append16(def, 0xffff);
        Q_ASSERT(def.size() == t.tdefLength);
        // A reader that finds a value ending exactly at a page end steps to the next page, so a
        // definition ending there gets one more byte of padding.
        if (def.size() > kPageSize && (def.size() - kPageSize) % (kPageSize - 8) == 0)
            def.append('\0');
        if (def.size() == kPageSize)
            def.append('\0');
        const int pagesNeeded =
            def.size() <= kPageSize
                ? 1
                : 1 + int((def.size() - kPageSize + (kPageSize - 8) - 1) / (kPageSize - 8));
        while (int(t.tdefPages.size()) < pagesNeeded)
            t.tdefPages.push_back(newPage());
        qsizetype at = 0;
        for (std::size_t i = 0; i < t.tdefPages.size(); ++i) {
            QByteArray& page = pages[std::size_t(t.tdefPages[i])];
            page.fill('\0');
            if (i == 0) {
                const qsizetype n = std::min<qsizetype>(def.size(), kPageSize);
                std::memcpy(page.data(), def.constData(), std::size_t(n));
                at = n;
                put16(page, 2, quint32(std::max<qsizetype>(0, kPageSize - n - 8)));
            } else {
                page[0] = 0x02;
                page[1] = 0x01;
                const qsizetype n = std::min<qsizetype>(def.size() - at, kPageSize - 8);
                std::memcpy(page.data() + 8, def.constData() + at, std::size_t(n));
                at += n;
                put16(page, 2, quint32(std::max<qsizetype>(0, kPageSize - 8 - n)));
            }
            if (i + 1 < t.tdefPages.size())
                put32(page, 4, quint32(t.tdefPages[i + 1]));
        }
    }

    // The global map spans every page of the file; a set bit would mark a free page, and a file
    // written in one pass has none.
    QByteArray global(kMapRowSize, '\0');
    const int total = int(pages.size());
    if (total > kInlineMapPages) {
        global[0] = 0x01;
        const int slots = (total + (kMapRowSize - 1) / 4 + kPagesPerMapPage - 1) / kPagesPerMapPage;
        for (int slot = 0; slot < slots; ++slot) {
            const int mp = newPage();
            pages[std::size_t(mp)][0] = 0x05;
            pages[std::size_t(mp)][1] = 0x01;
            put32(global, 1 + slot * 4, quint32(mp));
        }
    }
    std::memcpy(mapPages.front().bytes.data() + kPageSize - kMapRowSize, global.constData(),
                kMapRowSize); // row 0 sits at the end of page 1
    for (DataPage& p : mapPages)
        pages[std::size_t(p.number)] = p.bytes;

    // Page 0: the database definition page.
    QByteArray& h = pages[0];
    h.fill('\0');
    h[0] = 0x00;
    h[1] = 0x01;
    std::memcpy(h.data() + 4, "Standard Jet DB", 15);
    h[0x14] = 0x01; // Jet 4
    put16(h, 0x3c, kCodePage);
    put32(h, 0x3e, 0); // database key 0: pages are not encoded
    // No password: the password area holds just the mask derived from the creation date.
    const qint32 dateMask = qint32(std::floor(createdJet));
    for (int i = 0; i < 40; i += 4)
        put32(h, 0x42 + i, quint32(dateMask));
    put16(h, 0x6e, kGeneralSortOrder);
    h[0x71] = 0x00; // sort order version: General (legacy)
    put64(h, 0x72, doubleBits(createdJet));
    static const unsigned char key[4] = {0xc7, 0xda, 0x39, 0x6b};
    rc4(key, 4, reinterpret_cast<unsigned char*>(h.data()) + 0x18, 128);
}

JetWriter::JetWriter(const QString& path, const QDateTime& created) : d_(std::make_unique<Impl>()) {
    if (QFileInfo::exists(path))
        fail(QStringLiteral("データベース '%1' は既に存在します。").arg(path), 3204);
    d_->path = path;
    d_->created = created.isValid() ? created : QDateTime::currentDateTime();
    const QDate day = d_->created.date();
    const QTime time = d_->created.time();
    d_->createdJet = toJetDate(day.year(), day.month(), day.day(), time.hour(), time.minute(), time.second());

    d_->newPage(); // 0: definition page
    d_->newPage(); // 1: global usage map
    d_->newPage(); // 2: MSysObjects, where every reader starts
    auto col = [](const char* n, ColumnType t, int len = 255) {
        return ColumnDef{QString::fromLatin1(n), t, len};
    };
    d_->defineTable(QStringLiteral("MSysObjects"),
                    {col("Connect", ColumnType::Memo), col("Database", ColumnType::Memo),
                     col("DateCreate", ColumnType::DateTime), col("DateUpdate", ColumnType::DateTime),
                     col("Flags", ColumnType::Long), col("ForeignName", ColumnType::Text),
                     col("Id", ColumnType::Long), col("Lv", ColumnType::Ole), col("LvExtra", ColumnType::Ole),
                     col("LvModule", ColumnType::Ole), col("LvProp", ColumnType::Ole),
                     col("Name", ColumnType::Text), col("Owner", ColumnType::Binary),
                     col("ParentId", ColumnType::Long), col("RmtInfoLong", ColumnType::Ole),
                     col("RmtInfoShort", ColumnType::Binary), col("Type", ColumnType::Integer)},
                    true, 2);
    d_->defineTable(QStringLiteral("MSysACEs"),
                    {col("ACM", ColumnType::Long), col("FInheritable", ColumnType::Byte),
                     col("ObjectId", ColumnType::Long), col("SID", ColumnType::Binary)},
                    true, 0);
    d_->defineTable(QStringLiteral("MSysQueries"),
                    {col("Attribute", ColumnType::Byte), col("Expression", ColumnType::Memo),
                     col("Flag", ColumnType::Integer), col("LvExtra", ColumnType::Ole),
                     col("Name1", ColumnType::Memo), col("Name2", ColumnType::Memo),
                     col("ObjectId", ColumnType::Long), col("Order", ColumnType::Binary)},
                    true, 0);
    d_->defineTable(QStringLiteral("MSysRelationships"),
                    {col("ccolumn", ColumnType::Long), col("grbit", ColumnType::Long),
                     col("icolumn", ColumnType::Long), col("szColumn", ColumnType::Text),
                     col("szObject", ColumnType::Text), col("szReferencedColumn", ColumnType::Text),
                     col("szReferencedObject", ColumnType::Text), col("szRelationship", ColumnType::Text)},
                    true, 0);
    d_->catalogRow(kContainerTables, kContainerRoot, QStringLiteral("Tables"), 3, kSystemFlag);
    d_->catalogRow(kContainerDatabases, kContainerRoot, QStringLiteral("Databases"), 3, kSystemFlag);
    d_->catalogRow(kContainerRelationships, kContainerRoot, QStringLiteral("Relationships"), 3, kSystemFlag);
    for (std::size_t i = 0; i < d_->tables.size(); ++i)
        d_->catalogRow(d_->tables[i].tdefPages.front(), kContainerTables, d_->tables[i].name, 1, kSystemFlag);
}

JetWriter::~JetWriter() = default;

void JetWriter::createTable(const QString& name, const std::vector<ColumnDef>& columns) {
    if (d_->closed)
        fail(QStringLiteral("データベースは既に閉じられています。"), 3420);
    if (name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive))
        fail(QStringLiteral("テーブル名 '%1' は使えません。").arg(name), errnum::InvalidArgument);
    d_->defineTable(name, columns, false, 0);
    const Impl::Table& t = d_->tables.back();
    d_->catalogRow(t.tdefPages.front(), kContainerTables, name, 1, 0);
}

void JetWriter::insert(const QString& table, const Row& values) {
    Impl::Table& t = d_->table(table);
    if (t.system)
        fail(QStringLiteral("システム テーブル '%1' には書き込めません。").arg(table),
             errnum::InvalidArgument);
    d_->insertRow(t, values);
}

void JetWriter::insert(const QString& table, const std::vector<std::pair<QString, Value>>& values) {
    Impl::Table& t = d_->table(table);
    Row row(t.columns.size());
    for (const auto& entry : values) {
        const QString& name = entry.first;
        auto it = std::find_if(t.columns.begin(), t.columns.end(), [&](const ColumnLayout& c) {
            return c.def.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == t.columns.end())
            fail(QStringLiteral("出力先の列 '%1' が見つかりません (テーブル '%2')。").arg(name, table),
                 errnum::ItemNotFound);
        row[std::size_t(it->number)] = entry.second;
    }
    insert(table, row);
}

void JetWriter::close() {
    if (d_->closed)
        return;
    d_->finish();
    d_->closed = true;
    QSaveFile file(d_->path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("ファイル '%1' を書き込めません。%2").arg(d_->path, file.errorString()),
             errnum::WriteFailed);
    for (const QByteArray& p : d_->pages)
        if (file.write(p) != p.size())
            fail(QStringLiteral("ファイル '%1' を書き込めません。%2").arg(d_->path, file.errorString()),
                 errnum::WriteFailed);
    if (!file.commit())
        fail(QStringLiteral("ファイル '%1' を書き込めません。%2").arg(d_->path, file.errorString()),
             errnum::WriteFailed);
}

} // namespace kemnoa::jet
