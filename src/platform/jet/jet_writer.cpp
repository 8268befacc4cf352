#include "platform/jet/jet_writer.h"

#include "platform/jet/jet_error.h"
#include "platform/jet/jet_structures.h"
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
    throw Error(text, number);
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
    int varIndex = 0;    // variable columns: position among them; fixed ones: variable columns before
    int length = 0;      // col_len in the definition
    quint8 flags = 0;
};

// A system table column with the flags byte Jet gives it.
struct ColumnSpec {
    ColumnDef def;
    quint8 flags = 0; // 0: the flags of a user column
};

struct IndexSpec {
    QString name;
    std::vector<int> columns; // column numbers, ascending
    quint8 flags = 0;         // unique 0x01, ignore nulls 0x02, required 0x08; Jet 4 always adds 0x80
    quint8 type = 0;          // 1 for the primary key
};

} // namespace

struct JetWriter::Impl {
    QString path;
    QDateTime created;
    double createdJet = 0;
    std::vector<QByteArray> pages;
    bool closed = false;

    struct Index {
        IndexSpec spec;
        int leafPage = 0;
    };
    struct Table {
        QString name;
        bool system = false;
        std::vector<ColumnLayout> columns;
        std::vector<Index> indexes;
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
        // Rows of indexed tables with their page and row, for the index leaf pages.
        std::vector<std::pair<quint32, Row>> rowLog;
        std::vector<quint32> places; // page << 8 | row of each inserted row; 0 once deleted
    };
    std::vector<Table> tables;
    std::vector<DataPage> mapPages; // pages holding usage-map rows

    int newPage() {
        pages.emplace_back(kPageSize, '\0');
        return int(pages.size()) - 1;
    }
    DataPage newDataPage(quint32 owner) {
        DataPage p;
        p.number = newPage();
        p.bytes = QByteArray(kPageSize, '\0');
        p.bytes[0] = 0x01;
        p.bytes[1] = 0x01;
        put32(p.bytes, 4, owner);
        put16(p.bytes, 2, quint32(p.freeSpace()));
        return p;
    }
    static quint32 lvalOwner() {
        return quint32('L') | quint32('V') << 8 | quint32('A') << 16 | quint32('L') << 24;
    }
    void flush(DataPage& p) {
        if (p.number)
            pages[std::size_t(p.number)] = p.bytes;
    }

    Table& table(const QString& name);
    void defineTable(const QString& name, const std::vector<ColumnSpec>& columns, bool system, int tdefPage,
                     const std::vector<IndexSpec>& indexes = {});
    quint32 catalogRow(qint32 id, qint32 parent, const QString& name, int type, const QByteArray& owner,
                       const QByteArray& properties = QByteArray());
    void aceRow(qint32 objectId, const QByteArray& sid, qint32 acm, bool inheritable);
    quint32 insertRow(Table& t, const Row& values);
    QByteArray& pageOf(Table& t, quint32 number);
    quint32 placeRow(Table& t, const QByteArray& row);
    void updateRow(Table& t, qint64 n, const Row& values);
    void deleteRow(Table& t, qint64 n);
    QByteArray encodeRow(Table& t, const Row& values);
    QByteArray storeLongValue(Table& t, int column, const QByteArray& data);
    QByteArray usageMapRow(std::vector<int> pagesInMap);
    quint32 placeMap(const QByteArray& row);
    QByteArray leafPage(const Table& t, const Index& index);
    QByteArray definition(const Table& t, quint32 owned, quint32 free,
                          const std::vector<std::pair<int, std::pair<quint32, quint32>>>& longMaps,
                          const std::vector<quint32>& indexMaps);
    void writeDefinitionPages(Table& t, QByteArray def);
    void systemObjects();
    void finish();
};

namespace {

// Owners and access-control entries of the objects of a new database, as the Jet engine writes
// them with its default workgroup: the engine owns the system objects, the creating user owns the
// database object and everything created later.
const QByteArray kEngineSid("\x06\xea", 2);
const QByteArray kCreatorSid("\x07\xe8", 2);
const QByteArray kAdminsSid("\x06\xe8", 2);
const QByteArray kUsersSid("\x06\xed", 2);
constexpr qint32 kDatabaseObject = 0x10000000; // MSysDb, in the Databases container

} // namespace

JetWriter::Impl::Table& JetWriter::Impl::table(const QString& name) {
    for (Table& t : tables)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    fail(QStringLiteral("入力テーブル '%1' が見つかりませんでした。").arg(name), errnum::TableNotFound);
}

void JetWriter::Impl::defineTable(const QString& name, const std::vector<ColumnSpec>& specs, bool system,
                                  int tdefPage, const std::vector<IndexSpec>& indexes) {
    if (!validName(name))
        fail(QStringLiteral("テーブル名 '%1' は使えません。").arg(name), errnum::InvalidArgument);
    if (!format::isPlainIndexText(name)) // the catalog index on names holds plain codes only
        fail(QStringLiteral("テーブル名 '%1' には半角英数字と記号 (' と - を除く) を使ってください。")
                 .arg(name),
             errnum::InvalidArgument);
    for (const Table& t : tables)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            fail(QStringLiteral("テーブル '%1' は既にあります。").arg(name), 3010);
    if (specs.empty() || specs.size() > 255)
        fail(QStringLiteral("テーブル '%1' の列の数 (%2) が正しくありません。").arg(name).arg(specs.size()),
             errnum::InvalidArgument);
    Table t;
    t.name = name;
    t.system = system;
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const ColumnDef& d = specs[i].def;
        if (!validName(d.name))
            fail(QStringLiteral("列名 '%1' は使えません。").arg(d.name), errnum::InvalidArgument);
        for (std::size_t j = 0; j < i; ++j)
            if (specs[j].def.name.compare(d.name, Qt::CaseInsensitive) == 0)
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
            c.length = 510;
            break;
        case ColumnType::Memo:
        case ColumnType::Ole:
            c.length = 0;
            break;
        case ColumnType::Boolean:
            c.length = 1;
            break;
        default:
            if (!isFixed(d.type))
                fail(QStringLiteral("列 '%1' の型 %2 は書き込めません。").arg(d.name, columnTypeName(d.type)),
                     errnum::InvalidArgument);
            c.length = fixedSize(d.type);
        }
        const bool fixed = isFixed(d.type) || d.type == ColumnType::Boolean;
        if (isFixed(d.type)) {
            c.fixedOffset = t.fixedAreaSize;
            t.fixedAreaSize += c.length;
        }
        c.varIndex = t.varCount; // a fixed column records how many variable ones precede it
        if (!fixed)
            ++t.varCount;
        c.flags = specs[i].flags ? specs[i].flags : quint8(0x02 | (fixed ? 0x01 : 0x00));
        if (isLong(d.type))
            t.lvalPages.emplace_back(c.number, std::vector<int>());
        t.columns.push_back(c);
    }
    if (t.fixedAreaSize > kMaxRowSize / 2)
        fail(QStringLiteral("テーブル '%1' の固定長の列が大きすぎます。").arg(name), 3047);
    // Size of the definition: header, index entries, columns, names, index blocks and names, the
    // long-value column maps and their end mark.
    int length = kTdefHeader + int(indexes.size()) * (12 + 52 + 28) + int(specs.size()) * kColumnEntry;
    for (const ColumnSpec& c : specs)
        length += 2 + int(c.def.name.size()) * 2;
    for (const IndexSpec& ix : indexes)
        length += 2 + int(ix.name.size()) * 2;
    length += int(t.lvalPages.size()) * 10 + 2;
    t.tdefLength = length;
    t.tdefPages.push_back(tdefPage ? tdefPage : newPage());
    for (const IndexSpec& ix : indexes)
        t.indexes.push_back(Index{ix, newPage()});
    tables.push_back(std::move(t));
}

quint32 JetWriter::Impl::catalogRow(qint32 id, qint32 parent, const QString& name, int type,
                                    const QByteArray& owner, const QByteArray& properties) {
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
    set("Owner", Value::binary(owner));
    set("Flags",
        Value::integer(type == 1 && parent == kContainerTables && !name.startsWith(QLatin1String("MSys"))
                           ? 0
                           : kSystemFlag));
    if (!properties.isEmpty())
        set("LvProp", Value::binary(properties));
    return insertRow(cat, row);
}

void JetWriter::Impl::aceRow(qint32 objectId, const QByteArray& sid, qint32 acm, bool inheritable) {
    insertRow(tables[1], Row{Value::integer(objectId), Value::binary(sid), Value::integer(acm),
                             Value::boolean(inheritable)});
}

QByteArray JetWriter::Impl::storeLongValue(Table& t, int column, const QByteArray& data) {
    std::vector<int>* owned = nullptr;
    for (auto& [c, list] : t.lvalPages)
        if (c == column)
            owned = &list;
    auto place = [&](const QByteArray& row) -> quint32 {
        if (!t.lval.number || !t.lval.fits(int(row.size()))) {
            flush(t.lval);
            t.lval = newDataPage(lvalOwner());
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
        t.lval = newDataPage(lvalOwner()); // each piece fills most of a page
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
        case ColumnType::Boolean:
            // The value is the column's bit in the null mask.
            present[std::size_t(c.number)] = v.isNumber() ? v.asInt64() != 0 : !v.asText().isEmpty();
            break;
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

quint32 JetWriter::Impl::insertRow(Table& t, const Row& values) {
    if (closed)
        fail(QStringLiteral("データベースは既に閉じられています。"), 3420);
    if (values.size() != t.columns.size())
        fail(QStringLiteral("テーブル '%1' の列の数 (%2) と値の数 (%3) が合いません。")
                 .arg(t.name)
                 .arg(t.columns.size())
                 .arg(values.size()),
             3346);
    const quint32 pointer = placeRow(t, encodeRow(t, values));
    ++t.rowCount;
    t.places.push_back(pointer);
    if (!t.indexes.empty())
        t.rowLog.emplace_back(pointer, values);
    return pointer;
}

quint32 JetWriter::Impl::placeRow(Table& t, const QByteArray& row) {
    if (!t.current.number || !t.current.fits(int(row.size()))) {
        flush(t.current);
        t.current = newDataPage(quint32(t.tdefPages.front()));
        t.dataPages.push_back(t.current.number);
    }
    const int r = t.current.add(row);
    return quint32(t.current.number) << 8 | quint32(r);
}

QByteArray& JetWriter::Impl::pageOf(Table& t, quint32 number) {
    return int(number) == t.current.number ? t.current.bytes : pages[number];
}

namespace {

constexpr quint32 kForwardSlot = 0x4000, kSkipSlot = 0x8000, kDeletedSlot = 0xc000;

quint32 slotAt(const QByteArray& page, int row) {
    return quint32(quint8(page[kDataHeader + 2 * row])) | quint32(quint8(page[kDataHeader + 2 * row + 1]))
                                                              << 8;
}
// Start and length of a row's bytes on its page.
std::pair<int, int> rowSpan(const QByteArray& page, int row) {
    const int start = int(slotAt(page, row) & 0x1fff);
    const int end = row == 0 ? kPageSize : int(slotAt(page, row - 1) & 0x1fff);
    return {start, end - start};
}

// A record made longer without changing its meaning: the filler goes between the variable data and
// its end offset (or before the null mask when there are no variable columns), where no reader looks.
QByteArray padRecord(QByteArray row, int size, int columns, int varCount) {
    const int maskSize = (columns + 7) / 8;
    const qsizetype at = varCount > 0 ? row.size() - maskSize - 2 - 2 * varCount - 2 : row.size() - maskSize;
    row.insert(at, QByteArray(size - int(row.size()), '\0'));
    return row;
}

} // namespace

void JetWriter::Impl::updateRow(Table& t, qint64 n, const Row& values) {
    if (n < 0 || n >= qint64(t.places.size()) || t.places[std::size_t(n)] == 0)
        fail(QStringLiteral("テーブル '%1' の行 %2 がありません。").arg(t.name).arg(n), 3167);
    if (values.size() != t.columns.size())
        fail(QStringLiteral("テーブル '%1' の列の数 (%2) と値の数 (%3) が合いません。")
                 .arg(t.name)
                 .arg(t.columns.size())
                 .arg(values.size()),
             3346);
    const QByteArray row = encodeRow(t, values);
    const quint32 place = t.places[std::size_t(n)];
    const int slotRow = int(place & 0xff);
    const auto [start, length] = rowSpan(pageOf(t, place >> 8), slotRow);
    const bool moved = slotAt(pageOf(t, place >> 8), slotRow) & kForwardSlot;
    quint32 dataPlace = place; // where the row's data lies now
    if (moved) {
        const QByteArray& p = pageOf(t, place >> 8);
        dataPlace = quint32(quint8(p[start])) | quint32(quint8(p[start + 1])) << 8 |
                    quint32(quint8(p[start + 2])) << 16 | quint32(quint8(p[start + 3])) << 24;
    }
    const auto [dataStart, dataLength] = rowSpan(pageOf(t, dataPlace >> 8), int(dataPlace & 0xff));
    if (row.size() <= dataLength) { // fits where it is
        QByteArray& p = pageOf(t, dataPlace >> 8);
        const QByteArray padded = padRecord(row, dataLength, int(t.columns.size()), t.varCount);
        std::memcpy(p.data() + dataStart, padded.constData(), std::size_t(padded.size()));
        return;
    }
    if (length < 4)
        fail(QStringLiteral("テーブル '%1' の行 %2 は移せません。").arg(t.name).arg(n), 3047);
    if (moved) { // the earlier copy is given up
        QByteArray& p = pageOf(t, dataPlace >> 8);
        const int r = int(dataPlace & 0xff);
        put16(p, kDataHeader + 2 * r, slotAt(p, r) | kDeletedSlot);
    }
    const quint32 target = placeRow(t, row); // may start a new page: take page references after it
    QByteArray& targetPage = pageOf(t, target >> 8);
    put16(targetPage, kDataHeader + 2 * int(target & 0xff),
          slotAt(targetPage, int(target & 0xff)) | kSkipSlot);
    QByteArray& p = pageOf(t, place >> 8);
    put16(p, kDataHeader + 2 * slotRow, slotAt(p, slotRow) | kForwardSlot);
    put32(p, start, target);
}

void JetWriter::Impl::deleteRow(Table& t, qint64 n) {
    if (n < 0 || n >= qint64(t.places.size()) || t.places[std::size_t(n)] == 0)
        fail(QStringLiteral("テーブル '%1' の行 %2 がありません。").arg(t.name).arg(n), 3167);
    const quint32 place = t.places[std::size_t(n)];
    QByteArray& p = pageOf(t, place >> 8);
    const int r = int(place & 0xff);
    if (slotAt(p, r) & kForwardSlot) {
        const int start = rowSpan(p, r).first;
        const quint32 data = quint32(quint8(p[start])) | quint32(quint8(p[start + 1])) << 8 |
                             quint32(quint8(p[start + 2])) << 16 | quint32(quint8(p[start + 3])) << 24;
        QByteArray& dp = pageOf(t, data >> 8);
        put16(dp, kDataHeader + 2 * int(data & 0xff), slotAt(dp, int(data & 0xff)) | kDeletedSlot);
    }
    QByteArray& own = pageOf(t, place >> 8);
    put16(own, kDataHeader + 2 * r, slotAt(own, r) | kDeletedSlot);
    t.places[std::size_t(n)] = 0;
    --t.rowCount;
}

QByteArray JetWriter::Impl::usageMapRow(std::vector<int> list) {
    std::sort(list.begin(), list.end());
    QByteArray row(kMapRowSize, '\0');
    // Small files: a bitmap in the row from page 0, as Jet writes it; otherwise from the first page.
    const int start = list.empty() || list.back() < kInlineMapPages ? 0 : list.front();
    if (list.empty() || list.back() - start < kInlineMapPages) {
        row[0] = 0x00;
        put32(row, 1, quint32(start));
        for (int p : list)
            row[5 + (p - start) / 8] = char(row[5 + (p - start) / 8] | (1 << ((p - start) % 8)));
        return row;
    }
    row[0] = 0x01; // pointers to bitmap pages, each covering a fixed range of pages
    for (int p : list) {
        const int slot = p / kPagesPerMapPage;
        if (slot >= (kMapRowSize - 1) / 4)
            fail(QStringLiteral("データベースが大きすぎます。"), 3026);
        quint32 mp = quint32(row[1 + slot * 4] & 0xff) | quint32(row[2 + slot * 4] & 0xff) << 8 |
                     quint32(row[3 + slot * 4] & 0xff) << 16 | quint32(row[4 + slot * 4] & 0xff) << 24;
        if (!mp) {
            mp = quint32(newPage());
            pages[mp][0] = 0x05;
            pages[mp][1] = 0x01;
            put32(row, 1 + slot * 4, mp);
        }
        QByteArray& page = pages[mp];
        const int bit = p - slot * kPagesPerMapPage;
        page[4 + bit / 8] = char(page[4 + bit / 8] | (1 << (bit % 8)));
    }
    return row;
}

quint32 JetWriter::Impl::placeMap(const QByteArray& row) {
    if (mapPages.empty() || !mapPages.back().fits(int(row.size())))
        mapPages.push_back(newDataPage(0));
    const int r = mapPages.back().add(row);
    return quint32(mapPages.back().number) << 8 | quint32(r);
}

// A leaf page holding every entry of an index: the keys in ascending byte order, each followed by
// the row's page (three bytes, big-endian) and row number. A bitmap after the header marks where
// each entry ends; the first entry starts at 0x1e0.
QByteArray JetWriter::Impl::leafPage(const Table& t, const Index& index) {
    std::vector<QByteArray> entries;
    for (const auto& [pointer, row] : t.rowLog) {
        QByteArray e;
        for (int c : index.spec.columns)
            e.append(format::ascendingIndexKey(t.columns[std::size_t(c)].def.type, row[std::size_t(c)]));
        e.append(char((pointer >> 24) & 0xff));
        e.append(char((pointer >> 16) & 0xff));
        e.append(char((pointer >> 8) & 0xff));
        e.append(char(pointer & 0xff));
        entries.push_back(e);
    }
    std::sort(entries.begin(), entries.end(), [](const QByteArray& a, const QByteArray& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return quint8(x) < quint8(y); });
    });
    constexpr int kFirstEntry = 0x1e0, kMask = 0x1b;
    QByteArray page(kPageSize, '\0');
    page[0] = 0x04;
    page[1] = 0x01;
    put32(page, 4, quint32(t.tdefPages.front()));
    int at = 0;
    for (const QByteArray& e : entries) {
        if (kFirstEntry + at + e.size() > kPageSize)
            fail(QStringLiteral("テーブル '%1' の索引が 1 ページに収まりません。").arg(t.name), 3026);
        std::memcpy(page.data() + kFirstEntry + at, e.constData(), std::size_t(e.size()));
        at += int(e.size());
        page[kMask + at / 8] = char(page[kMask + at / 8] | (1 << (at % 8)));
    }
    put16(page, 2, quint32(kPageSize - kFirstEntry - at));
    return page;
}

QByteArray
JetWriter::Impl::definition(const Table& t, quint32 owned, quint32 free,
                            const std::vector<std::pair<int, std::pair<quint32, quint32>>>& longMaps,
                            const std::vector<quint32>& indexMaps) {
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
    put32(def, 47, quint32(t.indexes.size())); // logical indexes
    put32(def, 51, quint32(t.indexes.size())); // index entries
    put32(def, 55, owned);
    put32(def, 59, free);
    for (std::size_t i = 0; i < t.indexes.size(); ++i) {
        QByteArray e(12, '\0');
        put32(e, 4, quint32(t.rowLog.size()));
        def.append(e);
    }
    // Jet keeps column (and index) definitions in name order; the column number gives the order.
    std::vector<const ColumnLayout*> byName;
    for (const ColumnLayout& c : t.columns)
        byName.push_back(&c);
    std::stable_sort(byName.begin(), byName.end(), [](const ColumnLayout* a, const ColumnLayout* b) {
        return a->def.name.compare(b->def.name, Qt::CaseInsensitive) < 0;
    });
    for (const ColumnLayout* c : byName) {
        QByteArray e(kColumnEntry, '\0');
        e[0] = char(c->def.type);
        put32(e, 1, kMagicTableNumber);
        put16(e, 5, quint32(c->number));
        put16(e, 7, quint32(c->varIndex));
        put16(e, 11, kGeneralSortOrder);
        e[15] = char(c->flags);
        put16(e, 21, quint32(isFixed(c->def.type) ? c->fixedOffset : 0));
        put16(e, 23, quint32(c->length));
        def.append(e);
    }
    for (const ColumnLayout* c : byName) {
        append16(def, quint32(c->def.name.size() * 2));
        def.append(encodeUcs2(c->def.name));
    }
    for (std::size_t i = 0; i < t.indexes.size(); ++i) {
        const IndexSpec& ix = t.indexes[i].spec;
        QByteArray e(52, '\0');
        put32(e, 0, 0x0783); // constant in every index block Jet writes
        for (int k = 0; k < 10; ++k) {
            const bool used = k < int(ix.columns.size());
            put16(e, 4 + 3 * k, used ? quint32(ix.columns[std::size_t(k)]) : 0xffff);
            e[6 + 3 * k] = char(used ? 0x01 : 0x00); // ascending
        }
        put32(e, 34, indexMaps[i]);
        put32(e, 38, quint32(t.indexes[i].leafPage));
        e[46] = char(ix.flags); // bytes 42-45 are unused
        def.append(e);
    }
    std::vector<std::size_t> indexByName(t.indexes.size());
    for (std::size_t i = 0; i < indexByName.size(); ++i)
        indexByName[i] = i;
    std::sort(indexByName.begin(), indexByName.end(), [&](std::size_t a, std::size_t b) {
        return t.indexes[a].spec.name.compare(t.indexes[b].spec.name, Qt::CaseInsensitive) < 0;
    });
    for (std::size_t i : indexByName) {
        QByteArray e(28, '\0');
        put32(e, 0, kMagicTableNumber);
        put32(e, 4, quint32(i));
        put32(e, 8, quint32(i));
        put32(e, 13, 0xffffffff); // not a foreign key
        e[21] = 0x04;
        e[22] = 0x04;
        e[23] = char(t.indexes[i].spec.type);
        def.append(e);
    }
    for (std::size_t i : indexByName) {
        append16(def, quint32(t.indexes[i].spec.name.size() * 2));
        def.append(encodeUcs2(t.indexes[i].spec.name));
    }
    for (const ColumnLayout* c : byName)
        for (const auto& [col, maps] : longMaps)
            if (col == c->number) {
                append16(def, quint32(col));
                append32(def, maps.first);
                append32(def, maps.second);
            }
    append16(def, 0xffff);
    Q_ASSERT(def.size() == t.tdefLength);
    return def;
}

void JetWriter::Impl::writeDefinitionPages(Table& t, QByteArray def) {
    // A reader that finds a value ending exactly at a page end steps to the next page, so a
    // definition ending there gets one more byte of padding.
    if (def.size() >= kPageSize && (def.size() - kPageSize) % (kPageSize - 8) == 0)
        def.append('\0');
    const int pagesNeeded = def.size() <= kPageSize
                                ? 1
                                : 1 + int((def.size() - kPageSize + (kPageSize - 8) - 1) / (kPageSize - 8));
    while (int(t.tdefPages.size()) < pagesNeeded)
        t.tdefPages.push_back(newPage());
    qsizetype at = 0;
    for (std::size_t i = 0; i < t.tdefPages.size(); ++i) {
        QByteArray& page = pages[std::size_t(t.tdefPages[i])];
        page.fill('\0');
        const qsizetype begin = i == 0 ? 0 : 8;
        const qsizetype n = std::min<qsizetype>(def.size() - at, kPageSize - begin);
        std::memcpy(page.data() + begin, def.constData() + at, std::size_t(n));
        at += n;
        page[0] = 0x02;
        page[1] = 0x01;
        put16(page, 2, quint32(std::max<qsizetype>(0, kPageSize - begin - n - 8)));
        put32(page, 4, i + 1 < t.tdefPages.size() ? quint32(t.tdefPages[i + 1]) : 0);
    }
}

void JetWriter::Impl::finish() {
    for (Table& t : tables) {
        flush(t.current);
        flush(t.lval);
    }
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
            const quint32 used = placeMap(usageMapRow(list));
            longMaps.push_back({col, {used, placeMap(usageMapRow(lvalFree))}});
        }
        std::vector<quint32> indexMaps;
        for (const Index& ix : t.indexes) {
            pages[std::size_t(ix.leafPage)] = leafPage(t, ix);
            indexMaps.push_back(placeMap(usageMapRow({ix.leafPage})));
        }
        writeDefinitionPages(t, definition(t, owned, free, longMaps, indexMaps));
    }
    for (DataPage& p : mapPages)
        flush(p);

    // Page 1: the global usage map, spanning every page of the file. A set bit marks a page the
    // engine may use for new data: a file written in one pass has no free page inside it, and
    // every page past its end is free. Jet keeps a second, empty map beside it.
    DataPage first;
    first.number = 1;
    first.bytes = QByteArray(kPageSize, '\0');
    first.bytes[0] = 0x01;
    first.bytes[1] = 0x01;
    put32(first.bytes, 4, 1);
    QByteArray global(kMapRowSize, '\0');
    if (int(pages.size()) > kInlineMapPages) {
        global[0] = 0x01;
        const int slots =
            (int(pages.size()) + (kMapRowSize - 1) / 4 + kPagesPerMapPage - 1) / kPagesPerMapPage;
        std::vector<int> bitmaps;
        for (int slot = 0; slot < slots; ++slot) {
            bitmaps.push_back(newPage());
            pages[std::size_t(bitmaps.back())][0] = 0x05;
            pages[std::size_t(bitmaps.back())][1] = 0x01;
            put32(global, 1 + slot * 4, quint32(bitmaps.back()));
        }
        const int total = int(pages.size());
        for (int p = total; p < slots * kPagesPerMapPage; ++p) {
            QByteArray& bitmap = pages[std::size_t(bitmaps[std::size_t(p / kPagesPerMapPage)])];
            const int bit = p % kPagesPerMapPage;
            bitmap[4 + bit / 8] = char(bitmap[4 + bit / 8] | (1 << (bit % 8)));
        }
    } else {
        for (int p = int(pages.size()); p < kInlineMapPages; ++p)
            global[5 + p / 8] = char(global[5 + p / 8] | (1 << (p % 8)));
    }
    first.add(global);
    first.add(QByteArray(kMapRowSize, '\0'));
    flush(first);

    // Page 0: the database definition page.
    QByteArray& h = pages[0];
    h.fill('\0');
    h[1] = 0x01;
    std::memcpy(h.data() + 4, "Standard Jet DB", 15);
    h[0x14] = 0x01; // Jet 4
    put32(h, 0x18, 0x100);
    put32(h, 0x1c, 0x101);
    for (int i = 0; i < 4; ++i) // the definition pages of the four system tables
        put32(h, 0x20 + 4 * i, quint32(tables[std::size_t(i)].tdefPages.front()));
    put16(h, 0x3c, kCodePage);
    put32(h, 0x3e, 0); // database key 0: pages are not encoded
    // No password: the password area holds just the mask derived from the creation date.
    const qint32 dateMask = qint32(std::floor(createdJet));
    for (int i = 0; i < 40; i += 4)
        put32(h, 0x42 + i, quint32(dateMask));
    put32(h, 0x6a, 0x11a6);
    put16(h, 0x6e, kGeneralSortOrder); // sort order version 0 (General, legacy) follows at 0x71
    put64(h, 0x72, doubleBits(createdJet));
    static const unsigned char key[4] = {0xc7, 0xda, 0x39, 0x6b};
    rc4(key, 4, reinterpret_cast<unsigned char*>(h.data()) + 0x18, 128);
    put32(h, 0x98, 0x654); // after the encoded area: engine build and version "4.0"
    std::memcpy(h.data() + 0x9c, "4.0", 4);
    h[0xe00] = 0x01; // a table of 256 entries Jet writes in every new database
    h[0xe01] = 0x01;
    for (int i = 1; i < 256; ++i)
        h[0xe00 + 2 * i + 1] = 0x01;
}

void JetWriter::Impl::systemObjects() {
    newPage();                   // 0: definition page
    newPage();                   // 1: global usage map
    newPage();                   // 2: MSysObjects, where every reader starts
    for (int i = 3; i <= 5; ++i) // 3-5: the other system tables, as Jet places them
        newPage();
    auto col = [](const char* n, ColumnType t, quint8 flags, int len = 255) {
        return ColumnSpec{ColumnDef{QString::fromLatin1(n), t, len}, flags};
    };
    constexpr quint8 F = 0x13, V = 0x12; // flags Jet gives fixed and variable system columns
    defineTable(QStringLiteral("MSysObjects"),
                {col("Id", ColumnType::Long, F), col("ParentId", ColumnType::Long, F),
                 col("Name", ColumnType::Text, V), col("Type", ColumnType::Integer, F),
                 col("DateCreate", ColumnType::DateTime, F), col("DateUpdate", ColumnType::DateTime, F),
                 col("Owner", ColumnType::Binary, 0x32), col("Flags", ColumnType::Long, F),
                 col("Database", ColumnType::Memo, V), col("Connect", ColumnType::Memo, V),
                 col("ForeignName", ColumnType::Text, V), col("RmtInfoShort", ColumnType::Binary, V),
                 col("RmtInfoLong", ColumnType::Ole, V), col("Lv", ColumnType::Ole, V),
                 col("LvProp", ColumnType::Ole, V), col("LvModule", ColumnType::Ole, V),
                 col("LvExtra", ColumnType::Ole, V)},
                true, 2,
                {{QStringLiteral("ParentIdName"), {1, 2}, 0x81, 0}, {QStringLiteral("Id"), {0}, 0x81, 1}});
    defineTable(QStringLiteral("MSysACEs"),
                {col("ObjectId", ColumnType::Long, F), col("SID", ColumnType::Binary, 0x32),
                 col("ACM", ColumnType::Long, F), col("FInheritable", ColumnType::Boolean, F)},
                true, 3, {{QStringLiteral("ObjectId"), {0}, 0x88, 0}});
    defineTable(QStringLiteral("MSysQueries"),
                {col("ObjectId", ColumnType::Long, F), col("Attribute", ColumnType::Byte, F),
                 col("Order", ColumnType::Binary, V), col("Name1", ColumnType::Text, V),
                 col("Name2", ColumnType::Text, V), col("Expression", ColumnType::Memo, V),
                 col("Flag", ColumnType::Integer, F), col("LvExtra", ColumnType::Long, F)},
                true, 4, {{QStringLiteral("ObjectIdAttribute"), {0, 1, 2}, 0x81, 1}});
    defineTable(QStringLiteral("MSysRelationships"),
                {col("szRelationship", ColumnType::Text, V), col("grbit", ColumnType::Long, F),
                 col("ccolumn", ColumnType::Long, F), col("icolumn", ColumnType::Long, F),
                 col("szObject", ColumnType::Text, V), col("szColumn", ColumnType::Text, V),
                 col("szReferencedObject", ColumnType::Text, V),
                 col("szReferencedColumn", ColumnType::Text, V)},
                true, 5,
                {{QStringLiteral("szRelationship"), {0}, 0x82, 0},
                 {QStringLiteral("szObject"), {4}, 0x82, 0},
                 {QStringLiteral("szReferencedObject"), {6}, 0x82, 0}});

    catalogRow(kContainerTables, kContainerRoot, QStringLiteral("Tables"), 3, kEngineSid);
    catalogRow(kContainerDatabases, kContainerRoot, QStringLiteral("Databases"), 3, kEngineSid);
    catalogRow(kContainerRelationships, kContainerRoot, QStringLiteral("Relationships"), 3, kEngineSid);
    catalogRow(kDatabaseObject, kContainerDatabases, QStringLiteral("MSysDb"), 2, kCreatorSid,
               format::databasePropertiesBlob());
    for (std::size_t i = 0; i < 4; ++i)
        catalogRow(tables[i].tdefPages.front(), kContainerTables, tables[i].name, 1, kEngineSid);

    // Permissions: the containers pass theirs on to the objects created in them.
    const qint32 objects = tables[0].tdefPages.front(), aces = tables[1].tdefPages.front(),
                 queries = tables[2].tdefPages.front(), relationships = tables[3].tdefPages.front();
    for (qint32 systemTable : {objects, aces, queries})
        aceRow(systemTable, kCreatorSid, 393216, false);
    aceRow(relationships, kCreatorSid, 917504, false);
    aceRow(kContainerTables, kUsersSid, 983294, true);
    aceRow(kContainerTables, kCreatorSid, 393217, false);
    aceRow(kContainerRelationships, kUsersSid, 983294, true);
    aceRow(kContainerRelationships, kCreatorSid, 393217, false);
    aceRow(kContainerDatabases, kCreatorSid, 393216, false);
    aceRow(kDatabaseObject, kCreatorSid, 393230, false);
    aceRow(kDatabaseObject, kAdminsSid, 14, false);
    for (qint32 systemTable : {queries, relationships, objects})
        aceRow(systemTable, kAdminsSid, 20, false);
    aceRow(kContainerTables, kAdminsSid, 1048319, true);
    aceRow(kContainerRelationships, kAdminsSid, 1048575, true);
}

JetWriter::JetWriter(const QString& path, const QDateTime& created) : d_(std::make_unique<Impl>()) {
    if (QFileInfo::exists(path))
        fail(QStringLiteral("データベース '%1' は既に存在します。").arg(path), 3204);
    d_->path = path;
    d_->created = created.isValid() ? created : QDateTime::currentDateTime();
    const QDate day = d_->created.date();
    const QTime time = d_->created.time();
    d_->createdJet = toJetDate(day.year(), day.month(), day.day(), time.hour(), time.minute(), time.second());
    d_->systemObjects();
}

JetWriter::~JetWriter() = default;

void JetWriter::createTable(const QString& name, const std::vector<ColumnDef>& columns) {
    if (d_->closed)
        fail(QStringLiteral("データベースは既に閉じられています。"), 3420);
    if (name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive))
        fail(QStringLiteral("テーブル名 '%1' は使えません。").arg(name), errnum::InvalidArgument);
    std::vector<ColumnSpec> specs;
    std::vector<std::pair<QString, QStringList>> properties;
    for (const ColumnDef& c : columns) {
        if (c.type == ColumnType::Boolean)
            fail(QStringLiteral("列 '%1' の型 %2 は書き込めません。").arg(c.name, columnTypeName(c.type)),
                 errnum::InvalidArgument);
        specs.push_back(ColumnSpec{c, 0});
        if (c.type == ColumnType::Text || c.type == ColumnType::Memo)
            properties.push_back({c.name, {QStringLiteral("AllowZeroLength")}});
    }
    d_->defineTable(name, specs, false, 0);
    const Impl::Table& t = d_->tables.back();
    d_->catalogRow(t.tdefPages.front(), kContainerTables, name, 1, kCreatorSid,
                   properties.empty() ? QByteArray() : format::columnPropertiesBlob(properties));
}

qint64 JetWriter::insert(const QString& table, const Row& values) {
    Impl::Table& t = d_->table(table);
    if (t.system)
        fail(QStringLiteral("システム テーブル '%1' には書き込めません。").arg(table),
             errnum::InvalidArgument);
    d_->insertRow(t, values);
    return qint64(t.places.size()) - 1;
}

qint64 JetWriter::insert(const QString& table, const std::vector<std::pair<QString, Value>>& values) {
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
    return insert(table, row);
}

void JetWriter::updateRow(const QString& table, qint64 row, const Row& values) {
    if (d_->closed)
        fail(QStringLiteral("データベースは既に閉じられています。"), 3420);
    Impl::Table& t = d_->table(table);
    if (t.system)
        fail(QStringLiteral("システム テーブル '%1' には書き込めません。").arg(table),
             errnum::InvalidArgument);
    d_->updateRow(t, row, values);
}

void JetWriter::deleteRow(const QString& table, qint64 row) {
    if (d_->closed)
        fail(QStringLiteral("データベースは既に閉じられています。"), 3420);
    Impl::Table& t = d_->table(table);
    if (t.system)
        fail(QStringLiteral("システム テーブル '%1' には書き込めません。").arg(table),
             errnum::InvalidArgument);
    d_->deleteRow(t, row);
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
