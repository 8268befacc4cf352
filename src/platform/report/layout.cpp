#include "platform/report/layout.h"

#include "platform/base/error.h"

#include <QFile>
#include <QStringList>
#include <cmath>

namespace kemnoa::report {
namespace {

constexpr double kMaxMm = 2000; // no paper is larger; keeps a mistyped number from drawing nowhere

struct Paper {
    const char* name;
    double width;
    double height;
};
constexpr Paper kPapers[] = {{"A3", 297, 420}, {"A4", 210, 297}, {"A5", 148, 210},
                             {"B4", 257, 364}, {"B5", 182, 257}, {"Letter", 215.9, 279.4}};

class LineError {
public:
    explicit LineError(QString what) : what_(std::move(what)) {}
    const QString& what() const { return what_; }

private:
    QString what_;
};

// Splits a statement into words; "..." is one word (\" and \\ inside it), # starts a comment.
QStringList words(const QString& line) {
    QStringList out;
    int i = 0;
    const int n = line.size();
    while (i < n) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        if (line[i] == QLatin1Char('#'))
            break;
        QString word;
        bool quoted = false;
        while (i < n && (quoted || !line[i].isSpace())) {
            const QChar c = line[i];
            if (c == QLatin1Char('"')) {
                quoted = !quoted;
                ++i;
                continue;
            }
            if (quoted && c == QLatin1Char('\\') && i + 1 < n) {
                const QChar next = line[i + 1];
                word += next == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : next;
                i += 2;
                continue;
            }
            word += c;
            ++i;
        }
        if (quoted)
            throw LineError(QStringLiteral("引用符(\")が閉じていません"));
        out << word;
    }
    return out;
}

double millimetres(const QString& word, bool positive = false) {
    bool ok = false;
    const double v = word.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < 0 || v > kMaxMm || (positive && v <= 0))
        throw LineError(QStringLiteral("寸法(mm)ではありません: ") + word);
    return v;
}

QRectF box(const QStringList& w, int at) {
    if (w.size() < at + 4)
        throw LineError(QStringLiteral("位置と大きさ (x y 幅 高さ) が足りません"));
    return QRectF(millimetres(w[at]), millimetres(w[at + 1]), millimetres(w[at + 2], true),
                  millimetres(w[at + 3], true));
}

// The options after the position: size=9 bold align=center valign=middle noclip wrap pitch=3.2
// font="..." width=0.5 (width only for lines and boxes).
void options(const QStringList& w, int from, TextStyle* style, double* width) {
    for (int i = from; i < w.size(); ++i) {
        const QString& o = w[i];
        const int eq = o.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? o : o.left(eq);
        const QString value = eq < 0 ? QString() : o.mid(eq + 1);
        bool ok = true;
        if (width && key == QLatin1String("width")) {
            *width = value.toDouble(&ok);
            ok = ok && *width > 0 && *width <= 20;
        } else if (style && key == QLatin1String("size")) {
            style->size = value.toDouble(&ok);
            ok = ok && style->size >= 1 && style->size <= 300;
        } else if (style && key == QLatin1String("bold") && eq < 0) {
            style->bold = true;
        } else if (style && key == QLatin1String("noclip") && eq < 0) {
            style->clip = false;
        } else if (style && key == QLatin1String("wrap") && eq < 0) {
            style->wrap = true;
        } else if (style && key == QLatin1String("pitch")) {
            style->pitch = value.toDouble(&ok);
            ok = ok && style->pitch > 0 && style->pitch <= 100;
        } else if (style && key == QLatin1String("font")) {
            style->family = value;
            ok = !value.isEmpty();
        } else if (style && key == QLatin1String("align")) {
            if (value == QLatin1String("left"))
                style->align = Align::Left;
            else if (value == QLatin1String("center"))
                style->align = Align::Center;
            else if (value == QLatin1String("right"))
                style->align = Align::Right;
            else
                ok = false;
        } else if (style && key == QLatin1String("valign")) {
            if (value == QLatin1String("top"))
                style->valign = VAlign::Top;
            else if (value == QLatin1String("middle"))
                style->valign = VAlign::Middle;
            else if (value == QLatin1String("bottom"))
                style->valign = VAlign::Bottom;
            else
                ok = false;
        } else {
            ok = false;
        }
        if (!ok)
            throw LineError(QStringLiteral("指定が読めません: ") + o);
    }
}

void statement(Layout& layout, const QStringList& w) {
    const QString& verb = w[0];
    if (verb == QLatin1String("page")) {
        if (w.size() < 2 || w.size() > 3)
            throw LineError(QStringLiteral("page には用紙 (A4 など、または 幅x高さ) を書きます"));
        QSizeF size;
        for (const Paper& p : kPapers)
            if (w[1].compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0)
                size = QSizeF(p.width, p.height);
        if (size.isEmpty()) {
            const QStringList wh = w[1].split(QLatin1Char('x'));
            if (wh.size() != 2)
                throw LineError(QStringLiteral("用紙が読めません: ") + w[1]);
            size = QSizeF(millimetres(wh[0], true), millimetres(wh[1], true));
        }
        if (w.size() == 3) {
            if (w[2] == QLatin1String("landscape"))
                size.transpose();
            else if (w[2] != QLatin1String("portrait"))
                throw LineError(QStringLiteral("用紙の向きは portrait か landscape です: ") + w[2]);
        }
        layout.pageMm = size;
    } else if (verb == QLatin1String("font")) {
        if (w.size() != 2)
            throw LineError(QStringLiteral("font には書体名を一つ書きます"));
        layout.fontFamily = w[1];
    } else if (verb == QLatin1String("line")) {
        if (w.size() < 5)
            throw LineError(QStringLiteral("line には x1 y1 x2 y2 を書きます"));
        StaticItem item;
        item.kind = StaticItem::Kind::Line;
        item.mm = QRectF(QPointF(millimetres(w[1]), millimetres(w[2])),
                         QPointF(millimetres(w[3]), millimetres(w[4])));
        options(w, 5, nullptr, &item.width);
        layout.items.push_back(item);
    } else if (verb == QLatin1String("box")) {
        StaticItem item;
        item.kind = StaticItem::Kind::Box;
        item.mm = box(w, 1);
        options(w, 5, nullptr, &item.width);
        layout.items.push_back(item);
    } else if (verb == QLatin1String("text")) {
        StaticItem item;
        item.kind = StaticItem::Kind::Text;
        item.mm = box(w, 1);
        if (w.size() < 6)
            throw LineError(QStringLiteral("text には位置と大きさの後に文字列を書きます"));
        item.text = w[5];
        options(w, 6, &item.style, nullptr);
        layout.items.push_back(item);
    } else if (verb == QLatin1String("field")) {
        if (w.size() < 3)
            throw LineError(QStringLiteral("field には名前と種類 (text か picture) を書きます"));
        Field f;
        f.name = w[1];
        if (w[2] == QLatin1String("text"))
            f.kind = Field::Kind::Text;
        else if (w[2] == QLatin1String("picture"))
            f.kind = Field::Kind::Picture;
        else
            throw LineError(QStringLiteral("field の種類は text か picture です: ") + w[2]);
        if (layout.field(f.name))
            throw LineError(QStringLiteral("同じ名前のフィールドが二つあります: ") + f.name);
        f.mm = box(w, 3);
        options(w, 7, &f.style, nullptr);
        layout.fields.push_back(f);
    } else {
        throw LineError(QStringLiteral("知らない命令です: ") + verb);
    }
}

} // namespace

const Field* Layout::field(const QString& name) const {
    for (const Field& f : fields)
        if (f.name == name)
            return &f;
    return nullptr;
}

Layout parseLayout(const QString& text, const QString& source) {
    Layout layout;
    layout.source = source;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        try {
            const QStringList w = words(line);
            if (!w.isEmpty())
                statement(layout, w);
        } catch (const LineError& e) {
            throw Error(
                QStringLiteral("レイアウト(%1) %2行目: %3").arg(source).arg(i + 1).arg(e.what()),
                errnum::General);
        }
    }
    return layout;
}

Layout loadLayout(const QString& path) {
    QFile file(path);
    if (!file.exists())
        throw Error(QStringLiteral("レイアウトファイルが見つかりません。(%1)").arg(path),
                          errnum::FileNotFound);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("レイアウトファイルを開けません。(%1)").arg(path),
                          errnum::PathFileAccess);
    constexpr qint64 kMaxBytes = 4 * 1024 * 1024; // a page description, never a large file
    if (file.size() > kMaxBytes)
        throw Error(QStringLiteral("レイアウトファイルが大きすぎます。(%1)").arg(path),
                          errnum::General);
    return parseLayout(QString::fromUtf8(file.readAll()), path);
}

} // namespace kemnoa::report
