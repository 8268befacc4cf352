#include "platform/jet/jet_value.h"

#include <QDate>
#include <charconv>
#include <cmath>

namespace kemnoa::jet {

QString columnTypeName(ColumnType type) {
    switch (type) {
    case ColumnType::Boolean:
        return QStringLiteral("Boolean");
    case ColumnType::Byte:
        return QStringLiteral("Byte");
    case ColumnType::Integer:
        return QStringLiteral("Integer");
    case ColumnType::Long:
        return QStringLiteral("Long Integer");
    case ColumnType::Currency:
        return QStringLiteral("Currency");
    case ColumnType::Single:
        return QStringLiteral("Single");
    case ColumnType::Double:
        return QStringLiteral("Double");
    case ColumnType::DateTime:
        return QStringLiteral("DateTime");
    case ColumnType::Binary:
        return QStringLiteral("Binary");
    case ColumnType::Text:
        return QStringLiteral("Text");
    case ColumnType::Ole:
        return QStringLiteral("OLE");
    case ColumnType::Memo:
        return QStringLiteral("Memo");
    case ColumnType::Guid:
        return QStringLiteral("Replication ID");
    case ColumnType::Numeric:
        return QStringLiteral("Numeric");
    }
    return QStringLiteral("Unknown");
}

bool isKnownColumnType(quint8 code) {
    return (code >= 0x01 && code <= 0x0c) || code == 0x0f || code == 0x10;
}

qint64 Value::asInt64() const {
    if (const auto* i = std::get_if<qint64>(&data_))
        return *i;
    if (const auto* d = std::get_if<double>(&data_))
        return qint64(*d);
    return 0;
}

double Value::asDouble() const {
    if (kind_ == Kind::Currency)
        return double(std::get<qint64>(data_)) / 10000.0;
    if (const auto* i = std::get_if<qint64>(&data_))
        return double(*i);
    if (const auto* d = std::get_if<double>(&data_))
        return *d;
    if (const auto* s = std::get_if<QString>(&data_))
        return s->trimmed().toDouble();
    return 0.0;
}

const QString& Value::asText() const {
    static const QString empty;
    const auto* s = std::get_if<QString>(&data_);
    return s ? *s : empty;
}

const QByteArray& Value::asBytes() const {
    static const QByteArray empty;
    const auto* b = std::get_if<QByteArray>(&data_);
    return b ? *b : empty;
}

namespace {

QString shortestDouble(double d) {
    if (std::isnan(d))
        return QStringLiteral("NaN");
    if (std::isinf(d))
        return d > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, d);
    return QString::fromLatin1(buf, res.ptr - buf);
}

QString currencyText(qint64 v) {
    const bool negative = v < 0;
    const quint64 a = negative ? quint64(0) - quint64(v) : quint64(v);
    QString s = QString::number(a / 10000);
    quint64 frac = a % 10000;
    if (frac) {
        QString f = QString::number(frac).rightJustified(4, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char('.') + f;
    }
    return negative ? QLatin1Char('-') + s : s;
}

QString dateText(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return shortestDouble(days);
    double dayPart = std::trunc(days);
    qint64 seconds = qint64(std::llround(std::fabs(days - dayPart) * 86400.0));
    if (seconds >= 86400) {
        seconds -= 86400;
        dayPart += days < 0 ? -1 : 1;
    }
    const QDate date = QDate(1899, 12, 30).addDays(qint64(dayPart));
    QString s = date.toString(QStringLiteral("yyyy/MM/dd"));
    if (seconds)
        s += QStringLiteral(" %1:%2:%3")
                 .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                 .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                 .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return s;
}

} // namespace

QString Value::toText() const {
    switch (kind_) {
    case Kind::Null:
        return QString();
    case Kind::Boolean:
        return asInt64() ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Integer:
        return QString::number(asInt64());
    case Kind::Double:
        return shortestDouble(std::get<double>(data_));
    case Kind::Currency:
        return currencyText(std::get<qint64>(data_));
    case Kind::DateTime:
        return dateText(std::get<double>(data_));
    case Kind::Text:
        return asText();
    case Kind::Binary:
        return QString::fromLatin1(asBytes().toHex());
    }
    return QString();
}

namespace {

// Exact comparison of two numeric values; integers and currency compare without rounding.
int compareNumbers(const Value& a, const Value& b) {
    using K = Value::Kind;
    auto intLike = [](const Value& v) { return v.kind() == K::Integer || v.kind() == K::Boolean; };
    if (intLike(a) && intLike(b))
        return a.asInt64() < b.asInt64() ? -1 : (a.asInt64() > b.asInt64() ? 1 : 0);
    const double x = a.asDouble(), y = b.asDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

} // namespace

bool Value::sqlEquals(const Value& other) const {
    if (isNull() || other.isNull())
        return false;
    if (isNumber() && other.isNumber())
        return compareNumbers(*this, other) == 0;
    if (kind_ == Kind::Text && other.kind_ == Kind::Text)
        return asText() == other.asText();
    if (kind_ == Kind::Binary || other.kind_ == Kind::Binary)
        return kind_ == other.kind_ && asBytes() == other.asBytes();
    // A number against a text: compare by the text's numeric value, as Jet converts it.
    const Value& text = kind_ == Kind::Text ? *this : other;
    const Value& number = kind_ == Kind::Text ? other : *this;
    bool ok = false;
    const double d = text.asText().trimmed().toDouble(&ok);
    return ok && compareNumbers(number, Value::real(d)) == 0;
}

int Value::compare(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    if (a.isNumber() && b.isNumber())
        return compareNumbers(a, b);
    if (a.kind_ == Kind::Binary && b.kind_ == Kind::Binary)
        return a.asBytes() < b.asBytes() ? -1 : (b.asBytes() < a.asBytes() ? 1 : 0);
    // Mixed kinds order by their text, which keeps the sort total.
    const QString x = a.toText(), y = b.toText();
    return x < y ? -1 : (y < x ? 1 : 0);
}

double toJetDate(int year, int month, int day, int hour, int minute, int second) {
    const qint64 days = QDate(1899, 12, 30).daysTo(QDate(year, month, day));
    const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

} // namespace kemnoa::jet
