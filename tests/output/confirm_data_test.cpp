// Confirmation data: the POs listed and ticked, the rebuild of their rows, the label PDFs of both
// methods end to end (the renderer in process and as the kemnoa-label program, Ghostscript for the
// PostScript printer and the distiller), the print count, and what happens when a step fails.

#include "label_support.h"
#include "output/confirm_data.h"
#include "output_fixture.h"

#include <QDir>
#include <QTemporaryDir>

using namespace kemnoa;

namespace {

const QString kPo = QStringLiteral("P00000001");
const QString kKbn = QStringLiteral("0");

class ConfirmDataTest : public test::OutputTest {
protected:
    void SetUp() override {
        test::OutputTest::SetUp();
        if (IsSkipped())
            return;
        test::ensureGuiApplication();
        test::prepareLabelFolder(program_.path());
        QDir(root_.path()).mkpath(QStringLiteral("po"));
        QDir(root_.path()).mkpath(QStringLiteral("kakunin"));
        session_.PoFolder = root_.filePath(QStringLiteral("po")) + QLatin1Char('/');
        session_.KakuninFolder = root_.filePath(QStringLiteral("kakunin")) + QLatin1Char('/');
        session_.TagEnv = QStringLiteral("labels/TAG");
        session_.CarEnv = QStringLiteral("labels/CAR");
        session_.PrinterNm = QStringLiteral("PS");
        session_.PrinterPort = root_.filePath(QStringLiteral("port.ps"));
        session_.ComputerName = QStringLiteral("WS1");
        core::setCurrentPrinter(QStringLiteral("office-laser"));
    }
    void TearDown() override {
        core::setCurrentPrinter({});
        core::setProgramFolder({});
        test::OutputTest::TearDown();
    }

    static QString labelProgram() {
        return test::binaryDir() + QStringLiteral("/src/app/label/kemnoa-label");
    }

    // A PO of two orders: hang tags in two colours and a care label; and a PO of hang tags only.
    void samplePos() {
        const test::Values inPo{{QStringLiteral("PO_NO"), kPo}, {QStringLiteral("PO_KBN"), kKbn}};
        addOrder(701, inPo);
        addOrder(702, inPo);
        const QString pos = QStringLiteral("rcv_posdata");
        addLine(pos, 701, 1, {{QStringLiteral("TAHIN"), QStringLiteral("KM-2040")}});
        addLine(pos, 701, 2,
                {{QStringLiteral("TAHIN"), QStringLiteral("KM-2040")},
                 {QStringLiteral("TACLT"), QStringLiteral("ホワイト")}});
        addLine(QStringLiteral("rcv_cardata"), 701, 1,
                {{QStringLiteral("TAFCD"), QStringLiteral("CT-01")},
                 {QStringLiteral("EHJ"), QStringLiteral("E0001")},
                 {QStringLiteral("FUKI1"), QStringLiteral("F001")},
                 {QStringLiteral("TASIZ"), QStringLiteral("120")}});
        addLine(pos, 702, 1, {{QStringLiteral("TAHIN"), QStringLiteral("KM-2050")}});
        addOrder(703,
                 {{QStringLiteral("PO_NO"), QStringLiteral("P00000002")}, {QStringLiteral("PO_KBN"), kKbn}});
        addLine(pos, 703, 1, {{QStringLiteral("TAHIN"), QStringLiteral("KM-9000")}});
    }

    output::PdfRun run() { return {prompter_, connection_, session_, nullptr, {10, 200, 600}}; }

    core::Outcome confirm(output::PdfMethod method, const QStringList& only = {}) {
        std::vector<output::KakuninRow> rows = output::loadKakuninList(connection_);
        if (!only.isEmpty())
            for (output::KakuninRow& r : rows)
                r.chk = only.contains(r.poNo);
        output::PdfRun r = run();
        return output::runKakunin(r, rows, method);
    }

    QStringList files(const QString& folder) const { return QDir(folder).entryList(QDir::Files, QDir::Name); }
    QString poFolder(const QString& po = kPo) const { return root_.filePath(QStringLiteral("po/") + po); }
    int prnSu(int ordNo) {
        return connection_
            .read(QStringLiteral("Select PRN_SU From rcv_denheaddata Where ORD_NO = ?"), {ordNo})
            .value(0)
            .toInt();
    }

    // Both PDFs of the sample PO hold their labels; distilled ones (whose PostScript carried glyphs,
    // not characters) are checked by their pages only.
    void expectSamplePdfs(bool distilled = false) {
        EXPECT_EQ(files(poFolder()),
                  (QStringList{QStringLiteral("P00000001-1.pdf"), QStringLiteral("P00000001-2.pdf")}));
        if (!test::havePoppler())
            return;
        // Hang tags: PO lines 1 (order 701, two colours) and 3 (order 702); the care label is line 2.
        EXPECT_EQ(test::pdfPages(poFolder() + QStringLiteral("/P00000001-1.pdf")), 3);
        EXPECT_EQ(test::pdfPages(poFolder() + QStringLiteral("/P00000001-2.pdf")), 1);
        if (distilled)
            return;
        const QString tags = test::pdfText(poFolder() + QStringLiteral("/P00000001-1.pdf"));
        for (const char* value : {"KM-2040", "KM-2050", "ネイビー", "ホワイト", "綿 80%", "ポリエステル 20%"})
            EXPECT_TRUE(tags.contains(QString::fromUtf8(value))) << value << " in " << tags.toStdString();
        const QString care = test::pdfText(poFolder() + QStringLiteral("/P00000001-2.pdf"));
        for (const char* value : {"KM-1000", "120", "1030", "3012", "6020", "洗濯ネットを使用してください"})
            EXPECT_TRUE(care.contains(QString::fromUtf8(value))) << value << " in " << care.toStdString();
        const QString images =
            test::tool(QStringLiteral("pdfimages"),
                       {QStringLiteral("-list"), poFolder() + QStringLiteral("/P00000001-2.pdf")});
        EXPECT_GE(images.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size() - 2, 6) << images.toStdString();
    }

    QTemporaryDir program_;
    QTemporaryDir root_;
    core::Session session_;
};

TEST_P(ConfirmDataTest, NeverPrintedPosAreTickedAndAPoPrintedBeforeIsNot) {
    samplePos();
    addOrder(704, {{QStringLiteral("PO_NO"), QStringLiteral("P00000003")},
                   {QStringLiteral("PO_KBN"), kKbn},
                   {QStringLiteral("PRN_SU"), 1}});
    addOrder(705, {{QStringLiteral("PO_NO"), QStringLiteral("P00000004")},
                   {QStringLiteral("SEND_FLG"), QStringLiteral("1")}});
    addOrder(706, {{QStringLiteral("PO_NO"), QStringLiteral("P00000005")}, {QStringLiteral("ERR_SU"), 2}});
    addOrder(707); // not numbered
    QStringList listed;
    for (const output::KakuninRow& r : output::loadKakuninList(connection_))
        listed << QStringLiteral("%1|%2|%3|%4|%5").arg(r.poNo, r.poKbn, r.kiboDate).arg(r.prnSu).arg(r.chk);
    EXPECT_EQ(listed, (QStringList{QStringLiteral("P00000001|0|20261220|0|1"),
                                   QStringLiteral("P00000002|0|20261220|0|1"),
                                   QStringLiteral("P00000003|0|20261220|1|0")}));

    // Ticking the PO printed before and running makes its print count 2.
    ASSERT_EQ(confirm(output::PdfMethod::PdfWriter, {QStringLiteral("P00000003")}), core::Outcome::Done)
        << prompter_.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(prnSu(704), 2);
    EXPECT_EQ(prnSu(701), 0);
    EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[完了] 処理は終了しました。")});
}

TEST_P(ConfirmDataTest, PdfWriterMakesOnePdfPerKindNamedAfterItsFirstLineAndCountsThePrint) {
    samplePos();
    ASSERT_EQ(confirm(output::PdfMethod::PdfWriter), core::Outcome::Done)
        << prompter_.messages().join(QLatin1Char('\n')).toStdString();
    expectSamplePdfs();
    // A PO with hang tags only: one CSV and one PDF.
    EXPECT_EQ(files(poFolder(QStringLiteral("P00000002"))), QStringList{QStringLiteral("P00000002-1.pdf")});
    EXPECT_EQ(files(session_.KakuninFolder),
              (QStringList{QStringLiteral("P00000001-1.csv"), QStringLiteral("P00000001-2.csv"),
                           QStringLiteral("P00000002-1.csv")}));
    for (int ordNo : {701, 702, 703})
        EXPECT_EQ(prnSu(ordNo), 1);
    EXPECT_EQ(core::currentPrinter(), QStringLiteral("office-laser")); // switched back
    EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[完了] 処理は終了しました。")});
    EXPECT_EQ(prompter_.busyDepth, 0);
}

TEST_P(ConfirmDataTest, BothMethodsWorkWithTheLabelProgramAndGhostscript) {
    if (!test::haveProgram(QStringLiteral("gs")))
        GTEST_SKIP() << "ghostscript missing";
    samplePos();
    struct Case {
        output::PdfMethod method;
        bool program; // the kemnoa-label program named by AppExe, else the renderer in process
    };
    for (const Case c : {Case{output::PdfMethod::Distiller, false}, Case{output::PdfMethod::Distiller, true},
                         Case{output::PdfMethod::PdfWriter, true}}) {
        SCOPED_TRACE(int(c.method) * 10 + c.program);
        session_.AppExe = c.program ? labelProgram() : QString();
        prompter_.events.clear();
        QDir(poFolder()).removeRecursively();
        ASSERT_EQ(confirm(output::PdfMethod(c.method), {kPo}), core::Outcome::Done)
            << prompter_.messages().join(QLatin1Char('\n')).toStdString();
        expectSamplePdfs(c.method == output::PdfMethod::Distiller);
        if (c.method == output::PdfMethod::Distiller) {
            EXPECT_TRUE(QFile::exists(session_.KakuninFolder + QStringLiteral("P00000001-1.ps")));
            EXPECT_TRUE(QFile::exists(session_.KakuninFolder + QStringLiteral("P00000001-2.ps")));
            EXPECT_FALSE(QFile::exists(session_.PrinterPort)); // removed after its copy
        }
        EXPECT_EQ(core::currentPrinter(), QStringLiteral("office-laser"));
    }
    EXPECT_EQ(prnSu(701), 3);
    EXPECT_EQ(prnSu(703), 0);
}

TEST_P(ConfirmDataTest, EarlierPdfsOfThePoAreRemovedBeforeItsNewOnes) {
    samplePos();
    QDir().mkpath(poFolder());
    for (const char* stale : {"P00000001-9.pdf", "OLD.PDF"}) {
        QFile f(poFolder() + QLatin1Char('/') + QString::fromLatin1(stale));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-stale");
    }
    QFile keep(poFolder() + QStringLiteral("/P00000001.xml"));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.close();
    ASSERT_EQ(confirm(output::PdfMethod::PdfWriter, {kPo}), core::Outcome::Done);
    EXPECT_EQ(files(poFolder()),
              (QStringList{QStringLiteral("P00000001-1.pdf"), QStringLiteral("P00000001-2.pdf"),
                           QStringLiteral("P00000001.xml")}));
}

TEST_P(ConfirmDataTest, AStalePortFileNeverPassesForTheJobsOutputAndTheWatchGivesUp) {
    samplePos();
    QFile stale(session_.PrinterPort);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("%!PS stale output of an earlier job\n");
    stale.close();
    session_.AppExe = QStringLiteral("/bin/true"); // a label application that prints nothing
    ASSERT_EQ(confirm(output::PdfMethod::Distiller, {QStringLiteral("P00000002")}),
              core::Outcome::DoneWithFailures);
    EXPECT_EQ(prompter_.messages(),
              (QStringList{QStringLiteral("[%1] 5000回も監視したのにまだなの～").arg(session_.PrinterPort),
                           QStringLiteral("[%1] 20000回も監視したのでやめます").arg(session_.PrinterPort),
                           QStringLiteral("[完了] 処理は終了しました。")}));
    EXPECT_TRUE(
        files(poFolder(QStringLiteral("P00000002"))).isEmpty()); // the folder is made for both methods
    EXPECT_FALSE(QFile::exists(session_.KakuninFolder + QStringLiteral("P00000002-1.ps")));
    EXPECT_EQ(prnSu(703), 1); // the print counts although the method reported a problem
}

TEST_P(ConfirmDataTest, AFailedRebuildMakesNoPdfsAndNoPrintCountAndTheRunGoesOn) {
    samplePos();
    // A PO number the server refuses to rebuild, ahead of the good ones.
    std::vector<output::KakuninRow> rows = output::loadKakuninList(connection_);
    rows.insert(rows.begin(), output::KakuninRow{QString(), kKbn, QString(), 0, true}); // an empty PO number
    output::PdfRun r = run();
    ASSERT_EQ(output::runKakunin(r, rows, output::PdfMethod::PdfWriter), core::Outcome::DoneWithFailures);
    const QStringList messages = prompter_.messages();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.last().startsWith(QStringLiteral("[完了] 処理は終了しました。\r\n\r\n")))
        << messages.last().toStdString();
    EXPECT_TRUE(messages.last().contains(QStringLiteral("\r\n-0"))) << messages.last().toStdString();
    expectSamplePdfs();
    EXPECT_EQ(prnSu(701), 1);
    EXPECT_EQ(files(root_.filePath(QStringLiteral("po"))),
              QStringList()); // nothing written for the empty number
}

TEST_P(ConfirmDataTest, WithoutAPrinterOrPdfWriterNothingIsPrintedAndThePrinterStays) {
    samplePos();
    struct Case {
        bool writerOff;
        QString printerNm;
        QString message;
    };
    const Case cases[] = {
        {true, QString(), QStringLiteral("[印刷不可能] プリンタが一つも見つかりません。")},
        {true, QStringLiteral("PS"), QStringLiteral("[] Acrobat PDFWriterがインストールされていません。")},
    };
    for (const Case& c : cases) {
        session_.PdfWriterOff = c.writerOff;
        session_.PrinterNm = c.printerNm;
        core::setCurrentPrinter({});
        prompter_.events.clear();
        output::PdfRun r = run();
        EXPECT_EQ(output::MF_PdfWriterMake(r, kPo, kKbn), core::Outcome::Failed);
        EXPECT_EQ(prompter_.messages(), QStringList{c.message});
        EXPECT_TRUE(core::currentPrinter().isEmpty());
        EXPECT_FALSE(QDir(poFolder()).exists());
    }
}

TEST_P(ConfirmDataTest, EmptyOrUnsafePoNumbersWriteNothing) {
    samplePos();
    output::PdfRun r = run();
    // An empty PO number: no file, and the distiller's closing command still runs (and succeeds).
    EXPECT_EQ(output::MF_DistillerMake(r, QString(), kKbn), core::Outcome::Done);
    EXPECT_EQ(output::MF_PdfWriterMake(r, QString(), kKbn), core::Outcome::Done);
    for (const QString& po : {QStringLiteral(".."), QStringLiteral("../escape"), QStringLiteral("a/b")}) {
        prompter_.events.clear();
        EXPECT_EQ(output::MF_PdfWriterMake(r, po, kKbn), core::Outcome::Failed);
        EXPECT_EQ(
            prompter_.messages(),
            QStringList{QStringLiteral("[MF_PdfWriterMake] PO番号をフォルダ名に使えません。(%1)").arg(po)});
    }
    EXPECT_EQ(files(root_.filePath(QStringLiteral("po"))), QStringList());
    EXPECT_FALSE(QFile::exists(root_.filePath(QStringLiteral("escape"))));
    EXPECT_TRUE(files(session_.KakuninFolder).isEmpty());
}

TEST_P(ConfirmDataTest, ALabelApplicationThatFailsIsReportedAndLeavesNoPdf) {
    samplePos();
    session_.AppExe = labelProgram();
    session_.TagEnv = QStringLiteral("labels/MISSING");
    ASSERT_EQ(confirm(output::PdfMethod::PdfWriter, {kPo}), core::Outcome::DoneWithFailures);
    const QStringList messages = prompter_.messages();
    ASSERT_EQ(messages.size(), 2) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("[MP_PdfWriterPrint] ラベルを印刷できません。")))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("labels/MISSING"))) << messages[0].toStdString();
    EXPECT_EQ(files(poFolder()),
              QStringList{QStringLiteral("P00000001-2.pdf")}); // the care labels still print
}

INSTANTIATE_TEST_SUITE_P(Dialects, ConfirmDataTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
