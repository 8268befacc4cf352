// Copying sheets between workbooks (formats remapped, names carried) and deleting sheets.

#include "platform/xlsx/workbook.h"
#include "platform/xlsx/workbook_error.h"
#include "support/test_env.h"
#include "xlsx_test_support.h"

#include <QImage>
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace kemnoa::xlsx;
using namespace kemnoa::xlsx::test;

namespace {

QString makeSource(const QTemporaryDir& dir) {
    const QString image = dir.filePath(QStringLiteral("logo.png"));
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    EXPECT_TRUE(logo.save(image));
    const QString path = dir.filePath(QStringLiteral("source.xlsx"));
    QByteArray err;
    EXPECT_EQ(run(kemnoa::test::systemPython(),
                  {testScript(QStringLiteral("make_copy_source.py")), path, image}, nullptr, &err),
              0)
        << err.toStdString();
    return path;
}

QJsonObject nameEntry(const QJsonObject& dump, const QString& name, int localSheetId) {
    for (const auto& n : dump[QStringLiteral("names")].toArray()) {
        const QJsonObject o = n.toObject();
        if (o[QStringLiteral("name")].toString() == name &&
            (o[QStringLiteral("localSheetId")].isNull() ? -1 : o[QStringLiteral("localSheetId")].toInt()) ==
                localSheetId)
            return o;
    }
    return {};
}

} // namespace

TEST(XlsxSheetCopy, CarriesCellsFormatsAndObjectsIntoAWorkbookWithCollidingStyles) {
    QTemporaryDir dir;
    Workbook source = Workbook::open(makeSource(dir));

    // The target has formats of its own at the same table positions as the source's.
    Workbook target = Workbook::create();
    Sheet own = target.sheet(1);
    own.setName(QStringLiteral("Own"));
    own.range(QStringLiteral("A1")).setValue(QStringLiteral("own"));
    own.range(QStringLiteral("A1")).setFont({.size = 9, .italic = true, .colorIndex = 5});
    own.range(QStringLiteral("B2")).setNumber(5);
    own.range(QStringLiteral("B2")).setNumberFormat(QStringLiteral("#,##0_ "));

    Sheet first = target.copySheetToEnd(*source.sheet(QStringLiteral("Form")));
    Sheet second = target.copySheetToEnd(*source.sheet(QStringLiteral("Form")));
    first.setName(QStringLiteral("納品情報1"));
    second.setName(QStringLiteral("納品情報2"));
    second.range(QStringLiteral("B2")).setValue(QStringLiteral("2.5"));
    EXPECT_EQ(target.sheetNames(),
              (QStringList{QStringLiteral("Own"), QStringLiteral("納品情報1"), QStringLiteral("納品情報2")}));
    EXPECT_EQ(second.namedRange(QStringLiteral("Qul")).address(), QStringLiteral("B10:F20"));

    const QString path = dir.filePath(QStringLiteral("target.xlsx"));
    target.save(path);
    const QJsonObject dump = openpyxlDump(path);
    for (const QString& name : {QStringLiteral("納品情報1"), QStringLiteral("納品情報2")}) {
        SCOPED_TRACE(name.toStdString());
        const QJsonObject s = dumpSheet(dump, name);
        const QJsonObject a1 = dumpCell(s, QStringLiteral("A1"));
        EXPECT_EQ(a1["value"].toString(), QStringLiteral("見出し"));
        EXPECT_EQ(a1["font"].toObject()["name"].toString(), QStringLiteral("ＭＳ Ｐゴシック"));
        EXPECT_EQ(a1["font"].toObject()["size"].toDouble(), 14);
        EXPECT_TRUE(a1["font"].toObject()["bold"].toBool());
        EXPECT_FALSE(a1["font"].toObject()["italic"].toBool());
        EXPECT_EQ(a1["font"].toObject()["color"].toObject()["rgb"].toString(), QStringLiteral("FFFF0000"));
        const QJsonObject b2 = dumpCell(s, QStringLiteral("B2"));
        EXPECT_EQ(b2["format"].toString(), QStringLiteral("0.000"));
        EXPECT_EQ(b2["border"].toObject()["bottom"].toString(), QStringLiteral("double"));
        EXPECT_EQ(s["merges"].toArray(), QJsonArray({QStringLiteral("C4:E4")}));
        EXPECT_DOUBLE_EQ(s["widths"].toObject()["B"].toDouble(), 20);
        EXPECT_DOUBLE_EQ(s["heights"].toObject()["2"].toDouble(), 30);
        EXPECT_EQ(s["paperSize"].toInt(), 9);
        EXPECT_EQ(s["orientation"].toString(), QStringLiteral("landscape"));
        ASSERT_EQ(s["images"].toArray().size(), 1);
        EXPECT_EQ(s["images"].toArray()[0].toObject()["anchor"].toObject()["col"].toInt(), 3); // D
    }
    EXPECT_EQ(
        dumpCell(dumpSheet(dump, QStringLiteral("納品情報1")), QStringLiteral("B2"))["value"].toDouble(),
        3.14159);
    EXPECT_EQ(
        dumpCell(dumpSheet(dump, QStringLiteral("納品情報2")), QStringLiteral("B2"))["value"].toDouble(),
        2.5);
    // The target's own formats are untouched.
    const QJsonObject own1 = dumpCell(dumpSheet(dump, QStringLiteral("Own")), QStringLiteral("A1"));
    EXPECT_TRUE(own1["font"].toObject()["italic"].toBool());
    EXPECT_EQ(own1["font"].toObject()["size"].toDouble(), 9);
    EXPECT_EQ(dumpCell(dumpSheet(dump, QStringLiteral("Own")), QStringLiteral("B2"))["format"].toString(),
              QStringLiteral("#,##0_ "));
    // Sheet-scoped names follow their copies and their new names.
    EXPECT_EQ(nameEntry(dump, QStringLiteral("Qul"), 1)["value"].toString(),
              QStringLiteral("'納品情報1'!$B$10:$F$20"));
    EXPECT_EQ(nameEntry(dump, QStringLiteral("Qul"), 2)["value"].toString(),
              QStringLiteral("'納品情報2'!$B$10:$F$20"));
    // Print areas are sheet-scoped names too.
    EXPECT_EQ(dumpSheet(dump, QStringLiteral("納品情報2"))["printArea"].toString(),
              QStringLiteral("$A$1:$H$30"));
}

TEST(XlsxSheetCopy, DeletingTheFirstSheetKeepsNamesOfLaterSheets) {
    QTemporaryDir dir;
    Workbook book = Workbook::create();
    book.sheet(1).setName(QStringLiteral("Placeholder"));
    Sheet a = book.copySheetToEnd(book.sheet(1));
    a.setName(QStringLiteral("PO-1"));
    Sheet b = book.copySheetToEnd(book.sheet(1));
    b.setName(QStringLiteral("PO-2"));
    book.setDefinedName(QStringLiteral("Qul"), QStringLiteral("'PO-1'!$B$2:$C$3"), 2);
    book.setDefinedName(QStringLiteral("Qul"), QStringLiteral("'PO-2'!$D$4:$E$5"), 3);
    book.setDefinedName(QStringLiteral("Total"), QStringLiteral("'PO-2'!$A$1"));
    book.setDefinedName(QStringLiteral("Old"), QStringLiteral("Placeholder!$A$1"));
    book.setDefinedName(QStringLiteral("Scratch"), QStringLiteral("Placeholder!$A$1:$B$2"), 1);
    book.activate(3);

    book.deleteSheet(1);
    EXPECT_EQ(b.index(), 2);
    EXPECT_EQ(b.namedRange(QStringLiteral("Qul")).address(), QStringLiteral("D4:E5"));
    EXPECT_EQ(a.namedRange(QStringLiteral("Qul")).address(), QStringLiteral("B2:C3"));
    EXPECT_EQ(book.activeSheet(), 2);

    const QString path = dir.filePath(QStringLiteral("deleted.xlsx"));
    book.save(path);
    const QJsonObject dump = openpyxlDump(path);
    ASSERT_EQ(dump["sheets"].toArray().size(), 2);
    EXPECT_EQ(dump["sheets"].toArray()[0].toObject()["name"].toString(), QStringLiteral("PO-1"));
    EXPECT_EQ(nameEntry(dump, QStringLiteral("Qul"), 0)["value"].toString(),
              QStringLiteral("'PO-1'!$B$2:$C$3"));
    EXPECT_EQ(nameEntry(dump, QStringLiteral("Qul"), 1)["value"].toString(),
              QStringLiteral("'PO-2'!$D$4:$E$5"));
    EXPECT_EQ(nameEntry(dump, QStringLiteral("Total"), -1)["value"].toString(),
              QStringLiteral("'PO-2'!$A$1"));
    EXPECT_EQ(nameEntry(dump, QStringLiteral("Old"), -1)["value"].toString(), QStringLiteral("#REF!"));
    EXPECT_TRUE(nameEntry(dump, QStringLiteral("Scratch"), 0).isEmpty());
    EXPECT_EQ(dump["active"].toInt(), 1);
}
