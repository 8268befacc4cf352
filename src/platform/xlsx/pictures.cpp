// Pictures placed on sheets: the image is read (QtGui) for its size and stored as PNG or JPEG. Kept
// in its own library so that programs writing only cells do not load QtGui.

#include "platform/xlsx/workbook.h"
#include "platform/xlsx/workbook_data.h"
#include "platform/xlsx/workbook_error.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <cmath>

namespace kemnoa::xlsx {

QString Sheet::insertPicture(const QString& imagePath, const QString& cell, double widthPoints,
                             double heightPoints) {
    const std::string bytes = readFileBytes(imagePath, 64ull << 20);
    return insertPictureData(QByteArray(bytes.data(), qsizetype(bytes.size())), cell, widthPoints,
                             heightPoints);
}

QString Sheet::insertPictureData(const QByteArray& image, const QString& cell, double widthPoints,
                                 double heightPoints, const QString& namePrefix) {
    book_->sheetIndex(sheet_);
    const auto at = parseCellRef(cell.trimmed().toStdString());
    if (!at)
        throw WorkbookError(QStringLiteral("セル番地 \"%1\" が正しくありません").arg(cell),
                            xlsxerr::BadArgument);
    QBuffer buffer;
    buffer.setData(image);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format().toLower();
    QSize size = reader.size();
    std::string data(image.constData(), size_t(image.size()));
    std::string extension;
    if (format == "png") {
        extension = "png";
    } else if (format == "jpeg" || format == "jpg") {
        extension = "jpeg";
    } else {
        // BMP and the rest are stored as PNG, which every reader shows.
        QImage decoded = reader.read();
        if (decoded.isNull())
            throw WorkbookError(QStringLiteral("画像を読めません: ") + reader.errorString());
        size = decoded.size();
        QByteArray png;
        QBuffer out(&png);
        out.open(QIODevice::WriteOnly);
        decoded.save(&out, "PNG");
        data.assign(png.constData(), size_t(png.size()));
        extension = "png";
    }
    if (!size.isValid() || size.isEmpty())
        throw WorkbookError(QStringLiteral("画像の大きさを読めません"));
    double w = widthPoints, h = heightPoints;
    if (w <= 0 && h <= 0) {
        w = size.width() * 0.75; // 96 pixels per inch
        h = size.height() * 0.75;
    } else if (w <= 0) {
        w = h * size.width() / size.height();
    } else if (h <= 0) {
        h = w * size.height() / size.width();
    }
    return QString::fromStdString(addPicture(*book_, *sheet_, data, extension, *at, std::llround(w * 12700),
                                             std::llround(h * 12700), namePrefix.toStdString()));
}

} // namespace kemnoa::xlsx
