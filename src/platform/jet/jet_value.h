#pragma once
// Column types and typed cell values of Access (Jet) tables.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <variant>
#include <vector>

namespace kemnoa::jet {

// Jet's own type codes, as stored in a table definition.
enum class ColumnType : quint8 {
    Boolean = 0x01,
    Byte = 0x02,
    Integer = 0x03,  // 16-bit
    Long = 0x04,     // 32-bit
    Currency = 0x05, // 64-bit, ten-thousandths
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08, // days since 1899-12-30 as a double
    Binary = 0x09,
    Text = 0x0a,
    Ole = 0x0b,
    Memo = 0x0c,
    Guid = 0x0f,
    Numeric = 0x10,
};

// The name Access shows for a type ("Text", "Long Integer", ...).
QString columnTypeName(ColumnType type);
bool isKnownColumnType(quint8 code);

struct Column {
    QString name;
    ColumnType type = ColumnType::Text;
    int size = 0; // bytes in the row (Text: 2 per character); 0 for Memo and Ole
};

// One cell. Null is its own kind, apart from empty text.
class Value {
public:
    enum class Kind : quint8 { Null, Boolean, Integer, Double, Currency, DateTime, Text, Binary };

    Value() = default;
    static Value boolean(bool b) { return Value(Kind::Boolean, qint64(b ? 1 : 0)); }
    static Value integer(qint64 i) { return Value(Kind::Integer, i); }
    static Value real(double d) { return Value(Kind::Double, d); }
    // Currency in ten-thousandths of a unit, as Jet stores it.
    static Value currency(qint64 tenThousandths) { return Value(Kind::Currency, tenThousandths); }
    // Date-time as Jet stores it: days since 1899-12-30, the fraction being the time of day.
    static Value dateTime(double days) { return Value(Kind::DateTime, days); }
    static Value text(QString s) { return Value(Kind::Text, std::move(s)); }
    static Value binary(QByteArray b) { return Value(Kind::Binary, std::move(b)); }

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool isNumber() const {
        return kind_ == Kind::Boolean || kind_ == Kind::Integer || kind_ == Kind::Double ||
               kind_ == Kind::Currency || kind_ == Kind::DateTime;
    }

    // Raw payloads; each is valid for the kinds named.
    qint64 asInt64() const;            // Boolean, Integer, Currency (ten-thousandths)
    double asDouble() const;           // any number; Currency scaled to units
    const QString& asText() const;     // Text (empty for other kinds)
    const QByteArray& asBytes() const; // Binary

    // The value as text: numbers in their shortest exact decimal form, currency without trailing
    // zeros, date-times "yyyy/MM/dd hh:mm:ss" (date only at midnight), booleans "True"/"False",
    // binary as hexadecimal. Null gives an empty text; ask isNull() to tell it apart.
    QString toText() const;

    // Equality as a Where clause compares: numbers by value across kinds, text exactly,
    // a number and a text by the text's numeric value. Null equals nothing.
    bool sqlEquals(const Value& other) const;
    // Ordering as Order By sorts: Null first, numbers by value, text by code points.
    static int compare(const Value& a, const Value& b);

    bool operator==(const Value& other) const { return kind_ == other.kind_ && data_ == other.data_; }

private:
    using Data = std::variant<std::monostate, qint64, double, QString, QByteArray>;
    Value(Kind k, Data d) : kind_(k), data_(std::move(d)) {}
    Kind kind_ = Kind::Null;
    Data data_;
};

using Row = std::vector<Value>;

// Jet's date-time value for a calendar date and time, and back.
double toJetDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

} // namespace kemnoa::jet
