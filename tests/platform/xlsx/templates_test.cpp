// The workbook templates: generated reproducibly, laid out as forms, and filled by the engine into an
// order workbook that openpyxl reads as intended.

#include "package_fixture.h"
#include "platform/xlsx/barcode.h"
#include "platform/xlsx/workbook.h"
#include "support/test_env.h"
#include "xlsx_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace kemnoa::xlsx;
using namespace kemnoa::xlsx::test;

namespace {
const QStringList kTemplates = {QStringLiteral("MST_DEF.xlsx"),  QStringLiteral("MST_PO.xlsx"),
                                QStringLiteral("MST_SK.xlsx"),   QStringLiteral("MST_CAR_SK.xlsx"),
                                QStringLiteral("アソート.xlsx"), QStringLiteral("受領確認.xlsx")};
} // namespace

TEST(XlsxTemplates, GeneratorRebuildsTheCommittedFiles) {
    // Compared part by part after unzipping (XML canonicalised): the zip's compressed bytes depend on
    // the zlib of the machine, not on the templates.
    QTemporaryDir dir;
    QByteArray err;
    ASSERT_EQ(run(kemnoa::test::systemPython(),
                  {sourceTree() + QStringLiteral("/tools/make-templates"), dir.path()}, nullptr, &err),
              0)
        << err.toStdString();
    for (const QString& name : kTemplates) {
        ASSERT_TRUE(QFileInfo::exists(templatePath(name))) << name.toStdString();
        QByteArray out;
        EXPECT_EQ(
            run(kemnoa::test::systemPython(),
                {testScript(QStringLiteral("compare_packages.py")), templatePath(name), dir.filePath(name)},
                &out, &err),
            0)
            << name.toStdString() << " differs from tools/make-templates:\n"
            << out.toStdString() << err.toStdString();
    }
}

TEST(XlsxTemplates, FormsHaveLabelsPreparedRowsAndA4PrintSetup) {
    QByteArray out, err;
    EXPECT_EQ(run(kemnoa::test::systemPython(),
                  {testScript(QStringLiteral("check_templates.py")),
                   sourceTree() + QStringLiteral("/resources/templates")},
                  &out, &err),
              0)
        << out.toStdString() << err.toStdString();
}

TEST(XlsxTemplates, EveryTemplateOpensInTheEngine) {
    for (const QString& name : kTemplates) {
        Workbook book = Workbook::open(templatePath(name));
        EXPECT_GE(book.sheetCount(), 1) << name.toStdString();
    }
    Workbook sk = Workbook::open(templatePath(QStringLiteral("MST_SK.xlsx")));
    EXPECT_EQ(sk.sheet(1).namedRange(QStringLiteral("Qul")).address(), QStringLiteral("B36:AZ55"));
    EXPECT_EQ(sk.sheet(1).namedRange(QStringLiteral("Qul")).fontSize(), 10);
    // The SK sheet's barcode is shape 1; the layout picture placed after it is "Picture 3".
    Sheet sheet = sk.sheet(1);
    insertCode39(sheet, QStringLiteral("AJ2"), QStringLiteral("*-1*"), {150, 25, true});
    QImage layout(10, 10, QImage::Format_RGB32);
    layout.fill(Qt::white);
    QTemporaryDir dir;
    ASSERT_TRUE(layout.save(dir.filePath(QStringLiteral("L.jpg"))));
    EXPECT_EQ(sheet.insertPicture(dir.filePath(QStringLiteral("L.jpg")), QStringLiteral("AK6")),
              QStringLiteral("Picture 3"));
    sheet.moveShape(QStringLiteral("Picture 3"), 3, 3);
    EXPECT_EQ(sheet.shapeNames().size(), 2);
}

TEST(XlsxTemplates, OrderWorkbookFromTheTemplates) {
    QTemporaryDir dir;
    const QString path = buildPackageWorkbook(dir.path(), 25);
    const QJsonObject dump = openpyxlDump(path);
    QStringList names;
    for (const auto& s : dump["sheets"].toArray())
        names << s.toObject()["name"].toString();
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("納品情報1"), QStringLiteral("PO1"), QStringLiteral("納品情報2"),
                           QStringLiteral("PO2"), QStringLiteral("P0012345-1"), QStringLiteral("洗濯ネーム"),
                           QStringLiteral("アソート")}));

    const QJsonObject info2 = dumpSheet(dump, QStringLiteral("納品情報2"));
    EXPECT_EQ(dumpCell(info2, QStringLiteral("BC2"))["value"].toString(), QStringLiteral("2/2"));
    EXPECT_EQ(dumpCell(info2, QStringLiteral("B34"))["value"].toString(), QStringLiteral("08710002"));
    EXPECT_EQ(dumpCell(info2, QStringLiteral("AR34"))["value"].toDouble(), 3);
    EXPECT_EQ(dumpCell(info2, QStringLiteral("AY34"))["value"].toDouble(), 12.345);
    EXPECT_EQ(info2["paperSize"].toInt(), 9);
    const QJsonObject po2 = dumpSheet(dump, QStringLiteral("PO2"));
    EXPECT_EQ(dumpCell(po2, QStringLiteral("AY7"))["value"].toString(), QStringLiteral("P0012345-2"));
    EXPECT_EQ(dumpCell(po2, QStringLiteral("BC57"))["value"].toDouble(), 74);
    EXPECT_EQ(dumpCell(po2, QStringLiteral("BC57"))["format"].toString(), QStringLiteral("#,##0"));

    const QJsonObject sk = dumpSheet(dump, QStringLiteral("P0012345-1"));
    EXPECT_EQ(dumpCell(sk, QStringLiteral("B25"))["value"].toString(), QStringLiteral(" "));
    EXPECT_EQ(dumpCell(sk, QStringLiteral("B36"))["value"].toString(), QStringLiteral("COLOR"));
    EXPECT_EQ(dumpCell(sk, QStringLiteral("E38"))["value"].toString(),
              QStringLiteral("200")); // grid cells are text
    EXPECT_EQ(dumpCell(sk, QStringLiteral("B57"))["value"].toDouble(), 1200);
    // COLOR: 5 bytes, 6 rounded to even, at size 10 -> 30, plus 11.
    // 41 characters of a 7-pixel digit with 5 pixels of padding, in 1/256 steps: 10678 / 256.
    EXPECT_DOUBLE_EQ(sk["widths"].toObject()["B"].toDouble(), 41.7109375);
    EXPECT_EQ(sk["images"].toArray().size(), 2);
    EXPECT_EQ(sk["images"].toArray()[1].toObject()["anchor"].toObject()["colOff"].toInt(), 3 * 12700);
    EXPECT_EQ(sk["images"].toArray()[1].toObject()["format"].toString(), QStringLiteral("jpeg"));
    bool qulOnCopy = false;
    for (const auto& n : dump["names"].toArray()) {
        const QJsonObject o = n.toObject();
        if (o["name"].toString() == QStringLiteral("Qul")) {
            EXPECT_EQ(o["localSheetId"].toInt(), 4);
            EXPECT_EQ(o["value"].toString(), QStringLiteral("'P0012345-1'!$B$36:$AZ$55"));
            qulOnCopy = true;
        }
    }
    EXPECT_TRUE(qulOnCopy);

    const QJsonObject care = dumpSheet(dump, QStringLiteral("洗濯ネーム"));
    EXPECT_EQ(care["images"].toArray().size(), 25);
    EXPECT_EQ(dumpCell(care, QStringLiteral("B36"))["value"].toString(), QStringLiteral("P0012345-25"));
    EXPECT_EQ(dumpCell(care, QStringLiteral("T36"))["value"].toDouble(), 1500);
    for (const char* ref : {"B32", "B33", "B36"}) {
        // Prepared (32) and program-formatted (33, 36) rows look the same.
        const QJsonObject c = dumpCell(care, QString::fromLatin1(ref));
        EXPECT_EQ(c["format"].toString(), QStringLiteral("@")) << ref;
        EXPECT_EQ(c["border"].toObject()["bottom"].toString(), QStringLiteral("dotted")) << ref;
        EXPECT_EQ(c["border"].toObject()["left"].toString(), QStringLiteral("thin")) << ref;
        EXPECT_EQ(c["font"].toObject()["name"].toString(), QStringLiteral("ＭＳ Ｐゴシック")) << ref;
        EXPECT_EQ(c["font"].toObject()["size"].toDouble(), 10) << ref;
    }
    EXPECT_EQ(dumpCell(care, QStringLiteral("T33"))["format"].toString(), QStringLiteral("#,##0_ "));
    EXPECT_EQ(dumpCell(care, QStringLiteral("T33"))["horizontal"].toString(), QStringLiteral("right"));
    const QJsonArray merges = care["merges"].toArray();
    for (const char* m : {"B33:G33", "T36:X36", "AJ36:AX36"})
        EXPECT_TRUE(merges.contains(QString::fromLatin1(m))) << m;
    EXPECT_EQ(dump["active"].toInt(), 5);
}

TEST(XlsxTemplates, ReceiptFormatsRowsPastThePreparedOnes) {
    QTemporaryDir dir;
    const QString path = buildReceiptWorkbook(dir.path(), 44);
    const QJsonObject s = dumpSheet(openpyxlDump(path), QStringLiteral("受領確認"));
    EXPECT_EQ(dumpCell(s, QStringLiteral("AG5"))["value"].toString(), QStringLiteral("P0012345"));
    EXPECT_EQ(dumpCell(s, QStringLiteral("B59"))["value"].toString(), QStringLiteral("44"));
    EXPECT_EQ(dumpCell(s, QStringLiteral("K59"))["value"].toString(), QStringLiteral("100044"));
    EXPECT_EQ(dumpCell(s, QStringLiteral("AS59"))["value"].toDouble(), 44000);
    EXPECT_EQ(dumpCell(s, QStringLiteral("AS59"))["format"].toString(), QStringLiteral("#,##0_ "));
    EXPECT_EQ(dumpCell(s, QStringLiteral("B59"))["horizontal"].toString(), QStringLiteral("center"));
    EXPECT_EQ(dumpCell(s, QStringLiteral("AX59"))["border"].toObject()["right"].toString(),
              QStringLiteral("thin"));
    EXPECT_TRUE(s["merges"].toArray().contains(QStringLiteral("W59:AR59")));
    EXPECT_FALSE(s["merges"].toArray().contains(QStringLiteral("W60:AR60")));
}
