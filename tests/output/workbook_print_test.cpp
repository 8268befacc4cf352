// The order workbook and the receipt workbook of a PO as LibreOffice prints them: both convert to
// PDF, the values appear in the text, and the printed barcodes scan.

#include "output/sheet_common.h"
#include "workbook_steps_fixture.h"

#include <QFileInfo>

using namespace kemnoa;
using test::WorkbookStepsTest;

namespace {

class WorkbookPrintTest : public WorkbookStepsTest {};

QString pdfText(const QString& pdf) {
    QByteArray out;
    EXPECT_EQ(xlsx::test::run(QStringLiteral("pdftotext"),
                              {QStringLiteral("-layout"), pdf, QStringLiteral("-")}, &out),
              0);
    return QString::fromUtf8(out);
}

TEST_P(WorkbookPrintTest, OrderAndReceiptWorkbooksPrintAndTheirBarcodesScan) {
    if (!test::haveProgram(QStringLiteral("soffice")) || !test::haveProgram(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "LibreOffice or pdftotext is not installed";
    poHeader({{QStringLiteral("発注先名"), QStringLiteral("上海工場")}});
    for (int i = 1; i <= 21; ++i)
        poLine(i);
    job(1, QStringLiteral("下札"));
    for (int line = 1; line <= 12; ++line)
        composition(1, line, QStringLiteral("組成%1").arg(line));
    for (int line = 1; line <= 22; ++line)
        gridLine(1, line, {QStringLiteral("COLOR%1").arg(line), QStringLiteral("M"), QStringLiteral("10")});
    for (int no = 2; no <= 24; ++no)
        job(no, QStringLiteral("洗濯ネーム"));
    for (int gyou = 1; gyou <= 44; ++gyou)
        skLine(gyou);

    output::PackageRun& r = run();
    for (auto step : {output::MF_PoSheetMake, output::MF_SkSheetMake, output::MF_CareSheetMake,
                      output::MF_AssortSheetMake})
        ASSERT_EQ(step(r), core::Outcome::Done) << prompter_.messages().join(u'\n').toStdString();
    r.PkgBook->deleteSheet(1);
    const QString book = savedPath(output::poBookFileName(po, QStringLiteral("0")));
    ASSERT_EQ(output::MP_OrderSheetMake(prompter_, connection_, po_, po, QStringLiteral("0"), out_),
              core::Outcome::Done);
    const QString receipt = out_ + QStringLiteral("/P00000001.xlsx");
    EXPECT_EQ(sheetNames(xlsx::test::openpyxlDump(book)),
              (QStringList{QStringLiteral("納品情報1"), QStringLiteral("PO1"), QStringLiteral("納品情報2"),
                           QStringLiteral("PO2"), QStringLiteral("P00000001-1"), QStringLiteral("洗濯ネーム"),
                           QStringLiteral("アソート")}));

    const QString pdf = dir_.filePath(QStringLiteral("pdf"));
    QByteArray log, err;
    const int rc = xlsx::test::run(
        QStringLiteral("soffice"),
        {QStringLiteral("-env:UserInstallation=file://") + dir_.filePath(QStringLiteral("profile")),
         QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
         QStringLiteral("--outdir"), pdf, book, receipt},
        &log, &err, 240000);
    ASSERT_EQ(rc, 0) << log.toStdString() << err.toStdString();
    const QString bookPdf = pdf + QStringLiteral("/PO.P00000001.pdf"),
                  receiptPdf = pdf + QStringLiteral("/P00000001.pdf");
    ASSERT_TRUE(QFileInfo::exists(bookPdf)) << log.toStdString() << err.toStdString();
    ASSERT_TRUE(QFileInfo::exists(receiptPdf)) << log.toStdString() << err.toStdString();

    const QString bookText = pdfText(bookPdf);
    for (const char* expected : {"上海工場", "P00000001-2", "下札21", "組成12", "COLOR22", "P00000001-24",
                                 "ネーム44号", "サイズ・カラー別数量", "合計数量"})
        EXPECT_TRUE(bookText.contains(QString::fromUtf8(expected))) << expected;
    const QString receiptText = pdfText(receiptPdf);
    for (const char* expected : {"受領確認書", "P00000001", "さくら衣料", "ネーム1号", "ネーム44号", "R44"})
        EXPECT_TRUE(receiptText.contains(QString::fromUtf8(expected))) << expected;

    if (!test::haveProgram(QStringLiteral("zbarimg")) || !test::haveProgram(QStringLiteral("pdftoppm")))
        GTEST_SKIP() << "zbarimg or pdftoppm is not installed";
    const QString pages = dir_.filePath(QStringLiteral("page"));
    ASSERT_EQ(xlsx::test::run(QStringLiteral("pdftoppm"),
                              {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                               QStringLiteral("-png"), bookPdf, pages}),
              0);
    QStringList files;
    for (const QFileInfo& f : QDir(dir_.path()).entryInfoList({QStringLiteral("page*.png")}))
        files << f.filePath();
    QByteArray scanned;
    xlsx::test::run(QStringLiteral("zbarimg"),
                    QStringList{QStringLiteral("--raw"), QStringLiteral("-q")} + files, &scanned);
    const QStringList codes = QString::fromLatin1(scanned).split(u'\n', Qt::SkipEmptyParts);
    QStringList expected{QStringLiteral("-1")};
    for (int no = 2; no <= 24; ++no)
        expected << QStringLiteral("P00000001-%1").arg(no);
    for (const QString& code : expected)
        EXPECT_TRUE(codes.contains(code))
            << code.toStdString() << " not among " << codes.join(u' ').toStdString();
}

// Printing does not depend on the database: SQLite alone.
INSTANTIATE_TEST_SUITE_P(Dialects, WorkbookPrintTest, ::testing::Values(db::Dialect::SQLite),
                         test::dialectLabel);

} // namespace
