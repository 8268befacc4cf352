#pragma once
// Code 39 barcodes placed on sheets as pictures, in place of Excel's barcode control: the control's
// Width and Height (points) become the picture's size, Showdata the text under the bars, and its
// Value (with the "*" start and stop characters) the encoded data.

#include "platform/xlsx/workbook.h"

#include <QByteArray>
#include <QString>

namespace kemnoa::xlsx {

struct BarcodeOptions {
    double widthPoints = 150;
    double heightPoints = 25;
    bool showData = true; // the human-readable text under the bars
};

// A PNG image of the Code 39 symbol for value; "*" start and stop characters around the value are
// optional (Code 39 always has them). Throws WorkbookError for characters Code 39 cannot carry.
QByteArray code39Png(const QString& value, const BarcodeOptions& options);

// Places the barcode at the cell; returns the shape's name.
QString insertCode39(Sheet& sheet, const QString& cell, const QString& value, const BarcodeOptions& options);

} // namespace kemnoa::xlsx
