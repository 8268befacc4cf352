#include "masters/master_csv.h"

#include "core/error.h"

namespace kemnoa::masters {
namespace {

QString csvField(const QString& value) {
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) &&
        !value.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\r')))
        return value;
    QString v = value;
    v.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + v + QLatin1Char('"');
}

QString csvLine(const QStringList& fields) {
    if (fields.size() == 1 && fields.front().isEmpty())
        return QStringLiteral("\"\"\r\n"); // a blank line would be no record at all
    QStringList out;
    for (const QString& f : fields)
        out << csvField(f);
    return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

[[noreturn]] void fail(const QString& text) {
    throw core::Error(text, core::errnum::General);
}

// Splits CSV text into records of fields; a quoted field may hold commas, quotes ("") and line
// breaks. Blank lines are skipped.
std::vector<QStringList> splitRecords(const QString& text) {
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the current field was quoted
    bool lineHasData = false;
    int line = 1;
    auto endField = [&] {
        record << field;
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        if (lineHasData || record.size() > 0) {
            endField();
            records.push_back(record);
        }
        record.clear();
        field.clear();
        lineHasData = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (!field.isEmpty() || wasQuoted)
                fail(QStringLiteral("CSVの%1行目：引用符の位置が正しくありません。").arg(line));
            quoted = wasQuoted = lineHasData = true;
        } else if (c == QLatin1Char(',')) {
            endField();
            lineHasData = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endRecord();
            ++line;
        } else {
            if (wasQuoted)
                fail(QStringLiteral("CSVの%1行目：引用符の後に文字があります。").arg(line));
            field += c;
            lineHasData = true;
        }
    }
    if (quoted)
        fail(QStringLiteral("CSVの%1行目：引用符が閉じていません。").arg(line));
    endRecord();
    return records;
}

} // namespace

QByteArray masterCsv(RefMaster kind, const MasterRows& rows) {
    QStringList header;
    for (const MasterColumn& c : masterDef(kind).columns)
        header << c.column;
    QString text = csvLine(header);
    for (const QStringList& row : rows)
        text += csvLine(row);
    return text.toUtf8();
}

MasterRows parseMasterCsv(RefMaster kind, const QByteArray& data) {
    QByteArray bytes = data;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const std::vector<QStringList> records = splitRecords(QString::fromUtf8(bytes));
    if (records.empty())
        fail(QStringLiteral("CSVに見出し行がありません。"));
    const MasterDef& def = masterDef(kind);
    const QStringList& header = records.front();
    // Where each grid column stands in the file.
    std::vector<int> at(def.columns.size(), -1);
    for (int f = 0; f < header.size(); ++f) {
        const QString name = header.at(f).trimmed();
        int found = -1;
        for (std::size_t c = 0; c < def.columns.size(); ++c)
            if (name.compare(def.columns[c].column, Qt::CaseInsensitive) == 0 ||
                name == def.columns[c].caption)
                found = static_cast<int>(c);
        if (found < 0)
            fail(QStringLiteral("CSVの見出し「%1」は%2の列ではありません。").arg(name, def.table));
        if (at[found] >= 0)
            fail(QStringLiteral("CSVの見出し「%1」が二度あります。").arg(name));
        at[found] = f;
    }
    for (std::size_t c = 0; c < def.columns.size(); ++c)
        if (at[c] < 0)
            fail(QStringLiteral("CSVに見出し「%1」がありません。").arg(def.columns[c].column));
    MasterRows rows;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const QStringList& rec = records[r];
        if (rec.size() != header.size())
            fail(QStringLiteral("CSVの%1件目のレコードの項目数（%2）が見出し（%3）と合いません。")
                     .arg(r)
                     .arg(rec.size())
                     .arg(header.size()));
        QStringList row;
        for (std::size_t c = 0; c < def.columns.size(); ++c)
            row << rec.at(at[c]);
        rows.push_back(row);
    }
    return rows;
}

} // namespace kemnoa::masters
