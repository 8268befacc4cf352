#include "platform/report/render.h"

#include "platform/base/error.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <map>

namespace kemnoa::report {
namespace {

class PageGeometry {
public:
    explicit PageGeometry(const QPaintDevice& device)
        : dotsPerMmX_(device.logicalDpiX() / 25.4), dotsPerMmY_(device.logicalDpiY() / 25.4) {}
    QRectF rect(const QRectF& mm) const {
        return QRectF(mm.x() * dotsPerMmX_, mm.y() * dotsPerMmY_, mm.width() * dotsPerMmX_,
                      mm.height() * dotsPerMmY_);
    }
    QPointF point(const QPointF& mm) const { return QPointF(mm.x() * dotsPerMmX_, mm.y() * dotsPerMmY_); }
    double dots(double mm) const { return mm * dotsPerMmY_; }

private:
    double dotsPerMmX_;
    double dotsPerMmY_;
};

QFont fontOf(const TextStyle& style, const Layout& layout) {
    QFont font(style.family.isEmpty() ? layout.fontFamily : style.family);
    font.setPointSizeF(style.size);
    font.setBold(style.bold);
    return font;
}

int flagsOf(const TextStyle& style) {
    int flags = 0;
    switch (style.align) {
    case Align::Left:
        flags |= Qt::AlignLeft;
        break;
    case Align::Center:
        flags |= Qt::AlignHCenter;
        break;
    case Align::Right:
        flags |= Qt::AlignRight;
        break;
    }
    switch (style.valign) {
    case VAlign::Top:
        flags |= Qt::AlignTop;
        break;
    case VAlign::Middle:
        flags |= Qt::AlignVCenter;
        break;
    case VAlign::Bottom:
        flags |= Qt::AlignBottom;
        break;
    }
    if (style.wrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

void drawText(QPainter& painter, const PageGeometry& g, const QRectF& mm, QString text,
              const TextStyle& style, const Layout& layout) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    painter.save();
    painter.setFont(fontOf(style, layout));
    const QRectF box = g.rect(mm);
    if (style.clip)
        painter.setClipRect(box);
    if (style.pitch > 0) {
        // One line per pitch, so a column of N lines always takes the same height.
        const QStringList lines = text.split(QLatin1Char('\n'));
        const double step = g.dots(style.pitch);
        for (int i = 0; i < lines.size(); ++i) {
            const QRectF lineBox(box.x(), box.y() + i * step, box.width(), step);
            if (style.clip && lineBox.top() >= box.bottom())
                break;
            painter.drawText(
                lineBox, (flagsOf(style) & ~(Qt::AlignVertical_Mask | Qt::TextWordWrap)) | Qt::AlignVCenter,
                lines[i]);
        }
    } else {
        painter.drawText(box, flagsOf(style), text);
    }
    painter.restore();
}

// Pictures by file, read once per rendering: the same image object on every page lets the PDF
// writer store it once.
class PictureCache {
public:
    const QImage& get(const QString& file) {
        auto it = images_.find(file);
        if (it == images_.end())
            it = images_.emplace(file, QImage(file)).first;
        return it->second;
    }

private:
    std::map<QString, QImage> images_;
};

void drawPicture(QPainter& painter, const PageGeometry& g, const QRectF& mm, const QImage& image) {
    if (image.isNull())
        return; // a missing or unreadable picture leaves its box empty
    const QRectF box = g.rect(mm);
    QSizeF size = image.size();
    size.scale(box.size(), Qt::KeepAspectRatio);
    const QRectF target(box.x() + (box.width() - size.width()) / 2,
                        box.y() + (box.height() - size.height()) / 2, size.width(), size.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
    painter.restore();
}

void drawPage(QPainter& painter, const Layout& layout, const PageValues& values, PictureCache& pictures) {
    const PageGeometry g(*painter.device());
    for (const StaticItem& item : layout.items) {
        QPen pen(Qt::black);
        pen.setWidthF(g.dots(item.width));
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        switch (item.kind) {
        case StaticItem::Kind::Line:
            painter.drawLine(g.point(item.mm.topLeft()), g.point(item.mm.bottomRight()));
            break;
        case StaticItem::Kind::Box:
            painter.drawRect(g.rect(item.mm));
            break;
        case StaticItem::Kind::Text:
            drawText(painter, g, item.mm, item.text, item.style, layout);
            break;
        }
    }
    painter.setPen(Qt::black);
    for (const Field& field : layout.fields) {
        if (field.kind == Field::Kind::Picture) {
            const auto it = values.pictures.find(field.name);
            if (it != values.pictures.end())
                drawPicture(painter, g, field.mm, pictures.get(it->second));
        } else {
            const auto it = values.texts.find(field.name);
            if (it != values.texts.end())
                drawText(painter, g, field.mm, it->second, field.style, layout);
        }
    }
}

QPageLayout pageLayoutOf(const Layout& layout) {
    const QSizeF mm = layout.pageMm;
    const bool landscape = mm.width() > mm.height();
    const QPageSize size(landscape ? mm.transposed() : mm, QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    // Positions count from the paper's corner: no margins of the device's own.
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

void checkWritten(bool drawn, const QString& path) {
    if (!drawn || !QFileInfo(path).exists())
        throw Error(QStringLiteral("PDFファイルを書けません。(%1)").arg(path), errnum::PathFileAccess);
}

} // namespace

bool renderPages(const std::vector<LayoutPage>& pages, QPagedPaintDevice& device) {
    if (!pages.empty())
        device.setPageLayout(pageLayoutOf(*pages.front().layout));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    PictureCache pictures;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            // A page of another paper: the device takes the new size for the page it starts next.
            if (pages[i].layout->pageMm != pages[i - 1].layout->pageMm)
                device.setPageLayout(pageLayoutOf(*pages[i].layout));
            if (!device.newPage()) {
                painter.end();
                return false;
            }
        }
        drawPage(painter, *pages[i].layout, pages[i].values, pictures);
    }
    return painter.end();
}

bool renderDocument(const Document& document, QPagedPaintDevice& device) {
    device.setPageLayout(pageLayoutOf(document.layout));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    PictureCache pictures;
    for (std::size_t i = 0; i < document.pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        drawPage(painter, document.layout, document.pages[i], pictures);
    }
    return painter.end();
}

void writePdf(const Document& document, const QString& path) {
    QPdfWriter writer(path);
    writer.setTitle(document.title);
    writer.setCreator(QStringLiteral("kemnoa"));
    writer.setResolution(600);
    checkWritten(renderDocument(document, writer), path);
}

void writePdf(const std::vector<LayoutPage>& pages, const QString& title, const QString& path) {
    QPdfWriter writer(path);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("kemnoa"));
    writer.setResolution(600);
    checkWritten(renderPages(pages, writer), path);
}

} // namespace kemnoa::report
