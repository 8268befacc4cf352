#pragma once
// The product master of the office-computer database ("基幹商品マスタ"): the label products with
// their material code, names and three unit prices, listed read-only and written to a workbook
// "ケムノア商品マスタ.xlsx" on the desktop.
//
// Every matching product is listed and written, however many there are. The workbook is written
// under a temporary name in the target folder and moved over an older file only when complete, so
// a failed write leaves the older file as it was and no partial file.

#include "core/outcome.h"
#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace kemnoa::masters {

// The grid's columns, in order: 商品コード, ケム資材名, 品名1, 品名2, SH単価, 提出単価, ケム単価.
inline constexpr int kProductColumns = 7;
using ProductRow = std::array<QString, kProductColumns>;

// The grid captions.
const QStringList& productCaptions();

// The statement as sent: with the dbo. owner on SQL Server, without it elsewhere.
QString productStatement(db::Dialect dialect);

// Every matching product, in product-code order, each value as text (Null as empty).
// Throws core::Error.
std::vector<ProductRow> loadProducts(db::Connection& office);

// The workbook file name and its default place: the desktop folder the system reports.
QString productWorkbookName();
QString desktopWorkbookPath();

// Writes the workbook to path through a temporary file in the same folder (created when missing).
// Throws core::Error; the file at path is then unchanged.
void writeProductWorkbook(const std::vector<ProductRow>& rows, const QString& path);

// "書き出し": asks (the desktop question only when askDesktop), asks before replacing an existing
// file, writes with the busy pointer and reports. Done when written; Failed when declined,
// cancelled or failed (after an error box).
core::Outcome exportProducts(core::Prompter& prompter, const std::vector<ProductRow>& rows,
                             const QString& path, bool askDesktop = true);

} // namespace kemnoa::masters
