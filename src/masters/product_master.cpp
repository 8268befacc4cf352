#include "masters/product_master.h"

#include "core/error.h"
#include "core/program_folder.h"
#include "platform/db/reader.h"
#include "platform/db/sql_text.h"
#include "platform/xlsx/workbook.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace kemnoa::masters {

using core::MsgIcon;
using core::Outcome;

namespace {

// The result columns feeding the grid columns, in grid order.
const char* const kResultColumns[kProductColumns] = {"商品CD", "ケム資材コード", "品名1",   "品名2",
                                                     "SH単価", "提出単価",       "ケム単価"};
// Grid columns holding prices.
bool isPriceColumn(int column) {
    return column >= 4;
}

const QString kFont = QStringLiteral("ＭＳ Ｐゴシック");
const QString kTextFormat = QStringLiteral("@");
const QString kPriceFormat = QStringLiteral("#,##0.00_ ");

// Decimal columns arrive as "1234.5000" from some providers; the grid shows the number as
// written, without the scale's trailing zeros ("1234.5").
QString plainDecimal(QString text) {
    static const QRegularExpression decimal(QStringLiteral("^-?[0-9]+\\.[0-9]+$"));
    if (!decimal.match(text).hasMatch())
        return text;
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

[[noreturn]] void writeFailed(const QString& path, const QFileDevice& file) {
    // A full disk is the operator's to clear; anything else is a path or access problem.
    const bool full = file.error() == QFileDevice::ResourceError || file.error() == QFileDevice::WriteError;
    throw core::Error(QStringLiteral("ファイル %1 を書き込めませんでした。%2").arg(path, file.errorString()),
                      full ? 61 : core::errnum::PathFileAccess);
}

} // namespace

const QStringList& productCaptions() {
    static const QStringList captions = {QStringLiteral("商品コード"), QStringLiteral("ケム資材名"),
                                         QStringLiteral("品名1"),      QStringLiteral("品名2"),
                                         QStringLiteral("SH単価"),     QStringLiteral("提出単価"),
                                         QStringLiteral("ケム単価")};
    return captions;
}

QString productStatement(db::Dialect dialect) {
    const QString sql =
        QStringLiteral("Select ") + QStringLiteral("FSHOWK.SHO011 As 商品CD,") +
        QStringLiteral("FSKNPF.SKN031_1 As ケム資材コード,") + QStringLiteral("FSHOWK.SHO032 As 品名1,") +
        QStringLiteral("FSHOWK.SHO033 As 品名2,") + QStringLiteral("FSHJWK1.SHJ032 As 提出単価 ,") +
        QStringLiteral("FSKNPF.SKN031_9 As ケム単価,") + QStringLiteral("FSKNPF.SKN031_10 As SH単価 ") +
        QStringLiteral("From ") + QStringLiteral("dbo.FSHOWK ") + QStringLiteral("LEFT OUTER JOIN ") +
        QStringLiteral("dbo.FSKNPF ") + QStringLiteral("ON ") +
        QStringLiteral("dbo.FSHOWK.SHO011 = dbo.FSKNPF.SKN011 ") + QStringLiteral("LEFT OUTER JOIN ") +
        QStringLiteral("dbo.FSHJWK1 ") + QStringLiteral("ON ") +
        QStringLiteral("dbo.FSHOWK.SHO011 = dbo.FSHJWK1.SHJ011 ") + QStringLiteral("Where ") +
        QStringLiteral("(dbo.FSHOWK.SHO011 Like '8710%') ") + QStringLiteral("AND ") +
        QStringLiteral("(dbo.FSHJWK1.SHJ012 = '0') ") + QStringLiteral("AND ") +
        QStringLiteral("(dbo.FSKNPF.SKN031_1 IS NOT NULL) ") + QStringLiteral("AND ") +
        QStringLiteral("(dbo.FSHJWK1.SHJ032 <> 0) ") + QStringLiteral("Order By ") +
        QStringLiteral("FSHOWK.SHO011 ");
    if (dialect == db::Dialect::SqlServer)
        return sql;
    // The office tables are found without their owner on the other databases.
    return QString(sql).remove(QStringLiteral("dbo."));
}

std::vector<ProductRow> loadProducts(db::Connection& office) {
    db::Reader r = office.read(productStatement(office.dialect()));
    int source[kProductColumns];
    for (int c = 0; c < kProductColumns; ++c) {
        source[c] = r.columnIndex(QString::fromUtf8(kResultColumns[c]));
        if (source[c] < 0)
            (void)r.value(QString::fromUtf8(kResultColumns[c])); // throws "item not found"
    }
    std::vector<ProductRow> rows;
    for (; !r.atEnd(); r.moveNext()) {
        ProductRow row;
        for (int c = 0; c < kProductColumns; ++c)
            row[c] = isPriceColumn(c) ? plainDecimal(r.text(source[c])) : r.text(source[c]);
        rows.push_back(std::move(row));
    }
    return rows;
}

QString productWorkbookName() {
    return QStringLiteral("ケムノア商品マスタ.xlsx");
}

QString desktopWorkbookPath() {
    return core::joinPath(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
                          productWorkbookName());
}

void writeProductWorkbook(const std::vector<ProductRow>& rows, const QString& path) {
    // Header captions of the sheet: the Shanghai price is named in full there.
    static const QStringList headers = {QStringLiteral("商品コード"), QStringLiteral("ケム資材名"),
                                        QStringLiteral("品名1"),      QStringLiteral("品名2"),
                                        QStringLiteral("上海単価"),   QStringLiteral("提出単価"),
                                        QStringLiteral("ケム単価")};
    xlsx::Workbook book = xlsx::Workbook::create();
    xlsx::Sheet sheet = book.sheet(1);

    xlsx::FontChange headerFont;
    headerFont.name = kFont;
    headerFont.size = 10;
    for (int c = 0; c < kProductColumns; ++c) {
        xlsx::Range cell = sheet.cell(1, static_cast<uint32_t>(c + 1));
        cell.setValue(headers[c]);
        cell.setFont(headerFont);
        cell.setNumberFormat(kTextFormat);
    }

    xlsx::FontChange dataFont = headerFont;
    dataFont.strikethrough = false;
    dataFont.superscript = false;
    dataFont.subscript = false;
    dataFont.outline = false;
    dataFont.shadow = false;
    dataFont.underline = xlsx::Underline::None;
    dataFont.colorIndex = xlsx::kColorAutomatic;
    uint32_t sheetRow = 2;
    for (const ProductRow& row : rows) {
        for (int c = 0; c < kProductColumns; ++c) {
            xlsx::Range cell = sheet.cell(sheetRow, static_cast<uint32_t>(c + 1));
            // The value before the format, as the sheet was always filled: a value that reads as a
            // number (codes and prices alike) is stored as that number.
            cell.setValue(row[c]);
            cell.setFont(dataFont);
            cell.setNumberFormat(isPriceColumn(c) ? kPriceFormat : kTextFormat);
        }
        ++sheetRow;
    }
    const std::string bytes = book.toBytes();

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw core::Error(QStringLiteral("フォルダ %1 を作成できませんでした。").arg(folder),
                          core::errnum::PathNotFound);
    // A temporary file beside the target, moved over it only once complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        writeFailed(path, file);
    // A failure leaves the temporary file to QSaveFile, which removes it.
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.commit())
        writeFailed(path, file);
}

Outcome exportProducts(core::Prompter& prompter, const std::vector<ProductRow>& rows, const QString& path,
                       bool askDesktop) {
    if (askDesktop &&
        !prompter.question(QStringLiteral("デスクトップにエクセルファイルとして書き出します。\r\n"
                                          "よろしいですか？"),
                           QStringLiteral("確認")))
        return Outcome::Failed;
    // The older file stays until the new one is complete; it is replaced, never deleted first.
    if (QFileInfo::exists(path) &&
        !prompter.question(QStringLiteral("同じ名前のファイルが存在します。\r\n上書きしますか？"),
                           QStringLiteral("エラー"))) {
        prompter.message(QStringLiteral("キャンセルされました。"), QStringLiteral("キャンセル"),
                         MsgIcon::None);
        return Outcome::Failed;
    }
    try {
        core::BusyPointer busy(prompter);
        writeProductWorkbook(rows, path);
    } catch (const core::Error& e) {
        prompter.message(e.text(), QStringLiteral("mnuExp_Click"), MsgIcon::Critical);
        return Outcome::Failed;
    }
    prompter.message(QStringLiteral("書き出しました。"), QStringLiteral("完了"), MsgIcon::None);
    return Outcome::Done;
}

} // namespace kemnoa::masters
