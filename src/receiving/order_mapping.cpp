#include "receiving/order_mapping.h"

#include "receiving/half_width.h"

#include <QDate>
#include <QDateTime>
#include <cmath>

namespace kemnoa::receiving {
namespace {

bool isNull(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

bool isNumeric(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

QString numberText(const QVariant& v) {
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
            return QString::number(static_cast<qint64>(d));
        return QString::number(d, 'g', QLocale::FloatingPointShortest);
    }
    return v.toString();
}

// The fixed quality text of a hang-tag line whose seventh quality line is in use.
const QStringList& fixedQualityLines() {
    static const QStringList lines{QStringLiteral("品質については"), QStringLiteral("洗濯ネームを"),
                                   QStringLiteral("ご参照して"), QStringLiteral("下さい")};
    return lines;
}

struct QualityColumns {
    int first = -1; // position of TAPH1; the 36 triple columns follow it
    int taph7 = -1;
    int tapr7 = -1;
    int taphn = -1;
};

QualityColumns qualityColumns(const TableDef& t) {
    QualityColumns q;
    for (int i = 0; i < static_cast<int>(t.columns.size()); ++i) {
        const QString& n = t.columns[i].name;
        if (n == QLatin1String("TAPH1"))
            q.first = i;
        else if (n == QLatin1String("TAPH7"))
            q.taph7 = i;
        else if (n == QLatin1String("TAPR7"))
            q.tapr7 = i;
        else if (n == QLatin1String("TAPHN"))
            q.taphn = i;
    }
    return q;
}

} // namespace

std::vector<int> resolveColumns(const TableDef& table, const QStringList& fileColumns) {
    std::vector<int> pos;
    pos.reserve(table.columns.size());
    const bool header = &table == &headerTable();
    for (const ColumnDef& c : table.columns) {
        if (header && isHeaderSystemColumn(c.name)) {
            pos.push_back(-1);
            continue;
        }
        const qsizetype i = fileColumns.indexOf(c.name, 0);
        qsizetype found = i;
        if (found < 0) // Jet compares column names without regard to case
            for (qsizetype k = 0; k < fileColumns.size() && found < 0; ++k)
                if (fileColumns[k].compare(c.name, Qt::CaseInsensitive) == 0)
                    found = k;
        if (found < 0)
            throw core::Error(
                QStringLiteral("テーブル'%1'に列'%2'がありません。").arg(table.fileTable, c.name),
                importerr::MissingColumn);
        pos.push_back(static_cast<int>(found));
    }
    return pos;
}

QString textValue(const QVariant& v) {
    if (isNull(v))
        return QStringLiteral(""); // not a null QString: that would be bound as a Null
    if (isNumeric(v))
        return numberText(v);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy/MM/dd"))
                                        : dt.toString(QStringLiteral("yyyy/MM/dd H:mm:ss"));
    }
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("yyyy/MM/dd"));
    return v.toString();
}

bool isZero(const QVariant& v) {
    if (isNull(v))
        return false;
    if (isNumeric(v))
        return v.toDouble() == 0.0;
    if (v.typeId() == QMetaType::Bool)
        return !v.toBool();
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok && d == 0.0;
}

QVariant numberValue(const QVariant& v, const QString& fileTable, qint64 ordNo, const QString& column) {
    if (isNull(v))
        throw core::Error(QStringLiteral("テーブル'%1'の発注番号(%2)の列'%3'が空(Null)です。")
                              .arg(fileTable, QString::number(ordNo), column),
                          importerr::NullNumber);
    if (isNumeric(v)) {
        if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
            if (!std::isfinite(v.toDouble()))
                throw core::Error(
                    QStringLiteral("テーブル'%1'の発注番号(%2)の列'%3'の値が数値ではありません。")
                        .arg(fileTable, QString::number(ordNo), column),
                    importerr::NotANumber);
            return QVariant(v.toDouble());
        }
        return QVariant(v.toLongLong());
    }
    if (v.typeId() == QMetaType::Bool) // Jet stores True as -1
        return QVariant(qint64(v.toBool() ? -1 : 0));
    const QString s = v.toString().trimmed();
    bool ok = false;
    const qint64 i = s.toLongLong(&ok);
    if (ok)
        return QVariant(i);
    const double d = s.toDouble(&ok);
    if (ok && std::isfinite(d))
        return QVariant(d);
    throw core::Error(QStringLiteral("テーブル'%1'の発注番号(%2)の列'%3'の値'%4'は数値ではありません。")
                          .arg(fileTable, QString::number(ordNo), column, v.toString()),
                      importerr::NotANumber);
}

namespace {

WorkValues mapPlain(const TableDef& t, const SourceValues& src, qint64 ordNo) {
    WorkValues out;
    out.reserve(static_cast<qsizetype>(t.columns.size()));
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
        const ColumnDef& c = t.columns[i];
        if (c.form == Form::Number)
            out.push_back(numberValue(src[i], t.fileTable, ordNo, c.name));
        else
            out.push_back(textValue(src[i]));
    }
    return out;
}

} // namespace

WorkValues mapHeader(const SourceValues& src, qint64 ordNo) {
    const TableDef& t = headerTable();
    WorkValues out;
    out.reserve(static_cast<qsizetype>(t.columns.size()));
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
        const ColumnDef& c = t.columns[i];
        if (c.name == QLatin1String("ERR_SU") || c.name == QLatin1String("PRN_SU"))
            out.push_back(QVariant(qint64(0)));
        else if (c.name == QLatin1String("SEND_FLG"))
            out.push_back(QStringLiteral("9"));
        else if (isHeaderSystemColumn(c.name))
            out.push_back(QStringLiteral(""));
        else if (c.form == Form::Number)
            out.push_back(numberValue(src[i], t.fileTable, ordNo, c.name));
        else
            out.push_back(textValue(src[i]));
    }
    return out;
}

WorkValues mapLine(const TableDef& t, const SourceValues& src, qint64 ordNo) {
    WorkValues out = mapPlain(t, src, ordNo);
    const bool pos = &t == &posTable();
    const bool car = &t == &carTable();
    if (!pos && !car)
        return out;
    static const QualityColumns q = qualityColumns(posTable()); // both line tables share the layout
    const bool fixedText = pos && !(textValue(src[q.taph7]).isEmpty() && isZero(src[q.tapr7]));
    for (int line = 0; line < 12; ++line) {
        const int ph = q.first + 3 * line, pr = ph + 1, pp = ph + 2;
        if (fixedText) {
            out[ph] = line < 4 ? fixedQualityLines()[line] : QStringLiteral("");
            out[pr] = QStringLiteral("");
            out[pp] = QStringLiteral("");
            continue;
        }
        if (isZero(src[pr]))
            out[pr] = QStringLiteral("");
        if (car)
            out[pp] = toHalfWidth(out[pp].toString());
    }
    if (car)
        out[q.taphn] = toHalfWidth(out[q.taphn].toString());
    return out;
}

WorkValues mapStaging(const TableDef& t, const SourceValues& src) {
    WorkValues out;
    out.reserve(static_cast<qsizetype>(t.columns.size()));
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        out.push_back(textValue(src[i]));
    return out;
}

} // namespace kemnoa::receiving
