#pragma once
// What the workbook steps of a PO share: the order workbook's name, the templates, dates as the
// sheets show them, list rows formatted past a template's prepared rows, and the report of a failure.

#include "core/error.h"
#include "core/outcome.h"
#include "core/prompter.h"
#include "platform/xlsx/workbook.h"

#include <QString>
#include <QVariant>
#include <initializer_list>
#include <optional>

namespace kemnoa::output {

// The order workbook's name prefix: "GK." for PO kind "1" (a GK number, settlement "中国決済"),
// "PO." for every other kind.
QString MF_PoBookPrefix(const QString& poKbn);
// The order workbook's file name: prefix + PO number + ".xlsx".
QString poBookFileName(const QString& poNo, const QString& poKbn);

// Opens a template workbook: folder + name, or the folder's "templates" folder + name, where the
// installation keeps its resources. Throws core::Error when neither exists.
xlsx::Workbook openTemplate(const QString& folder, const QString& name);

// A date value as the sheets show it, "yyyy/mm/dd" (from "yyyymmdd", "yyyy/m/d", "yyyy-mm-dd" or a
// date); any other text as it stands, Null as empty text.
QString slashDate(const QVariant& value);

// A value as the sheets write it "as text": joined to empty text, so Null is an empty cell.
QString asText(const QVariant& value);
// A number column's value as text in its shortest form ("12.345", not "12.3450"); Null is empty.
QString numberText(const QVariant& value);

// One block of a list row formatted by the program past the template's prepared rows.
struct ListBlock {
    const char* first; // columns, "B"
    const char* last;  // "D"
    const char* numberFormat;
    std::optional<xlsx::HorizontalAlignment> alignment; // none: as the template
    bool leftEdge = true;
    bool font = true; // ＭＳ Ｐゴシック 10, plain, automatic colour
};
// Formats row r block by block: font, merge, number format, alignment, dotted bottom edge,
// continuous left (when leftEdge) and right edges.
void formatListRow(xlsx::Sheet& sheet, uint32_t row, std::initializer_list<ListBlock> blocks);

// Shows a trapped error, "description(number)" titled with the procedure's name, and returns Failed.
core::Outcome reportFailure(core::Prompter& prompter, const QString& procedure, const core::Error& error);

// Whether a file name taken from data (a PO number, a layout code) is one plain name in its folder:
// no separator, no "..", no character Windows refuses, not empty.
bool isPlainFileName(const QString& name);

} // namespace kemnoa::output
