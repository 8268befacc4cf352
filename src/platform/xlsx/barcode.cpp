#include "platform/xlsx/barcode.h"

#include "platform/xlsx/workbook_error.h"

#include <QBuffer>
#include <QImage>
#include <cmath>
#include <memory>
#include <zint.h>

namespace kemnoa::xlsx {
namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};
using Symbol = std::unique_ptr<zint_symbol, SymbolDeleter>;

Symbol encode(const QByteArray& data, bool showText, float height) {
    Symbol symbol(ZBarcode_Create());
    if (!symbol)
        throw WorkbookError(QStringLiteral("バーコードを作れません"));
    symbol->symbology = BARCODE_CODE39;
    symbol->show_hrt = showText ? 1 : 0;
    symbol->height = height;
    symbol->scale = 1.0f;
    symbol->whitespace_width = 10; // quiet zones on both sides, so scanners find the symbol
    symbol->option_2 = 0;          // no check character
    const int rc = ZBarcode_Encode_and_Buffer(
        symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()), 0);
    if (rc >= ZINT_ERROR)
        throw WorkbookError(QStringLiteral("バーコードにできない値です: ") + QString::fromUtf8(data) +
                                QStringLiteral(" (") + QString::fromLatin1(symbol->errtxt) +
                                QStringLiteral(")"),
                            xlsxerr::BadArgument);
    return symbol;
}

} // namespace

QByteArray code39Png(const QString& value, const BarcodeOptions& options) {
    QString data = value;
    if (data.size() >= 2 && data.startsWith(u'*') && data.endsWith(u'*'))
        data = data.mid(1, data.size() - 2);
    if (data.isEmpty() || data.contains(u'*'))
        throw WorkbookError(QStringLiteral("バーコードにできない値です: ") + value, xlsxerr::BadArgument);
    const QByteArray ascii = data.toUpper().toLatin1();

    // First pass measures the width; the bar height then follows the shape of the placed picture.
    Symbol probe = encode(ascii, options.showData, 10);
    const double pixelsPerModule = probe->bitmap_height > 0 ? 2.0 : 2.0;
    const double overhead = probe->bitmap_height - 10 * pixelsPerModule; // text and margins
    const double wanted = options.widthPoints > 0 && options.heightPoints > 0
                              ? probe->bitmap_width * options.heightPoints / options.widthPoints
                              : probe->bitmap_height;
    const float height = float(std::max(5.0, (wanted - overhead) / pixelsPerModule));
    Symbol symbol = encode(ascii, options.showData, height);

    QImage image(symbol->bitmap_width, symbol->bitmap_height, QImage::Format_RGB888);
    for (int y = 0; y < symbol->bitmap_height; ++y)
        std::memcpy(image.scanLine(y), symbol->bitmap + size_t(y) * size_t(symbol->bitmap_width) * 3,
                    size_t(symbol->bitmap_width) * 3);
    // Black bars on white: a one-bit PNG is a fraction of the size and quick to compress.
    const QImage bits = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    if (!bits.save(&out, "PNG"))
        throw WorkbookError(QStringLiteral("バーコードの画像を作れません"));
    return png;
}

QString insertCode39(Sheet& sheet, const QString& cell, const QString& value, const BarcodeOptions& options) {
    const QByteArray png = code39Png(value, options);
    return sheet.insertPictureData(png, cell, options.widthPoints, options.heightPoints,
                                   QStringLiteral("Barcode"));
}

} // namespace kemnoa::xlsx
