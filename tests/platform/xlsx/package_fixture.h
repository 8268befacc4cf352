#pragma once
// Builds an order workbook from the templates the way the package run does: the placeholder
// workbook, PO sheets per page, an SK sheet with barcode, picture and grid, the care-label list with
// rows formatted past the prepared ones, and the assortment list; then the placeholder is deleted.

#include <QString>

namespace kemnoa::xlsx::test {

QString templatePath(const QString& name);

// Writes the workbook under dir and returns its path. careJobs care-label lines (rows from 12).
QString buildPackageWorkbook(const QString& dir, int careJobs);

// Writes a receipt confirmation from its template with the given number of lines.
QString buildReceiptWorkbook(const QString& dir, int lines);

} // namespace kemnoa::xlsx::test
