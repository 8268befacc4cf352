#include "platform/jet/decoded_rows.h"

#include <QFileInfo>
#include <cstring>

namespace kemnoa::jet {

namespace {

const QByteArray kMagic("KJROWS01");
const QByteArray kErrorMagic("KJERROR1");
constexpr qsizetype kFlushAt = 1 << 20;
constexpr qsizetype kChunk = 1 << 20;

void append32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}
void append64(QByteArray& b, quint64 v) {
    for (int i = 0; i < 8; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}
void appendString(QByteArray& b, const QString& s) {
    append32(b, quint32(s.size() * 2));
    b.append(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

[[noreturn]] void damagedRows(const QString& fileName) {
    throw Error(
        QStringLiteral("データベースの形式 '%1' を認識できません。解析結果が壊れています。").arg(fileName),
        errnum::UnrecognizedFormat);
}

} // namespace

void fileTooLarge(const QString& file, qint64 size, qint64 limit) {
    throw Error(
        QStringLiteral("ファイル '%1' の大きさ (%2 バイト) が受け付ける上限 (%3 バイト) を超えています。")
            .arg(file)
            .arg(size)
            .arg(limit),
        errnum::LimitExceeded);
}

DecodedRowsWriter::DecodedRowsWriter(int fd, const ReadLimits& limits, const QString& fileName)
    : limits_(limits), fileName_(fileName) {
    if (!file_.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        throw Error(QStringLiteral("解析結果を書き込めません。"), errnum::WriteFailed);
}

DecodedRowsWriter::~DecodedRowsWriter() = default;

void DecodedRowsWriter::put(const QByteArray& bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= kFlushAt) {
        if (file_.write(buffer_) != buffer_.size())
            throw Error(QStringLiteral("解析結果を書き込めません。%1").arg(file_.errorString()),
                              errnum::WriteFailed);
        buffer_.clear();
    }
}

void DecodedRowsWriter::begin(int jetVersion) {
    QByteArray b = kMagic;
    b.append(char(jetVersion));
    put(b);
}

void DecodedRowsWriter::table(const QString& name, const std::vector<Column>& columns) {
    QByteArray b("T");
    appendString(b, name);
    append32(b, quint32(columns.size()));
    for (const Column& c : columns) {
        appendString(b, c.name);
        b.append(char(c.type));
        append32(b, quint32(c.size));
    }
    put(b);
    table_ = name;
    rows_ = 0;
    cells_ = 0;
    columns_ = qint64(columns.size());
}

void DecodedRowsWriter::row(const Row& values) {
    if (++rows_ > limits_.rowsPerTable)
        throw Error(QStringLiteral("テーブル '%1' の行数が上限 (%2 行) を超えています。(%3)")
                              .arg(table_)
                              .arg(limits_.rowsPerTable)
                              .arg(fileName_),
                          errnum::LimitExceeded);
    cells_ += columns_;
    if (cells_ > limits_.cellsPerTable)
        throw Error(
            QStringLiteral("テーブル '%1' の値の数 (行数×列数) が上限 (%2) を超えています。(%3)")
                .arg(table_)
                .arg(limits_.cellsPerTable)
                .arg(fileName_),
            errnum::LimitExceeded);
    QByteArray b("R");
    for (const Value& v : values) {
        b.append(char(v.kind()));
        switch (v.kind()) {
        case Value::Kind::Null:
            break;
        case Value::Kind::Boolean:
            b.append(char(v.asInt64() != 0 ? 1 : 0));
            break;
        case Value::Kind::Integer:
        case Value::Kind::Currency:
            append64(b, quint64(v.asInt64()));
            break;
        case Value::Kind::Double:
        case Value::Kind::DateTime: {
            const double d = v.asDouble();
            quint64 bits;
            std::memcpy(&bits, &d, 8);
            append64(b, bits);
            break;
        }
        case Value::Kind::Text:
            appendString(b, v.asText());
            break;
        case Value::Kind::Binary:
            append32(b, quint32(v.asBytes().size()));
            b.append(v.asBytes());
            break;
        }
    }
    written_ += b.size();
    if (written_ > limits_.decodedBytes)
        throw Error(
            QStringLiteral("ファイルの値の合計 (テーブル '%1' まで) が上限 (%2 バイト) を超えています。(%3)")
                .arg(table_)
                .arg(limits_.decodedBytes)
                .arg(fileName_),
            errnum::LimitExceeded);
    put(b);
}

void DecodedRowsWriter::finish() {
    put(QByteArray("Z"));
    if (file_.write(buffer_) != buffer_.size() || !file_.flush())
        throw Error(QStringLiteral("解析結果を書き込めません。%1").arg(file_.errorString()),
                          errnum::WriteFailed);
    buffer_.clear();
}

void DecodedRowsWriter::fail(const QString& description, long number) {
    buffer_.clear();
    file_.seek(0);
    file_.resize(0);
    QByteArray b = kErrorMagic;
    append64(b, quint64(qint64(number)));
    appendString(b, description.left(2000));
    file_.write(b);
    file_.flush();
}

// A buffered, bounds-checked reader of the decoded file.
struct DecodedRows::Input {
    QFile file;
    QString fileName;
    qint64 size = 0;
    QByteArray buffer;
    qint64 bufferStart = 0; // file position of buffer[0]
    qsizetype pos = 0;      // within buffer

    qint64 position() const { return bufferStart + pos; }
    void seek(qint64 at) {
        if (at >= bufferStart && at <= bufferStart + buffer.size()) {
            pos = qsizetype(at - bufferStart);
            return;
        }
        buffer.clear();
        bufferStart = at;
        pos = 0;
    }
    // Makes n bytes available at pos.
    void need(qint64 n) {
        if (n < 0 || position() + n > size)
            damagedRows(fileName);
        if (pos + n <= buffer.size())
            return;
        const qint64 at = position();
        if (!file.seek(at))
            damagedRows(fileName);
        buffer = file.read(std::max<qint64>(n, kChunk));
        bufferStart = at;
        pos = 0;
        if (buffer.size() < n)
            damagedRows(fileName);
    }
    quint8 u8() {
        need(1);
        return quint8(buffer[pos++]);
    }
    quint32 u32() {
        need(4);
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v |= quint32(quint8(buffer[pos + i])) << (8 * i);
        pos += 4;
        return v;
    }
    quint64 u64() {
        need(8);
        quint64 v = 0;
        for (int i = 0; i < 8; ++i)
            v |= quint64(quint8(buffer[pos + i])) << (8 * i);
        pos += 8;
        return v;
    }
    QByteArray bytes(quint32 n) {
        need(qint64(n));
        QByteArray b = buffer.mid(pos, qsizetype(n));
        pos += qsizetype(n);
        return b;
    }
    QString string() {
        const quint32 n = u32();
        if (n % 2)
            damagedRows(fileName);
        need(qint64(n));
        QString s(reinterpret_cast<const QChar*>(buffer.constData() + pos), qsizetype(n / 2));
        pos += qsizetype(n);
        return s;
    }
    void skip(qint64 n) {
        if (n < 0 || position() + n > size)
            damagedRows(fileName);
        seek(position() + n);
    }
    Row row(std::size_t columns) {
        Row r(columns);
        for (Value& v : r) {
            const quint8 kind = u8();
            switch (Value::Kind(kind)) {
            case Value::Kind::Null:
                break;
            case Value::Kind::Boolean:
                v = Value::boolean(u8() != 0);
                break;
            case Value::Kind::Integer:
                v = Value::integer(qint64(u64()));
                break;
            case Value::Kind::Currency:
                v = Value::currency(qint64(u64()));
                break;
            case Value::Kind::Double:
            case Value::Kind::DateTime: {
                const quint64 bits = u64();
                double d;
                std::memcpy(&d, &bits, 8);
                v = Value::Kind(kind) == Value::Kind::Double ? Value::real(d) : Value::dateTime(d);
                break;
            }
            case Value::Kind::Text:
                v = Value::text(string());
                break;
            case Value::Kind::Binary:
                v = Value::binary(bytes(u32()));
                break;
            default:
                damagedRows(fileName);
            }
        }
        return r;
    }
    // Passes over a row without building it.
    void skipRow(std::size_t columns) {
        for (std::size_t c = 0; c < columns; ++c) {
            switch (Value::Kind(u8())) {
            case Value::Kind::Null:
                break;
            case Value::Kind::Boolean:
                skip(1);
                break;
            case Value::Kind::Integer:
            case Value::Kind::Currency:
            case Value::Kind::Double:
            case Value::Kind::DateTime:
                skip(8);
                break;
            case Value::Kind::Text:
            case Value::Kind::Binary:
                skip(qint64(u32()));
                break;
            default:
                damagedRows(fileName);
            }
        }
    }
};

DecodedRows::~DecodedRows() = default;

std::unique_ptr<DecodedRows> DecodedRows::open(const QString& path, const ReadLimits& limits,
                                               const QString& fileName) {
    std::unique_ptr<DecodedRows> d(new DecodedRows);
    d->input_ = std::make_unique<Input>();
    Input& in = *d->input_;
    in.fileName = fileName;
    in.file.setFileName(path);
    if (!in.file.open(QIODevice::ReadOnly))
        damagedRows(fileName);
    in.size = in.file.size();
    if (in.size >= kErrorMagic.size() && in.file.peek(kErrorMagic.size()) == kErrorMagic) {
        in.skip(kErrorMagic.size());
        const long number = long(qint64(in.u64()));
        const QString description = in.string();
        throw Error(description, number);
    }
    if (in.bytes(quint32(kMagic.size())) != kMagic)
        damagedRows(fileName);
    d->jetVersion_ = in.u8();
    for (;;) {
        const quint8 tag = in.u8();
        if (tag == 'Z')
            break;
        if (tag == 'T') {
            Table t;
            t.name = in.string();
            const quint32 columns = in.u32();
            if (columns == 0 || columns > 4096)
                damagedRows(fileName);
            for (quint32 c = 0; c < columns; ++c) {
                Column col;
                col.name = in.string();
                const quint8 type = in.u8();
                if (!isKnownColumnType(type))
                    damagedRows(fileName);
                col.type = ColumnType(type);
                col.size = int(in.u32());
                t.columns.push_back(col);
            }
            d->tables_.push_back(std::move(t));
        } else if (tag == 'R' && !d->tables_.empty()) {
            Table& t = d->tables_.back();
            if (qint64(t.rows.size()) >= limits.rowsPerTable)
                damagedRows(fileName);
            const qint64 start = in.position() - 1;
            t.rows.push_back(in.position());
            in.skipRow(t.columns.size());
            d->decodedBytes_ += in.position() - start;
        } else {
            damagedRows(fileName);
        }
    }
    return d;
}

QStringList DecodedRows::tables() const {
    QStringList names;
    for (const Table& t : tables_)
        names << t.name;
    return names;
}

int DecodedRows::tableIndex(const QString& name) const {
    for (std::size_t i = 0; i < tables_.size(); ++i)
        if (tables_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void DecodedRows::forEachRow(int table, const std::function<void(const Row&)>& visit) const {
    const Table& t = tables_[std::size_t(table)];
    for (qint64 at : t.rows) {
        input_->seek(at);
        visit(input_->row(t.columns.size()));
    }
}

Row DecodedRows::readRow(int table, qint64 row) const {
    const Table& t = tables_[std::size_t(table)];
    input_->seek(t.rows.at(std::size_t(row)));
    return input_->row(t.columns.size());
}

} // namespace kemnoa::jet
