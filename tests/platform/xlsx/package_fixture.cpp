#include "package_fixture.h"

#include "platform/text/cp932.h"
#include "platform/xlsx/barcode.h"
#include "platform/xlsx/workbook.h"
#include "xlsx_test_support.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <optional>

namespace kemnoa::xlsx::test {
namespace {

const QString kGothic = QStringLiteral("ＭＳ Ｐゴシック");

// Formats one list row block by block, as the program does past the template's prepared rows.
struct Block {
    const char* first;
    const char* last;
    const char* format;
    std::optional<HorizontalAlignment> alignment;
    bool leftEdge;
    bool font;
};

void formatRow(Sheet& sheet, int row, std::initializer_list<Block> blocks) {
    for (const Block& b : blocks) {
        Range r = sheet.range(
            QStringLiteral("%1%3:%2%3").arg(QLatin1String(b.first), QLatin1String(b.last)).arg(row));
        if (b.font) {
            FontChange f;
            f.name = kGothic;
            f.size = 10;
            f.strikethrough = f.superscript = f.subscript = f.outline = f.shadow = false;
            f.underline = Underline::None;
            f.colorIndex = kColorAutomatic;
            r.cell(1, 1).setFont(f);
        }
        r.merge();
        r.setNumberFormat(QString::fromLatin1(b.format));
        if (b.alignment)
            r.setHorizontalAlignment(*b.alignment);
        r.setBorders(EdgeBottom, LineStyle::Dot);
        r.setBorders(b.leftEdge ? (EdgeLeft | EdgeRight) : EdgeRight, LineStyle::Continuous);
    }
}

} // namespace

QString templatePath(const QString& name) {
    return sourceTree() + QStringLiteral("/resources/templates/") + name;
}

QString buildPackageWorkbook(const QString& dir, int careJobs) {
    Workbook book = Workbook::open(templatePath(QStringLiteral("MST_DEF.xlsx")));

    // Two pages of PO sheets (kind "0").
    for (int page = 1; page <= 2; ++page) {
        Workbook po = Workbook::open(templatePath(QStringLiteral("MST_PO.xlsx")));
        Sheet info = book.copySheetToEnd(*po.sheet(QStringLiteral("海外納品情報")));
        info.setName(QStringLiteral("納品情報%1").arg(page));
        Sheet order = book.copySheetToEnd(*po.sheet(QStringLiteral("Purchase Order")));
        order.setName(QStringLiteral("PO%1").arg(page));
        info.range(QStringLiteral("AU1")).setValue(QStringLiteral("P0012345"));
        info.range(QStringLiteral("BC2")).setValue(QStringLiteral("%1/2").arg(page));
        info.range(QStringLiteral("BC3")).setValue(QStringLiteral("2024/05/01"));
        info.range(QStringLiteral("I3")).setValue(QStringLiteral("上海工場"));
        info.range(QStringLiteral("B34")).setValue(QStringLiteral("0871000%1").arg(page));
        info.range(QStringLiteral("J34")).setValue(QStringLiteral("下札（ブランドタグ）"));
        info.range(QStringLiteral("AR34")).setValue(QStringLiteral("3"));
        info.range(QStringLiteral("AY34")).setValue(QStringLiteral("12.345"));
        order.range(QStringLiteral("AY7")).setValue(QStringLiteral("P0012345-%1").arg(page));
        order.range(QStringLiteral("D17")).setValue(QStringLiteral("0871000%1").arg(page));
        order.range(QStringLiteral("AK17")).setValue(QStringLiteral("3"));
        order.range(QStringLiteral("AT17")).setValue(QStringLiteral("12.345"));
        order.range(QStringLiteral("BC17")).setNumber(37);
        order.range(QStringLiteral("AK57")).setNumber(3 * page);
        order.range(QStringLiteral("BC57")).setNumber(37 * page);
    }

    // One SK sheet with barcode, layout picture, composition lines and grid.
    {
        Workbook sk = Workbook::open(templatePath(QStringLiteral("MST_SK.xlsx")));
        Sheet s = book.copySheetToEnd(sk.sheet(1));
        book.activate(s.index());
        s.range(QStringLiteral("B5")).setValue(QStringLiteral("A-100"));
        s.range(QStringLiteral("G5")).setValue(QStringLiteral("P0012345-1"));
        s.range(QStringLiteral("B24")).setValue(QStringLiteral("ポリエステル 100%"));
        s.range(QStringLiteral("B25")).setValue(QStringLiteral(" "));
        s.range(QStringLiteral("B57")).setValue(QStringLiteral("1200"));
        insertCode39(s, QStringLiteral("AJ2"), QStringLiteral("*-1*"), {150, 25, true});
        QImage layout(120, 80, QImage::Format_RGB32);
        layout.fill(Qt::lightGray);
        const QString image = dir + QStringLiteral("/layout.jpg");
        layout.save(image, "JPG");
        const QString picture = s.insertPicture(image, QStringLiteral("AK6"));
        s.moveShape(picture, 3, 3);
        // Grid: sizes across, colours down; widths from the longest text of each column.
        const QStringList grid[] = {
            {QStringLiteral("COLOR"), QStringLiteral("S"), QStringLiteral("M"), QStringLiteral("L")},
            {QStringLiteral("NAVY"), QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("300")},
            {QStringLiteral("WHITE"), QStringLiteral("150"), QStringLiteral("250"), QStringLiteral("200")}};
        Range qul = s.namedRange(QStringLiteral("Qul"));
        const double size = qul.cell(1, 1).fontSize();
        double widest[4] = {0, 0, 0, 0};
        for (int n = 0; n < 3; ++n) {
            for (int c = 0; c < 4; ++c) {
                qul.cell(n + 1, c + 1).setValue(grid[n][c]);
                const auto bytes = kemnoa::text::cp932Length(grid[n][c]);
                widest[c] = std::max(widest[c], std::round(size * double(bytes + bytes % 2) / 2));
            }
        }
        for (int c = 0; c < 4; ++c)
            qul.cell(1, c + 1).setColumnWidth(widest[c] + (c >= 2 ? 22 : 11));
        s.setName(QStringLiteral("P0012345-1"));
    }

    // The care-label list; rows past 32 are formatted first.
    {
        Workbook care = Workbook::open(templatePath(QStringLiteral("MST_CAR_SK.xlsx")));
        Sheet s = book.copySheetToEnd(care.sheet(1));
        book.activate(s.index());
        s.range(QStringLiteral("AG5")).setValue(QStringLiteral("P0012345"));
        s.range(QStringLiteral("D5")).setValue(QStringLiteral("1001 東京配送センター"));
        for (int i = 12; i < 12 + careJobs; ++i) {
            if (i > 32)
                formatRow(s, i,
                          {{"B", "G", "@", {}, true, true},
                           {"H", "M", "@", {}, true, true},
                           {"N", "S", "@", {}, true, true},
                           {"T", "X", "#,##0_ ", HorizontalAlignment::Right, true, true},
                           {"Y", "AI", "@", HorizontalAlignment::Center, false, false},
                           {"AJ", "AX", "@", HorizontalAlignment::Center, false, false}});
            if (i > 32)
                s.range(QStringLiteral("A%1").arg(i)).setRowHeight(30); // room for the barcode, as rows 12-32
            const QString job = QStringLiteral("P0012345-%1").arg(i - 11);
            s.range(QStringLiteral("B%1").arg(i)).setValue(job);
            s.range(QStringLiteral("H%1").arg(i)).setValue(QStringLiteral("C-%1").arg(i));
            s.range(QStringLiteral("N%1").arg(i)).setValue(QStringLiteral("洗濯ネーム"));
            s.range(QStringLiteral("T%1").arg(i)).setValue(QStringLiteral("1500"));
            insertCode39(s, QStringLiteral("AJ%1").arg(i), QStringLiteral("*%1*").arg(job), {145, 25, true});
            s.moveShape(i - 11, 2, 2);
        }
    }

    // The assortment list.
    {
        Workbook assort = Workbook::open(templatePath(QStringLiteral("アソート.xlsx")));
        Sheet s = book.copySheetToEnd(assort.sheet(1));
        s.range(QStringLiteral("AG5")).setValue(QStringLiteral("P0012345"));
        s.range(QStringLiteral("B16")).setValue(QStringLiteral("1"));
        s.range(QStringLiteral("W16")).setValue(QStringLiteral("品名一品名二"));
        s.range(QStringLiteral("AO16")).setValue(QStringLiteral("2500"));
    }

    book.deleteSheet(1);
    const QString path = dir + QStringLiteral("/PO.P0012345.xlsx");
    book.save(path);
    return path;
}

QString buildReceiptWorkbook(const QString& dir, int lines) {
    Workbook book = Workbook::open(templatePath(QStringLiteral("受領確認.xlsx")));
    Sheet s = book.sheet(1);
    s.range(QStringLiteral("AE3")).setValue(QStringLiteral("2024/05/01"));
    s.range(QStringLiteral("AQ3")).setValue(QStringLiteral("2024/06/15"));
    s.range(QStringLiteral("AG5")).setValue(QStringLiteral("P0012345"));
    s.range(QStringLiteral("D5")).setValue(QStringLiteral("1001"));
    s.range(QStringLiteral("I5")).setValue(QStringLiteral("東京配送センター"));
    for (int k = 1; k <= lines; ++k) {
        const int r = 15 + k;
        if (r > 58)
            formatRow(s, r,
                      {{"B", "D", "@", HorizontalAlignment::Center, true, true},
                       {"E", "J", "@", {}, true, true},
                       {"K", "P", "@", {}, true, true},
                       {"Q", "V", "@", {}, true, true},
                       {"W", "AR", "@", {}, true, true},
                       {"AS", "AX", "#,##0_ ", HorizontalAlignment::Right, true, true}});
        s.range(QStringLiteral("B%1").arg(r)).setValue(QString::number(k));
        s.range(QStringLiteral("E%1").arg(r)).setValue(QStringLiteral("R%1").arg(k, 5, 10, QLatin1Char('0')));
        s.range(QStringLiteral("K%1").arg(r)).setValue(QString::number(100000 + k));
        s.range(QStringLiteral("Q%1").arg(r)).setValue(QStringLiteral("HB-%1").arg(k));
        s.range(QStringLiteral("W%1").arg(r)).setValue(QStringLiteral("ネーム%1号").arg(k));
        s.range(QStringLiteral("AS%1").arg(r)).setValue(QString::number(1000 * k));
    }
    const QString path = dir + QStringLiteral("/P0012345.xlsx");
    book.save(path);
    return path;
}

} // namespace kemnoa::xlsx::test
