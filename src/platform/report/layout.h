#pragma once
// A layout file describes one printed page: its paper, fixed texts, lines and boxes, and the named
// fields a program fills page by page with text or with a picture. Positions are in millimetres from
// the top-left corner of the paper. The format (one statement a line) is described in
// docs/printing.md.

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>
#include <vector>

namespace kemnoa::report {

enum class Align { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };

struct TextStyle {
    QString family;   // empty: the layout's font
    double size = 10; // points
    bool bold = false;
    Align align = Align::Left;
    VAlign valign = VAlign::Top;
    bool clip = true;  // text outside its box is cut off
    bool wrap = false; // long lines break at the box's width
    double pitch = 0;  // line pitch in millimetres for multi-line text; 0: the font's own
};

struct StaticItem {
    enum class Kind { Line, Box, Text };
    Kind kind = Kind::Line;
    QRectF mm;          // Line: from topLeft to bottomRight (x1 y1 x2 y2); Box and Text: the box
    double width = 0.3; // line width in millimetres
    QString text;
    TextStyle style;
};

struct Field {
    enum class Kind { Text, Picture };
    QString name;
    Kind kind = Kind::Text;
    QRectF mm;
    TextStyle style;
};

struct Layout {
    QString source; // the file it was read from, for messages
    QSizeF pageMm{210, 297};
    QString fontFamily = QStringLiteral("IPAGothic");
    std::vector<StaticItem> items;
    std::vector<Field> fields;

    // The field of that name (exact), or nullptr.
    const Field* field(const QString& name) const;
};

// Reads a layout from its text; a statement it cannot read throws Error naming the file and
// the line ("レイアウト(file) 12行目: ...").
Layout parseLayout(const QString& text, const QString& source);
// Reads a layout file (UTF-8). A missing or unreadable file throws Error (53 / 75).
Layout loadLayout(const QString& path);

} // namespace kemnoa::report
