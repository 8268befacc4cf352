#pragma once
// Values as SQL text: the one quoting function for text literals, and values read back as text.

#include <QString>
#include <QVariant>

namespace kemnoa::db {

// A text literal: the text between single quotes with every apostrophe doubled; a Null or empty
// text gives ''.
QString quote(const QString& text);
QString quote(const QVariant& value);

// A value read from the database as text: Null gives empty text, numbers their shortest plain
// decimal form (1200, 12.5), dates ISO text.
QString valueText(const QVariant& value);

// True for the values our own bindings send as they are (text, integers, booleans, floating point,
// Null); a value of another type goes through Qt's driver, which knows its conversion.
bool isPlainValue(const QVariant& value);

// True for a database Null (a value that is present but empty is not Null).
inline bool isNull(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

} // namespace kemnoa::db
