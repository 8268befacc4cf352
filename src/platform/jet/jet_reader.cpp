#include "platform/jet/jet_reader.h"

#include "platform/jet/isolated_run.h"
#include "platform/jet/jet_error.h"
#include "platform/jet/jet_text.h"
#include "platform/text/cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUuid>
#include <cstring>
#include <mdbtools.h>

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
    // Visits each live row; decode(fields) is called with the cracked fields of the row.
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

void JetReader::Impl::scan(Table& t, const std::function<void(MdbField*)>& visit) const {
    MdbTableDef* def = t.def.get();
    std::vector<MdbField> fields(def->num_cols);
    const int rco = mdb->fmt->row_count_offset;
    const int pageSize = int(mdb->fmt->pg_size);
    mdb_rewind_table(def);
    while (mdb_read_next_dpg(def)) {
        const guint32 page = def->cur_phys_pg;
        const int rows = le16(mdb->pg_buf + rco);
        if (rco + 2 + rows * 2 > pageSize)
            damaged(name, QStringLiteral("データページ %1 が壊れています。").arg(page));
        for (int r = 0; r < rows; ++r) {
            const int raw = le16(mdb->pg_buf + rco + 2 + r * 2);
            if (raw & 0x4000) // deleted
                continue;
            int start = 0;
            size_t len = 0;
            if (mdb_find_row(mdb, r, &start, &len) != 0 || len == 0)
                damaged(name, QStringLiteral("データページ %1 の行 %2 が壊れています。").arg(page).arg(r));
            start &= 0x1fff;
            bool moved = false;
            if (raw & 0x8000) { // the row lives on an overflow page; its slot holds the pointer
                if (len < 4)
                    damaged(name,
                            QStringLiteral("データページ %1 の行 %2 が壊れています。").arg(page).arg(r));
                void* buf = nullptr;
                int off = 0;
                size_t olen = 0;
                if (mdb_find_pg_row(mdb, int(le32(mdb->pg_buf + start)), &buf, &off, &olen) != 0 || olen == 0)
                    damaged(
                        name,
                        QStringLiteral("データページ %1 の行 %2 の移動先が読めません。").arg(page).arg(r));
                mdb_swap_pgbuf(mdb);
                start = off;
                len = olen;
                moved = true;
            }
            if (mdb_crack_row(def, start, len, fields.data()) < 0)
                damaged(
                    name,
                    QStringLiteral("テーブル '%1' の行が壊れています (ページ %2)。").arg(t.name).arg(page));
            visit(fields.data());
            if (moved && mdb_read_pg(mdb, page) != pageSize) // bring the row's own page back
                damaged(name, QStringLiteral("データページ %1 が読めません。").arg(page));
        }
    }
}

JetReader::JetReader(std::unique_ptr<Impl> impl) : d_(std::move(impl)) {}
JetReader::~JetReader() = default;
JetReader::JetReader(JetReader&&) noexcept = default;
JetReader& JetReader::operator=(JetReader&&) noexcept = default;

JetReader::JetReader(const QString& path) : JetReader(path, Options()) {}

JetReader::JetReader(const QString& path, const Options& options) {
    QFile file(path);
    if (!QFileInfo(path).isFile())
        throw Error(QStringLiteral("ファイル '%1' が見つかりませんでした。").arg(path), errnum::FileNotFound);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("ファイル '%1' を開けません。%2").arg(path, file.errorString()),
                    errnum::FileNotFound);
    d_ = load(file.readAll(), path, options).d_;
}

JetReader JetReader::fromBytes(QByteArray bytes, const Options& options) {
    return load(std::move(bytes), QStringLiteral("(memory)"), options);
}

JetReader JetReader::load(QByteArray bytes, const QString& name, const Options& options) {
    auto impl = std::make_unique<Impl>();
    impl->bytes = std::move(bytes);
    impl->name = name;
    if (options.isolate) {
        // Parse everything once in a child; only a file that passes is parsed here.
        const QByteArray copy = impl->bytes;
        const auto outcome = runIsolated(
            [&copy] {
                Options inner;
                inner.isolate = false;
                JetReader r = fromBytes(copy, inner);
                for (const QString& t : r.tables())
                    r.forEachRow(t, [](const Row&) {});
                return true;
            },
            IsolationLimits{options.timeoutMs, options.memoryBytes});
        switch (outcome) {
        case IsolatedOutcome::Succeeded:
            break;
        case IsolatedOutcome::Failed:
            break; // parse again here to get the precise message
        case IsolatedOutcome::Crashed:
            damaged(impl->name, QStringLiteral("ファイルが壊れています (解析が異常終了しました)。"));
        case IsolatedOutcome::TimedOut:
            damaged(impl->name,
                    QStringLiteral("ファイルが壊れています (解析が時間内に終わりませんでした)。"));
        case IsolatedOutcome::CouldNotStart:
            throw Error(QStringLiteral("ファイルを検査する子プロセスを起動できません。"),
                        errnum::UnrecognizedFormat);
        }
    }
    impl->open();
    return JetReader(std::move(impl));
}

int JetReader::jetVersion() const {
    return IS_JET3(d_->mdb) ? 3 : 4;
}

QStringList JetReader::tables() const {
    QStringList names;
    for (const auto& t : d_->tables)
        names << t.name;
    return names;
}

bool JetReader::hasTable(const QString& name) const {
    for (const auto& t : d_->tables)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

std::vector<Column> JetReader::columns(const QString& table) const {
    return d_->table(table).columns;
}

qint64 JetReader::rowCount(const QString& table) const {
    auto& t = d_->table(table);
    qint64 n = 0;
    d_->scan(t, [&](MdbField*) { ++n; });
    return n;
}

void JetReader::forEachRow(const QString& table, const std::function<void(const Row&)>& visit) const {
    auto& t = d_->table(table);
    Row row(t.columns.size());
    d_->scan(t, [&](MdbField* fields) {
        for (std::size_t i = 0; i < t.columns.size(); ++i)
            row[std::size_t(fields[i].colnum)] = d_->decode(t, fields[i]);
        visit(row);
    });
}

RowSet JetReader::readTable(const QString& table) const {
    return select(Query{table, {}, {}});
}

RowSet JetReader::select(const Query& query) const {
    auto& t = d_->table(query.table);
    // Resolve the filter columns first so an unknown column fails before any reading.
    RowSet shape(t.columns, {});
    std::vector<std::pair<std::size_t, Value>> filters;
    for (const auto& [column, value] : query.where) {
        const int i = shape.columnIndex(column);
        if (i < 0)
            throw Error(QStringLiteral(
                            "要求された名前または序数に対応する項目がコレクションで見つかりません。(%1.%2)")
                            .arg(t.name, column),
                        errnum::ItemNotFound);
        filters.emplace_back(std::size_t(i), value);
    }
    for (const QString& c : query.orderBy)
        if (!shape.hasColumn(c))
            throw Error(QStringLiteral(
                            "要求された名前または序数に対応する項目がコレクションで見つかりません。(%1.%2)")
                            .arg(t.name, c),
                        errnum::ItemNotFound);
    std::vector<Row> rows;
    d_->scan(t, [&](MdbField* fields) {
        for (const auto& [i, value] : filters)
            if (!d_->decode(t, fields[i]).sqlEquals(value))
                return;
        Row row(t.columns.size());
        for (std::size_t i = 0; i < t.columns.size(); ++i)
            row[std::size_t(fields[i].colnum)] = d_->decode(t, fields[i]);
        rows.push_back(std::move(row));
    });
    RowSet result(t.columns, std::move(rows));
    return query.orderBy.isEmpty() ? result : result.orderBy(query.orderBy);
}

} // namespace kemnoa::jet
