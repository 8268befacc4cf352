#include "platform/jet/jet_reader.h"

#include "platform/jet/isolated_run.h"
#include "platform/jet/jet_error.h"
#include "platform/jet/jet_text.h"
#include "platform/text/cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <QUuid>
#include <cstring>
#include <mdbtools.h>
#include <unordered_map>

namespace kemnoa::jet {

namespace {

constexpr int kMemoHeader = 12;

quint32 le32(const unsigned char* p) {
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
quint16 le16(const unsigned char* p) {
    return quint16(p[0] | p[1] << 8);
}

[[noreturn]] void damaged(const QString& where, const QString& detail) {
    throw Error(QStringLiteral("データベースの形式 '%1' を認識できません。%2").arg(where, detail),
                errnum::UnrecognizedFormat);
}

struct TableDefDeleter {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
using TableDefPtr = std::unique_ptr<MdbTableDef, TableDefDeleter>;

} // namespace

struct JetReader::Impl {
    QByteArray bytes; // the file; libmdb reads it through fmemopen, so it outlives the handle
    QString name;     // for messages
    MdbHandle* mdb = nullptr;
    struct Table {
        QString name;
        MdbCatalogEntry* entry = nullptr;
        TableDefPtr def;
        std::vector<Column> columns;
    };
    mutable std::vector<Table> tables;

    ~Impl() {
        tables.clear();
        if (mdb)
            mdb_close(mdb);
    }

    void open();
    // Checks a table definition's page and its usage-map pointers before libmdb follows them:
    // libmdb trusts them and crashes on some damaged values.
    void checkTableDefinition(quint32 page, const QString& table) const;
    Table& table(const QString& name) const;
    void loadDefinition(Table& t) const;
    struct Slot;
    // A row slot of a data page (page holds the page's bytes), checked to lie inside the page.
    Slot slot(const unsigned char* page, quint32 pageNumber, int row) const;
    // The bytes of a page of the file; nullptr for page 0 and pages past its end.
    const unsigned char* page(quint32 number) const;
    // Visits each live row, following moved rows; visit() gets the cracked fields of the row.
    void scan(Table& t, const std::function<void(MdbField*)>& visit) const;
    Value decode(Table& t, MdbField& f) const;
    QByteArray readLongValue(const unsigned char* header, int size) const;
    QString decodeText(const char* data, int size) const;
};

void JetReader::Impl::open() {
    // Refuse what is plainly not a Jet file before the parser sees it.
    if (bytes.size() < 0x80 || bytes[0] != 0 ||
        (std::memcmp(bytes.constData() + 4, "Standard Jet DB", 15) != 0 &&
         std::memcmp(bytes.constData() + 4, "Standard ACE DB", 15) != 0))
        damaged(name, QStringLiteral("Access のデータベースではありません。"));
    mdb = mdb_open_buffer(bytes.data(), std::size_t(bytes.size()), MDB_NOFLAGS);
    if (!mdb)
        damaged(name, QStringLiteral("ファイルの先頭ページが読めません。"));
    checkTableDefinition(2, QStringLiteral("MSysObjects"));
    if (!mdb_read_catalog(mdb, MDB_TABLE))
        damaged(name, QStringLiteral("オブジェクトの一覧 (MSysObjects) が読めません。"));
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (!mdb_is_user_table(entry))
            continue;
        Table t;
        t.name =
            QString::fromUtf8(entry->object_name, qsizetype(strnlen(entry->object_name, MDB_MAX_OBJ_NAME)));
        t.entry = entry;
        tables.push_back(std::move(t));
    }
}

JetReader::Impl::Table& JetReader::Impl::table(const QString& tableName) const {
    for (Table& t : tables)
        if (t.name.compare(tableName, Qt::CaseInsensitive) == 0) {
            if (!t.def)
                loadDefinition(t);
            return t;
        }
    throw Error(
        QStringLiteral("入力テーブルまたはクエリ '%1' が見つかりませんでした。(%2)").arg(tableName, name),
        errnum::TableNotFound);
}

void JetReader::Impl::checkTableDefinition(quint32 page, const QString& table) const {
    const bool jet3 = IS_JET3(mdb);
    const qint64 pageSize = jet3 ? 2048 : 4096;
    const auto* base = reinterpret_cast<const unsigned char*>(bytes.constData());
    auto pageAt = [&](quint32 p) -> const unsigned char* {
        return p == 0 || qint64(p + 1) * pageSize > bytes.size() ? nullptr : base + qint64(p) * pageSize;
    };
    const unsigned char* def = pageAt(page);
    if (!def || def[0] != 0x02)
        damaged(name, QStringLiteral("テーブル '%1' の定義ページ %2 がありません。").arg(table).arg(page));
    const int rco = jet3 ? 8 : 12;
    const int mapOffsets[2] = {jet3 ? 35 : 55, jet3 ? 39 : 59}; // used pages, pages with free space
    for (int at : mapOffsets) {
        const quint32 pointer = le32(def + at);
        const unsigned char* map = pageAt(pointer >> 8);
        const int row = int(pointer & 0xff);
        bool ok = map != nullptr && row < le16(map + rco) && rco + 2 + row * 2 + 2 <= pageSize;
        if (ok) {
            const int start = le16(map + rco + 2 + row * 2) & 0x1fff;
            const int end = row == 0 ? int(pageSize) : le16(map + rco + row * 2) & 0x1fff;
            ok = start > rco && start < end && end <= pageSize;
        }
        if (!ok)
            damaged(name, QStringLiteral("テーブル '%1' のページ使用表が壊れています。").arg(table));
    }
}

void JetReader::Impl::loadDefinition(Table& t) const {
    checkTableDefinition(quint32(t.entry->table_pg), t.name);
    TableDefPtr def(mdb_read_table(t.entry));
    if (!def || !mdb_read_columns(def.get()) || def->num_cols == 0)
        damaged(name, QStringLiteral("テーブル '%1' の定義が読めません。").arg(t.name));
    t.columns.clear();
    for (unsigned i = 0; i < def->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, i));
        Column c;
        c.name = QString::fromUtf8(col->name, qsizetype(strnlen(col->name, MDB_MAX_OBJ_NAME)));
        if (!isKnownColumnType(quint8(col->col_type)))
            damaged(name, QStringLiteral("テーブル '%1' の列 '%2' の型 (%3) を扱えません。")
                              .arg(t.name, c.name)
                              .arg(col->col_type));
        c.type = ColumnType(col->col_type);
        c.size = col->col_size;
        t.columns.push_back(c);
    }
    t.def = std::move(def);
}

QString JetReader::Impl::decodeText(const char* data, int size) const {
    if (!IS_JET3(mdb))
        return decodeJet4Text(data, size);
    const QByteArray raw(data, size);
    return mdb->f->code_page == 932 ? text::fromCp932(raw) : QString::fromLatin1(raw);
}

QByteArray JetReader::Impl::readLongValue(const unsigned char* field, int size) const {
    if (size < kMemoHeader)
        damaged(name, QStringLiteral("長いデータの見出しが壊れています。"));
    unsigned char header[kMemoHeader];
    std::memcpy(header, field, kMemoHeader);
    const quint32 lengthField = le32(header);
    const quint32 length = lengthField & 0x3fffffff;
    const int pageSize = int(mdb->fmt->pg_size);
    if (lengthField & 0x80000000) // stored in the row itself
        return QByteArray(reinterpret_cast<const char*>(field) + kMemoHeader, size - kMemoHeader);

    auto fetch = [&](quint32 pageRow, const unsigned char** data, int* len) {
        void* buf = nullptr;
        int off = 0;
        size_t rowLen = 0;
        if (mdb_find_pg_row(mdb, int(pageRow), &buf, &off, &rowLen) != 0 || off < 0 ||
            off + qint64(rowLen) > pageSize)
            damaged(name, QStringLiteral("長いデータのページ %1 が読めません。").arg(pageRow >> 8));
        *data = static_cast<const unsigned char*>(buf) + off;
        *len = int(rowLen);
    };
    const unsigned char* data = nullptr;
    int len = 0;
    if (lengthField & 0x40000000) { // one row of one LVAL page
        fetch(le32(header + 4), &data, &len);
        return QByteArray(reinterpret_cast<const char*>(data), len);
    }
    if (lengthField & 0xc0000000)
        damaged(name, QStringLiteral("長いデータの種類が不明です。"));
    // A chain of LVAL rows, each beginning with the pointer to the next one.
    QByteArray out;
    quint32 next = le32(header + 4);
    const qint64 maxLinks = bytes.size() / pageSize + 1;
    for (qint64 links = 0; next != 0; ++links) {
        if (links > maxLinks || out.size() > qint64(length))
            damaged(name, QStringLiteral("長いデータの連鎖が壊れています。"));
        fetch(next, &data, &len);
        if (len < 4)
            damaged(name, QStringLiteral("長いデータの連鎖が壊れています。"));
        next = le32(data);
        out.append(reinterpret_cast<const char*>(data) + 4, len - 4);
    }
    if (out.size() != qint64(length))
        damaged(name, QStringLiteral("長いデータの長さが合いません。"));
    return out;
}

Value JetReader::Impl::decode(Table& t, MdbField& f) const {
    const Column& c = t.columns[std::size_t(f.colnum)];
    if (c.type == ColumnType::Boolean) // the value lives in the null mask
        return Value::boolean(!f.is_null);
    if (f.is_null)
        return Value();
    const int pageSize = int(mdb->fmt->pg_size);
    if (f.siz < 0 || f.start < 0 || f.start + f.siz > pageSize)
        damaged(name, QStringLiteral("テーブル '%1' の行が壊れています。").arg(t.name));
    const auto* p = mdb->pg_buf + f.start;
    auto need = [&](int n) {
        if (f.siz < n)
            damaged(name, QStringLiteral("テーブル '%1' の列 '%2' の値が短すぎます。").arg(t.name, c.name));
    };
    switch (c.type) {
    case ColumnType::Byte:
        need(1);
        return Value::integer(p[0]);
    case ColumnType::Integer:
        need(2);
        return Value::integer(qint16(le16(p)));
    case ColumnType::Long:
        need(4);
        return Value::integer(qint32(le32(p)));
    case ColumnType::Currency: {
        need(8);
        const qint64 v = qint64(quint64(le32(p)) | quint64(le32(p + 4)) << 32);
        return Value::currency(v);
    }
    case ColumnType::Single: {
        need(4);
        float v;
        const quint32 bits = le32(p);
        std::memcpy(&v, &bits, 4);
        return Value::real(double(v));
    }
    case ColumnType::Double:
    case ColumnType::DateTime: {
        need(8);
        double v;
        const quint64 bits = quint64(le32(p)) | quint64(le32(p + 4)) << 32;
        std::memcpy(&v, &bits, 8);
        return c.type == ColumnType::Double ? Value::real(v) : Value::dateTime(v);
    }
    case ColumnType::Text:
        return Value::text(decodeText(reinterpret_cast<const char*>(p), f.siz));
    case ColumnType::Memo: {
        const QByteArray b = readLongValue(p, f.siz);
        return Value::text(decodeText(b.constData(), int(b.size())));
    }
    case ColumnType::Ole:
        return Value::binary(readLongValue(p, f.siz));
    case ColumnType::Binary:
        return Value::binary(QByteArray(reinterpret_cast<const char*>(p), f.siz));
    case ColumnType::Guid: {
        need(16);
        const QUuid u(le32(p), le16(p + 4), le16(p + 6), p[8], p[9], p[10], p[11], p[12], p[13], p[14],
                      p[15]);
        return Value::text(u.toString(QUuid::WithBraces).toUpper());
    }
    case ColumnType::Numeric: {
        need(17);
        auto* column = static_cast<MdbColumn*>(g_ptr_array_index(t.def->columns, std::size_t(f.colnum)));
        char* s = mdb_numeric_to_string(mdb, f.start, column->col_scale, column->col_prec);
        const double v = s ? QByteArray(s).toDouble() : 0.0;
        g_free(s);
        return Value::real(v);
    }
    case ColumnType::Boolean:
        break;
    }
    return Value();
}

// A slot of a data page's row offset table: where the row lies and what it is. Jet marks a slot
// with 0x4000 when the row's data moved elsewhere (the slot then holds a pointer: one byte row, three
// bytes page), and with 0x8000 when a scan must pass it by: a deleted row (0xc000) or data that
// moved here, reached only through its forwarding slot.
struct JetReader::Impl::Slot {
    int start = 0;
    int length = 0;
    bool forward = false;
    bool skip = false;
    bool inside = false; // the bytes lie after the offset table and within the page
};

JetReader::Impl::Slot JetReader::Impl::slot(const unsigned char* page, quint32 pageNumber, int row) const {
    const int rco = mdb->fmt->row_count_offset;
    const int pageSize = int(mdb->fmt->pg_size);
    const int rows = le16(page + rco);
    const int table = rco + 2 + rows * 2;
    if (row < 0 || row >= rows || table > pageSize)
        damaged(name, QStringLiteral("データページ %1 の行 %2 がありません。").arg(pageNumber).arg(row));
    const int raw = le16(page + rco + 2 + row * 2);
    Slot s;
    s.forward = raw & 0x4000;
    s.skip = raw & 0x8000;
    s.start = raw & 0x1fff;
    const int end = row == 0 ? pageSize : le16(page + rco + row * 2) & 0x1fff;
    s.length = end - s.start;
    s.inside = s.start >= table && s.length > 0 && end <= pageSize;
    if (!s.skip && !s.inside)
        damaged(name, QStringLiteral("データページ %1 の行 %2 が壊れています。").arg(pageNumber).arg(row));
    return s;
}

const unsigned char* JetReader::Impl::page(quint32 number) const {
    const qint64 pageSize = mdb->fmt->pg_size;
    if (number == 0 || qint64(number + 1) * pageSize > bytes.size())
        return nullptr;
    return reinterpret_cast<const unsigned char*>(bytes.constData()) + qint64(number) * pageSize;
}

void JetReader::Impl::scan(Table& t, const std::function<void(MdbField*)>& visit) const {
    MdbTableDef* def = t.def.get();
    std::vector<MdbField> fields(def->num_cols);
    const int rco = mdb->fmt->row_count_offset;
    const int pageSize = int(mdb->fmt->pg_size);
    const quint32 owner = quint32(t.entry->table_pg);
    auto crack = [&](int start, int length, quint32 where) {
        if (mdb_crack_row(def, start, std::size_t(length), fields.data()) < 0)
            damaged(name,
                    QStringLiteral("テーブル '%1' の行が壊れています (ページ %2)。").arg(t.name).arg(where));
        visit(fields.data());
    };
    mdb_rewind_table(def);
    while (mdb_read_next_dpg(def)) {
        const quint32 pageNumber = def->cur_phys_pg;
        const int rows = le16(mdb->pg_buf + rco);
        if (rco + 2 + rows * 2 > pageSize)
            damaged(name, QStringLiteral("データページ %1 が壊れています。").arg(pageNumber));
        for (int r = 0; r < rows; ++r) {
            const Slot s = slot(mdb->pg_buf, pageNumber, r);
            if (s.skip)
                continue;
            if (!s.forward) {
                crack(s.start, s.length, pageNumber);
                continue;
            }
            // A forwarding slot: the row lives in a slot of another (or this) page of the same
            // table that is marked as moved data. Jet never forwards twice, so a pointer to
            // anything else (another forwarding slot, a deleted row, a foreign page) is damage,
            // and no chain of pointers is followed.
            auto lost = [&] {
                damaged(
                    name,
                    QStringLiteral("データページ %1 の行 %2 の移動先が読めません。").arg(pageNumber).arg(r));
            };
            if (s.length < 4)
                lost();
            const quint32 pointer = le32(mdb->pg_buf + s.start);
            const quint32 targetPage = pointer >> 8;
            const int targetRow = int(pointer & 0xff);
            const unsigned char* target = page(targetPage);
            if (!target || target[0] != 0x01 || le32(target + 4) != owner || targetRow >= le16(target + rco))
                lost();
            const Slot moved = slot(target, targetPage, targetRow);
            if (moved.forward || !moved.skip)
                damaged(name, QStringLiteral("データページ %1 の行 %2 の移動先 (ページ %3 の行 %4) "
                                             "は移動したデータではありません。")
                                  .arg(pageNumber)
                                  .arg(r)
                                  .arg(targetPage)
                                  .arg(targetRow));
            if (!moved.inside)
                lost();
            if (mdb_read_pg(mdb, targetPage) != pageSize)
                lost();
            crack(moved.start, moved.length, targetPage);
            if (mdb_read_pg(mdb, pageNumber) != pageSize) // the row's own page again
                damaged(name, QStringLiteral("データページ %1 が読めません。").arg(pageNumber));
        }
    }
}

JetReader::JetReader(std::unique_ptr<Impl> impl, std::unique_ptr<DecodedRows> decoded)
    : d_(std::move(impl)), rows_(std::move(decoded)) {}
JetReader::~JetReader() = default;
JetReader::JetReader(JetReader&&) noexcept = default;
JetReader& JetReader::operator=(JetReader&&) noexcept = default;

JetReader::JetReader(const QString& path) : JetReader(path, Options()) {}

namespace {

QByteArray readWhole(const QString& path, bool contents) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("ファイル '%1' を開けません。%2").arg(path, file.errorString()),
                    errnum::FileNotFound);
    return contents ? file.readAll() : QByteArray();
}

} // namespace

void JetReader::checkFile(const QString& path, const Options& options) {
    const QFileInfo info(path);
    if (!info.isFile())
        throw Error(QStringLiteral("ファイル '%1' が見つかりませんでした。").arg(path), errnum::FileNotFound);
    if (info.size() > options.limits.fileBytes)
        fileTooLarge(path, info.size(), options.limits.fileBytes);
    readWhole(path, false);
}

JetReader::JetReader(const QString& path, const Options& options) {
    checkFile(path, options);
    // Isolated, this process never reads the client's bytes: the child reads them itself.
    *this = options.isolate ? load({}, path, options) : load(readWhole(path, true), path, options);
}

JetReader JetReader::fromBytes(QByteArray bytes, const Options& options) {
    if (bytes.size() > options.limits.fileBytes)
        fileTooLarge(QStringLiteral("(memory)"), bytes.size(), options.limits.fileBytes);
    return load(std::move(bytes), QStringLiteral("(memory)"), options);
}

// The child's part: parses the file (bytes, or the file `name` when bytes is empty) and writes its
// tables to fd, or the error instead.
bool JetReader::decodeInto(int fd, const QByteArray& bytes, const QString& name, const Options& options) {
    DecodedRowsWriter out(fd, options.limits, name);
    try {
        QByteArray content = bytes;
        if (bytes.isEmpty() && name != QStringLiteral("(memory)")) {
            QFile file(name);
            if (!file.open(QIODevice::ReadOnly))
                throw Error(QStringLiteral("ファイル '%1' を開けません。%2").arg(name, file.errorString()),
                            errnum::FileNotFound);
            if (file.size() > options.limits.fileBytes) // it may have grown since
                fileTooLarge(name, file.size(), options.limits.fileBytes);
            content = file.readAll();
        }
        Options inner = options;
        inner.isolate = false;
        JetReader r = load(std::move(content), name, inner);
        out.begin(r.jetVersion());
        for (const QString& t : r.tables()) {
            out.table(t, r.columns(t));
            r.forEachRow(t, [&](const Row& row) { out.row(row); });
        }
        out.finish();
        return true;
    } catch (const Error& e) {
        out.fail(e.description(), e.number());
        return false;
    }
}

// The program's part: what the child left in decodedPath, or the error its outcome means.
JetReader JetReader::fromDecoded(IsolatedOutcome outcome, const QString& decodedPath, const QString& name,
                                 const Options& options) {
    switch (outcome) {
    case IsolatedOutcome::Succeeded:
        break;
    case IsolatedOutcome::Failed: {
        QFile f(decodedPath);
        if (f.open(QIODevice::ReadOnly) && f.peek(8) == QByteArray("KJERROR1"))
            break; // open() below throws the child's own error
        damaged(name, QStringLiteral("ファイルが壊れています (解析に失敗しました)。"));
    }
    case IsolatedOutcome::Crashed:
        damaged(name, QStringLiteral("ファイルが壊れています (解析が異常終了しました)。"));
    case IsolatedOutcome::TimedOut:
        damaged(name, QStringLiteral("ファイルが壊れています (解析が時間内に終わりませんでした)。"));
    case IsolatedOutcome::CouldNotStart:
        throw Error(QStringLiteral("ファイルを解析する子プロセスを起動できません。"),
                    errnum::UnrecognizedFormat);
    }
    JetReader r(nullptr, DecodedRows::open(decodedPath, options.limits, name));
    r.name_ = name;
    return r;
}

IsolationLimits JetReader::childLimits(const Options& options) {
    return IsolationLimits{options.timeoutMs, options.memoryBytes,
                           options.limits.decodedBytes + (qint64(16) << 20)};
}

// bytes is empty when the child reads the file (name) itself.
JetReader JetReader::load(QByteArray bytes, const QString& name, const Options& options) {
    if (!options.isolate) {
        auto impl = std::make_unique<Impl>();
        impl->bytes = std::move(bytes);
        impl->name = name;
        impl->open();
        JetReader r(std::move(impl), nullptr);
        r.name_ = name;
        return r;
    }
    QTemporaryFile decoded;
    if (!decoded.open())
        throw Error(QStringLiteral("解析結果の一時ファイルを作れません。%1").arg(decoded.errorString()),
                    errnum::WriteFailed);
    const int fd = decoded.handle();
    const auto outcome =
        runIsolated([&] { return decodeInto(fd, bytes, name, options); }, childLimits(options));
    // The temporary file's name goes with `decoded`; the reader keeps its own handle open.
    return fromDecoded(outcome, decoded.fileName(), name, options);
}

int JetReader::decodedTable(const QString& table) const {
    const int i = rows_->tableIndex(table);
    if (i < 0)
        throw Error(
            QStringLiteral("入力テーブルまたはクエリ '%1' が見つかりませんでした。(%2)").arg(table, name_),
            errnum::TableNotFound);
    return i;
}

int JetReader::jetVersion() const {
    if (rows_)
        return rows_->jetVersion();
    return IS_JET3(d_->mdb) ? 3 : 4;
}

QStringList JetReader::tables() const {
    if (rows_)
        return rows_->tables();
    QStringList names;
    for (const auto& t : d_->tables)
        names << t.name;
    return names;
}

bool JetReader::hasTable(const QString& name) const {
    return tables().contains(name, Qt::CaseInsensitive);
}

std::vector<Column> JetReader::columns(const QString& table) const {
    if (rows_)
        return rows_->columns(decodedTable(table));
    return d_->table(table).columns;
}

qint64 JetReader::rowCount(const QString& table) const {
    if (rows_)
        return rows_->rowCount(decodedTable(table));
    auto& t = d_->table(table);
    qint64 n = 0;
    d_->scan(t, [&](MdbField*) { ++n; });
    return n;
}

void JetReader::forEachRow(const QString& table, const std::function<void(const Row&)>& visit) const {
    if (rows_) {
        rows_->forEachRow(decodedTable(table), visit);
        return;
    }
    auto& t = d_->table(table);
    Row row(t.columns.size());
    d_->scan(t, [&](MdbField* fields) {
        for (std::size_t i = 0; i < t.columns.size(); ++i)
            row[std::size_t(fields[i].colnum)] = d_->decode(t, fields[i]);
        visit(row);
    });
}

std::vector<Row> JetReader::readRows(const QString& table, const std::vector<qint64>& places) const {
    const qint64 count = rowCount(table);
    for (qint64 p : places)
        if (p < 0 || p >= count)
            throw Error(QStringLiteral("テーブル '%1' に行 %2 はありません。").arg(table).arg(p),
                        errnum::ItemNotFound);
    std::vector<Row> rows(places.size());
    if (rows_) {
        const int t = decodedTable(table);
        for (std::size_t i = 0; i < places.size(); ++i)
            rows[i] = rows_->readRow(t, places[i]);
        return rows;
    }
    std::unordered_multimap<qint64, std::size_t> wanted;
    for (std::size_t i = 0; i < places.size(); ++i)
        wanted.emplace(places[i], i);
    qint64 at = 0;
    forEachRow(table, [&](const Row& row) {
        const auto [from, to] = wanted.equal_range(at++);
        for (auto it = from; it != to; ++it)
            rows[it->second] = row;
    });
    return rows;
}

qint64 JetReader::decodedBytes() const {
    return rows_ ? rows_->decodedBytes() : 0;
}

RowSet JetReader::readTable(const QString& table) const {
    return select(Query{table, {}, {}});
}

RowSet JetReader::select(const Query& query) const {
    // Resolve the filter columns first so an unknown column fails before any reading.
    RowSet shape(columns(query.table), {}); // 3078 for an unknown table
    QString tableName = query.table;
    for (const QString& n : tables())
        if (n.compare(query.table, Qt::CaseInsensitive) == 0)
            tableName = n;
    std::vector<std::pair<std::size_t, Value>> filters;
    for (const auto& [column, value] : query.where) {
        const int i = shape.columnIndex(column);
        if (i < 0)
            throw Error(QStringLiteral(
                            "要求された名前または序数に対応する項目がコレクションで見つかりません。(%1.%2)")
                            .arg(tableName, column),
                        errnum::ItemNotFound);
        filters.emplace_back(std::size_t(i), value);
    }
    for (const QString& c : query.orderBy)
        if (!shape.hasColumn(c))
            throw Error(QStringLiteral(
                            "要求された名前または序数に対応する項目がコレクションで見つかりません。(%1.%2)")
                            .arg(tableName, c),
                        errnum::ItemNotFound);
    std::vector<Row> rows;
    if (rows_) {
        rows_->forEachRow(decodedTable(query.table), [&](const Row& row) {
            for (const auto& [i, value] : filters)
                if (!row[i].sqlEquals(value))
                    return;
            rows.push_back(row);
        });
    } else {
        // Only the filter columns are decoded for rows that do not match.
        auto& t = d_->table(query.table);
        d_->scan(t, [&](MdbField* fields) {
            for (const auto& [i, value] : filters)
                if (!d_->decode(t, fields[i]).sqlEquals(value))
                    return;
            Row row(t.columns.size());
            for (std::size_t i = 0; i < t.columns.size(); ++i)
                row[std::size_t(fields[i].colnum)] = d_->decode(t, fields[i]);
            rows.push_back(std::move(row));
        });
    }
    RowSet result(shape.columns(), std::move(rows));
    return query.orderBy.isEmpty() ? result : result.orderBy(query.orderBy);
}

} // namespace kemnoa::jet
