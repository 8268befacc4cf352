// Inserting rows: everything at or below the insertion point moves down together (cells, formats,
// heights, merged areas, defined names, pictures, page breaks, conditional formats), areas across it
// grow, and inserted rows take another row's formats. Read back by openpyxl.

#include "platform/xlsx/workbook.h"
#include "platform/xlsx/workbook_error.h"
#include "support/test_env.h"
#include "xlsx_test_support.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa::xlsx;
using namespace kemnoa::xlsx::test;

namespace {

QByteArray png() {
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString nameValue(const QJsonObject& dump, const QString& name) {
    for (const auto& n : dump[QStringLiteral("names")].toArray())
        if (n[QStringLiteral("name")].toString() == name)
            return n[QStringLiteral("value")].toString();
    return QStringLiteral("(none)");
}

TEST(XlsxRowInsert, EverythingBelowMovesDownAndAreasAcrossGrow) {
    QTemporaryDir dir;
    Workbook book = Workbook::create();
    Sheet s = book.sheet(1);
    s.setName(QStringLiteral("SK"));
    Sheet other = book.copySheetToEnd(s);
    other.setName(QStringLiteral("Other"));
    s.range(QStringLiteral("B2")).setValue(QStringLiteral("above"));
    s.range(QStringLiteral("B9")).setValue(QStringLiteral("at"));
    s.range(QStringLiteral("B9")).setNumberFormat(QStringLiteral("@"));
    s.range(QStringLiteral("B9")).setRowHeight(30);
    s.range(QStringLiteral("B12:D12")).merge();
    s.range(QStringLiteral("B12")).setValue(QStringLiteral("merged"));
    s.range(QStringLiteral("A4:A10")).merge();
    book.setDefinedName(QStringLiteral("Qul"), QStringLiteral("SK!$B$8:$AZ$12"), 1);          // across: grows
    book.setDefinedName(QStringLiteral("Total"), QStringLiteral("'SK'!$B$20"), 1);            // below: moves
    book.setDefinedName(QStringLiteral("Head"), QStringLiteral("SK!$B$2:$C$3"), 1);           // above: stays
    book.setDefinedName(QStringLiteral("_xlnm.Print_Titles"), QStringLiteral("SK!$9:$9"), 1); // a row range
    book.setDefinedName(QStringLiteral("Elsewhere"), QStringLiteral("Other!$B$20"), 0);       // another sheet
    s.insertPictureData(png(), QStringLiteral("C2"));
    s.insertPictureData(png(), QStringLiteral("C15"));
    other.range(QStringLiteral("B9")).setValue(QStringLiteral("other"));

    s.insertRows(9, 3);
    EXPECT_THROW(s.insertRows(0, 1), WorkbookError);

    const QString path = dir.filePath(QStringLiteral("rows.xlsx"));
    book.save(path);
    const QJsonObject dump = openpyxlDump(path);
    const QJsonObject sk = dumpSheet(dump, QStringLiteral("SK"));
    EXPECT_EQ(dumpCell(sk, QStringLiteral("B2"))[QStringLiteral("value")].toString(),
              QStringLiteral("above"));
    EXPECT_TRUE(dumpCell(sk, QStringLiteral("B9")).isEmpty());
    EXPECT_EQ(dumpCell(sk, QStringLiteral("B12"))[QStringLiteral("value")].toString(), QStringLiteral("at"));
    EXPECT_EQ(dumpCell(sk, QStringLiteral("B12"))[QStringLiteral("format")].toString(), QStringLiteral("@"));
    EXPECT_EQ(sk[QStringLiteral("heights")][QStringLiteral("12")].toDouble(), 30);
    EXPECT_EQ(dumpCell(sk, QStringLiteral("B15"))[QStringLiteral("value")].toString(),
              QStringLiteral("merged"));
    const QJsonArray merges = sk[QStringLiteral("merges")].toArray();
    EXPECT_TRUE(merges.contains(QStringLiteral("B15:D15")));
    EXPECT_TRUE(merges.contains(QStringLiteral("A4:A13")));
    EXPECT_EQ(merges.size(), 2);
    EXPECT_EQ(nameValue(dump, QStringLiteral("Qul")), QStringLiteral("SK!$B$8:$AZ$15"));
    EXPECT_EQ(nameValue(dump, QStringLiteral("Total")), QStringLiteral("'SK'!$B$23"));
    EXPECT_EQ(nameValue(dump, QStringLiteral("Head")), QStringLiteral("SK!$B$2:$C$3"));
    EXPECT_EQ(nameValue(dump, QStringLiteral("Elsewhere")), QStringLiteral("Other!$B$20"));
    const QJsonArray pictures = sk[QStringLiteral("images")].toArray();
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_EQ(pictures[0][QStringLiteral("anchor")][QStringLiteral("row")].toInt(), 1);
    EXPECT_EQ(pictures[1][QStringLiteral("anchor")][QStringLiteral("row")].toInt(), 17);
    // The other sheet is left alone.
    EXPECT_EQ(
        dumpCell(dumpSheet(dump, QStringLiteral("Other")), QStringLiteral("B9"))[QStringLiteral("value")]
            .toString(),
        QStringLiteral("other"));
    // Print titles move with their row (openpyxl reads them into the sheet, so the engine checks).
    for (const DefinedName& n : book.definedNames()) {
        if (n.name == QStringLiteral("_xlnm.Print_Titles")) {
            EXPECT_EQ(n.formula, QStringLiteral("SK!$12:$12"));
        }
    }
}

TEST(XlsxRowInsert, InsertedRowsTakeAnotherRowsFormats) {
    QTemporaryDir dir;
    Workbook book = Workbook::create();
    Sheet s = book.sheet(1);
    Range prepared = s.range(QStringLiteral("B5:D5"));
    prepared.merge();
    prepared.setNumberFormat(QStringLiteral("#,##0_ "));
    prepared.setBorders(EdgeBottom, LineStyle::Dot);
    prepared.setRowHeight(30);
    s.range(QStringLiteral("F5")).setNumberFormat(QStringLiteral("@"));
    s.range(QStringLiteral("B7")).setValue(QStringLiteral("kept")); // a value in a target row stays
    s.insertRows(6, 3);
    s.copyRowFormat(5, 6, 8);
    EXPECT_THROW(s.copyRowFormat(5, 8, 6), WorkbookError);
    const QString path = dir.filePath(QStringLiteral("format.xlsx"));
    book.save(path);
    const QJsonObject sheet = dumpSheet(openpyxlDump(path), QStringLiteral("Sheet1"));
    for (int row = 6; row <= 8; ++row) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(sheet[QStringLiteral("merges")].toArray().contains(QStringLiteral("B%1:D%1").arg(row)));
        const QJsonObject b = dumpCell(sheet, QStringLiteral("B%1").arg(row));
        EXPECT_EQ(b[QStringLiteral("format")].toString(), QStringLiteral("#,##0_ "));
        EXPECT_EQ(b[QStringLiteral("border")][QStringLiteral("bottom")].toString(), QStringLiteral("dotted"));
        EXPECT_EQ(dumpCell(sheet, QStringLiteral("F%1").arg(row))[QStringLiteral("format")].toString(),
                  QStringLiteral("@"));
        EXPECT_EQ(sheet[QStringLiteral("heights")][QString::number(row)].toDouble(), 30);
    }
    EXPECT_EQ(dumpCell(sheet, QStringLiteral("B10"))[QStringLiteral("value")].toString(),
              QStringLiteral("kept"));
}

TEST(XlsxRowInsert, ASheetWithFormulasIsRefused) {
    // Formulas in cells would keep pointing at the old rows: refused rather than silently wrong.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("formula.xlsx"));
    QByteArray err;
    ASSERT_EQ(run(kemnoa::test::systemPython(),
                  {QStringLiteral("-c"),
                   QStringLiteral("import openpyxl,sys; wb=openpyxl.Workbook(); ws=wb.active; ws['A1']=1; "
                                  "ws['A2']='=A1*2'; wb.save(sys.argv[1])"),
                   path},
                  nullptr, &err),
              0)
        << err.toStdString();
    Workbook book = Workbook::open(path);
    Sheet s = book.sheet(1);
    EXPECT_THROW(s.insertRows(1, 1), WorkbookError);
    EXPECT_EQ(s.range(QStringLiteral("A1")).text(), QStringLiteral("1"));
}

} // namespace
