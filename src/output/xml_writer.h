#pragma once
// A small streaming XML writer for the PO's XML file. The file declares Shift-JIS; its bytes are code
// page 932 restricted to what every Shift-JIS reader decodes alike (ASCII without "\" and "~", half-width
// katakana, the JIS X 0208 rows), so a strict Shift-JIS parser and a code page 932 reader get the same
// text. Every other character of a value (code page 932's own additions such as ①, the characters the
// two map differently such as ～, characters outside the code page, "\" and "~") is written as a
// character reference. Names cannot hold references: a name must be an XML name made of such characters.

#include "core/error.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace kemnoa::output {

// True when the text can be an element or attribute name of the file: an XML name without ":" whose
// every character is written as Shift-JIS bytes.
bool isWritableXmlName(const QString& name);

// The first character of the text that XML 1.0 cannot carry at all (control characters other than tab,
// line feed and carriage return, U+FFFE, U+FFFF, unpaired surrogates), as "U+0001"; empty when none.
QString firstCharacterXmlCannotHold(const QString& text);

using XmlAttributes = std::vector<std::pair<QString, QString>>;

class XmlWriter {
public:
    // Starts the document with its declaration.
    XmlWriter();

    // Opens an element. Throws core::Error for a name isWritableXmlName refuses (callers check names
    // from data first, to say which one).
    void start(const QString& name, const XmlAttributes& attributes = {});
    // Text of the open element. Throws core::Error for a character XML cannot hold.
    void text(const QString& value);
    void end();
    // An element with its text, closed at once.
    void element(const QString& name, const XmlAttributes& attributes, const QString& value);

    // The whole file; every element must have been closed.
    QByteArray finish();

private:
    void closeStartTag();
    void append(const QString& value, bool attribute);
    // The bytes of a name, checked once per name of the document.
    QByteArray nameBytes(const QString& name, const char* what);

    QByteArray out_;
    std::vector<QByteArray> open_;
    QHash<QString, QByteArray> names_;
    bool startTagOpen_ = false;
};

} // namespace kemnoa::output
