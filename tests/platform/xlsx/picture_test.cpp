// Pictures and Code 39 barcodes on sheets: placed, moved, copied, and decoded by zbarimg.

#include "platform/xlsx/barcode.h"
#include "platform/xlsx/workbook.h"
#include "platform/xlsx/workbook_error.h"
#include "platform/xlsx/zip_package.h"
#include "support/test_env.h"
#include "xlsx_test_support.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace kemnoa::xlsx;
using namespace kemnoa::xlsx::test;

namespace {

QString makeImage(const QTemporaryDir& dir, const char* name, const char* format) {
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    const QString path = dir.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(image.save(path, format)) << name;
    return path;
}

QJsonObject anchorOf(const QJsonObject& sheet, int i) {
    return sheet["images"].toArray()[i].toObject()["anchor"].toObject();
}

// The media parts of a saved workbook, written to files for zbarimg.
QStringList extractMedia(const QString& workbook, const QTemporaryDir& dir) {
    const PartMap parts = readZip(readFileBytes(workbook, 1 << 26), {});
    QStringList files;
    for (const auto& [name, bytes] : parts) {
        if (name.rfind("xl/media/", 0) != 0)
            continue;
        const QString path = dir.filePath(QString::fromStdString(name).replace(u'/', u'_'));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
        files << path;
    }
    return files;
}

} // namespace

TEST(XlsxPictures, PlacesAndMovesPicturesOfEachFormat) {
    QTemporaryDir dir;
    Workbook book = Workbook::create();
    Sheet s = book.sheet(1);
    EXPECT_EQ(s.insertPicture(makeImage(dir, "a.png", "PNG"), QStringLiteral("AK6")),
              QStringLiteral("Picture 2"));
    EXPECT_EQ(s.insertPicture(makeImage(dir, "b.jpg", "JPG"), QStringLiteral("A1")),
              QStringLiteral("Picture 3"));
    EXPECT_EQ(s.insertPicture(makeImage(dir, "c.bmp", "BMP"), QStringLiteral("C10"), 30, 0),
              QStringLiteral("Picture 4"));
    s.moveShape(QStringLiteral("Picture 2"), 3, 3);
    s.moveShape(2, 100, 0); // across columns of the default width (64 pixels = 48 points)
    EXPECT_THROW(s.moveShape(QStringLiteral("Picture 9"), 1, 1), WorkbookError);
    EXPECT_THROW(s.moveShape(4, 1, 1), WorkbookError);
    EXPECT_THROW(s.insertPicture(dir.filePath(QStringLiteral("none.png")), QStringLiteral("A1")),
                 WorkbookError);

    const QString path = dir.filePath(QStringLiteral("pictures.xlsx"));
    book.save(path);
    const QJsonObject sheet = dumpSheet(openpyxlDump(path), QStringLiteral("Sheet1"));
    const QJsonArray images = sheet["images"].toArray();
    ASSERT_EQ(images.size(), 3);
    EXPECT_EQ(images[0].toObject()["format"].toString(), QStringLiteral("png"));
    EXPECT_EQ(images[1].toObject()["format"].toString(), QStringLiteral("jpeg"));
    EXPECT_EQ(images[2].toObject()["format"].toString(), QStringLiteral("png")); // BMP stored as PNG
    EXPECT_EQ(anchorOf(sheet, 0)["col"].toInt(), 36);                            // AK
    EXPECT_EQ(anchorOf(sheet, 0)["row"].toInt(), 5);
    EXPECT_EQ(anchorOf(sheet, 0)["colOff"].toInt(), 3 * 12700);
    EXPECT_EQ(anchorOf(sheet, 0)["rowOff"].toInt(), 3 * 12700);
    EXPECT_EQ(anchorOf(sheet, 1)["col"].toInt(), 2);
    EXPECT_EQ(anchorOf(sheet, 1)["colOff"].toInt(), 100 * 12700 - 2 * 64 * 9525);
    EXPECT_EQ(anchorOf(sheet, 2)["row"].toInt(), 9);
}

TEST(XlsxPictures, BarcodesDecodeToTheirValues) {
    if (!kemnoa::test::haveProgram(QStringLiteral("zbarimg")))
        GTEST_SKIP() << "zbarimg is not installed";
    QTemporaryDir dir;
    Workbook book = Workbook::create();
    Sheet s = book.sheet(1);
    const QString name = insertCode39(s, QStringLiteral("AJ2"), QStringLiteral("*-1*"), {150, 25, true});
    insertCode39(s, QStringLiteral("AJ12"), QStringLiteral("*P0012345-3*"), {145, 25, true});
    s.moveShape(2, 2, 2);
    EXPECT_EQ(s.shapeNames(), (QStringList{name, QStringLiteral("Barcode 3")}));
    EXPECT_THROW(insertCode39(s, QStringLiteral("A1"), QStringLiteral("*ä*"), {}), WorkbookError);
    EXPECT_THROW(insertCode39(s, QStringLiteral("A1"), QStringLiteral("**"), {}), WorkbookError);

    // The copy in another workbook carries the pictures.
    Workbook other = Workbook::create();
    other.copySheetToEnd(s);
    other.deleteSheet(1);
    const QString path = dir.filePath(QStringLiteral("barcodes.xlsx"));
    other.save(path);
    const QJsonObject sheet = dumpSheet(openpyxlDump(path), QStringLiteral("Sheet1 (2)"));
    ASSERT_EQ(sheet["images"].toArray().size(), 2);

    QStringList decoded;
    for (const QString& file : extractMedia(path, dir)) {
        QByteArray out, err;
        EXPECT_EQ(
            run(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), file}, &out, &err),
            0)
            << file.toStdString() << err.toStdString();
        decoded << QString::fromLatin1(out).trimmed();
    }
    decoded.sort();
    EXPECT_EQ(decoded, (QStringList{QStringLiteral("-1"), QStringLiteral("P0012345-3")}));
}
