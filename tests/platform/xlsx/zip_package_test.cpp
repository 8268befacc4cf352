// Archives written entry by entry, read back by Python's zipfile (an independent reader) and by the
// engine's own reader.

#include "platform/xlsx/workbook_error.h"
#include "platform/xlsx/zip_package.h"
#include "support/test_env.h"
#include "xlsx_test_support.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace kemnoa::xlsx;
using namespace kemnoa::xlsx::test;

TEST(XlsxZip, EntriesWrittenInPiecesReadBackWhole) {
    // A long repetitive text written in uneven pieces, an empty entry, a non-ASCII name, random bytes.
    std::string sheet;
    for (int r = 1; r <= 40000; ++r)
        sheet += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>" +
                 std::to_string(r * 7) + "</v></c></row>";
    std::string noise(300000, '\0');
    uint32_t x = 12345;
    for (char& c : noise) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    const std::map<std::string, std::string> parts = {
        {"xl/worksheets/sheet1.xml", sheet}, {"empty.txt", ""}, {"xl/media/画像.bin", noise}};
    ZipWriter zip;
    zip.begin("xl/worksheets/sheet1.xml");
    for (size_t at = 0, step = 1; at < sheet.size(); at += step, step = step * 3 % 70001 + 1)
        zip.write(std::string_view(sheet).substr(at, step));
    zip.end();
    zip.add("empty.txt", "");
    zip.add("xl/media/画像.bin", noise);
    const std::string archive = zip.finish();

    EXPECT_EQ(readZip(archive, {}), parts);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.zip"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(archive.data(), qint64(archive.size()));
    file.close();
    const QString script =
        QStringLiteral("import hashlib, json, sys, zipfile\n"
                       "z = zipfile.ZipFile(sys.argv[1])\n"
                       "print(json.dumps({'bad': z.testzip(), 'entries': [[i.filename, i.file_size, "
                       "hashlib.sha256(z.read(i)).hexdigest(), i.compress_type, i.date_time[0]] for i in "
                       "z.infolist()]}))\n");
    QByteArray out, err;
    ASSERT_EQ(run(kemnoa::test::systemPython(), {QStringLiteral("-c"), script, path}, &out, &err), 0)
        << err.toStdString();
    const QJsonObject read = QJsonDocument::fromJson(out).object();
    EXPECT_TRUE(read[QStringLiteral("bad")].isNull()) << out.toStdString();
    const QJsonArray entries = read[QStringLiteral("entries")].toArray();
    ASSERT_EQ(entries.size(), 3) << out.toStdString();
    const QStringList order = {QStringLiteral("xl/worksheets/sheet1.xml"), QStringLiteral("empty.txt"),
                               QStringLiteral("xl/media/画像.bin")};
    for (int i = 0; i < 3; ++i) {
        const QJsonArray e = entries[i].toArray();
        const std::string& bytes = parts.at(order[i].toStdString());
        EXPECT_EQ(e[0].toString(), order[i]);
        EXPECT_EQ(e[1].toInteger(), qint64(bytes.size()));
        EXPECT_EQ(e[2].toString(),
                  QString::fromLatin1(
                      QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
                          .toHex()));
        EXPECT_EQ(e[3].toInt(), 8); // deflated
        EXPECT_EQ(e[4].toInt(), 1980);
    }
    // The repetitive text shrinks a lot even at the fast level.
    EXPECT_LT(archive.size(), sheet.size() / 5 + noise.size() + 1000);

    // Misuse is refused rather than producing a broken archive.
    ZipWriter open;
    open.begin("a");
    EXPECT_THROW(open.begin("b"), WorkbookError);
    EXPECT_THROW(open.finish(), WorkbookError);
    ZipWriter closed;
    EXPECT_THROW(closed.write("x"), WorkbookError);
    EXPECT_THROW(closed.end(), WorkbookError);
}
