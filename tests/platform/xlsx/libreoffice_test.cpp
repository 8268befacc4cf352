// LibreOffice, as an independent reader, opens the written workbooks and prints them: the values
// appear in the PDF text, and the barcodes on the printed pages scan.

#include "package_fixture.h"
#include "platform/xlsx/workbook.h"
#include "support/test_env.h"
#include "xlsx_test_support.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace kemnoa::xlsx;
using namespace kemnoa::xlsx::test;

namespace {

QString pdfText(const QString& pdf) {
    QByteArray out;
    EXPECT_EQ(run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}, &out),
              0);
    return QString::fromUtf8(out);
}

QString productMaster(const QString& dir) {
    Workbook book = Workbook::create();
    Sheet s = book.sheet(1);
    const char* headers[] = {"商品コード", "ケム資材名", "品名1",   "品名2",
                             "上海単価",   "提出単価",   "ケム単価"};
    for (int c = 0; c < 7; ++c) {
        Range h = s.cell(1, uint32_t(c + 1));
        h.setValue(QString::fromUtf8(headers[c]));
        h.setFont({.name = QStringLiteral("ＭＳ Ｐゴシック"), .size = 10});
        h.setNumberFormat(QStringLiteral("@"));
    }
    const QStringList row = {QStringLiteral("8710001"), QStringLiteral("S-01"),   QStringLiteral("織ネーム"),
                             QStringLiteral("白"),      QStringLiteral("1234.5"), QStringLiteral("12"),
                             QStringLiteral("0.5")};
    for (int c = 0; c < 7; ++c) {
        Range d = s.cell(2, uint32_t(c + 1));
        d.setValue(row[c]);
        d.setNumberFormat(c < 4 ? QStringLiteral("@") : QStringLiteral("#,##0.00_ "));
    }
    const QString path = dir + QStringLiteral("/ケムノア商品マスタ.xlsx");
    book.save(path);
    return path;
}

} // namespace

TEST(XlsxLibreOffice, OpensAndPrintsWrittenWorkbooks) {
    if (!kemnoa::test::haveProgram(QStringLiteral("soffice")) ||
        !kemnoa::test::haveProgram(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "LibreOffice or pdftotext is not installed";
    QTemporaryDir dir;
    const QString package = buildPackageWorkbook(dir.path(), 25);
    const QString receipt = buildReceiptWorkbook(dir.path(), 44);
    const QString master = productMaster(dir.path());
    const QString out = dir.filePath(QStringLiteral("pdf"));
    QDir().mkpath(out);

    // One conversion run for all files; a private profile keeps parallel runs apart.
    QByteArray log, err;
    const int rc =
        run(QStringLiteral("soffice"),
            {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
             QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
             QStringLiteral("--outdir"), out, package, receipt, master},
            &log, &err, 240000);
    ASSERT_EQ(rc, 0) << log.toStdString() << err.toStdString();
    auto pdfOf = [&](const QString& file) {
        return out + u'/' + QFileInfo(file).completeBaseName() + QStringLiteral(".pdf");
    };
    for (const QString& f : {package, receipt, master})
        ASSERT_TRUE(QFileInfo::exists(pdfOf(f))) << f.toStdString() << log.toStdString() << err.toStdString();

    const QString receiptText = pdfText(pdfOf(receipt));
    for (const char* expected :
         {"P0012345", "東京配送センター", "ネーム1号", "ネーム44号", "44,000", "R00044", "受領確認書"})
        EXPECT_TRUE(receiptText.contains(QString::fromUtf8(expected))) << expected;

    const QString packageText = pdfText(pdfOf(package));
    for (const char* expected :
         {"海外納品情報", "上海工場", "下札（ブランドタグ）", "08710001", "P0012345-2", "PURCHASE ORDER",
          "COLOR", "ポリエステル 100%", "P0012345-25", "品名一品名二", "2,500"})
        EXPECT_TRUE(packageText.contains(QString::fromUtf8(expected))) << expected;

    const QString masterText = pdfText(pdfOf(master));
    for (const char* expected : {"商品コード", "8710001", "1,234.50", "0.50", "織ネーム"})
        EXPECT_TRUE(masterText.contains(QString::fromUtf8(expected))) << expected;

    // The printed barcodes scan.
    if (!kemnoa::test::haveProgram(QStringLiteral("zbarimg")) ||
        !kemnoa::test::haveProgram(QStringLiteral("pdftoppm")))
        GTEST_SKIP() << "zbarimg or pdftoppm is not installed";
    const QString pages = dir.filePath(QStringLiteral("page"));
    ASSERT_EQ(
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                                         QStringLiteral("-png"), pdfOf(package), pages}),
        0);
    QStringList images;
    for (const QFileInfo& f : QDir(dir.path()).entryInfoList({QStringLiteral("page*.png")}))
        images << f.filePath();
    QByteArray scanned;
    run(QStringLiteral("zbarimg"), QStringList{QStringLiteral("--raw"), QStringLiteral("-q")} + images,
        &scanned);
    const QStringList codes = QString::fromLatin1(scanned).split(u'\n', Qt::SkipEmptyParts);
    for (const char* expected : {"-1", "P0012345-1", "P0012345-21", "P0012345-25"})
        EXPECT_TRUE(codes.contains(QString::fromLatin1(expected)))
            << expected << " not among " << codes.join(u' ').toStdString();
}
