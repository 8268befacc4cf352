// The PO creation run: the list, the build of each ticked PO with its progress texts, the archive read by
// lhasa (PDFs first, then the XML), marking sent; a failing step of each kind leaving only its PO unsent
// with nothing of an earlier run left in its place; paths from data refused before any write; orders in
// error stopping the run before any write.

#include "core/error.h"
#include "output/file_package.h"
#include "output/po_creation.h"
#include "package_fixture.h"
#include "platform/xlsx/workbook.h"

#include <QFileInfo>

using namespace kemnoa;

namespace {

const QString P1 = QStringLiteral("P00000001");
const QString P2 = QStringLiteral("P00000002");

class PoCreationTest : public test::PackageTest {
protected:
    void SetUp() override {
        PackageTest::SetUp();
        if (IsSkipped())
            return;
        samplePo(P1, 801);
        samplePo(P2, 811);
        prompter_.events.clear();
    }

    core::Outcome run(const output::PoCreationSteps& steps = {}, output::PoCreationResult* result = nullptr) {
        return output::runPoCreation(prompter_, connection_, po_, sk_, output::loadPoExpList(connection_),
                                     base_, templates(), steps, result);
    }

    QStringList sendFlags(const QString& poNo) {
        return column(connection_,
                      QStringLiteral("Select SEND_FLG From rcv_denheaddata Where PO_NO = ? Order By ORD_NO"),
                      {poNo});
    }
    QString folder(const QString& poNo) const { return base_ + poNo + QLatin1Char('/'); }
    QString archive(const QString& poNo) const { return base_ + poNo + QStringLiteral(".lzh"); }
};

TEST_P(PoCreationTest, BuildsArchivesAndSendsEveryTickedPo) {
    const std::vector<output::PoExpRow> rows = output::loadPoExpList(connection_);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].poNo, P1);
    EXPECT_EQ(rows[0].poKbn, QStringLiteral("0"));
    EXPECT_EQ(rows[0].nouNm, QStringLiteral("さくら衣料"));
    EXPECT_EQ(rows[0].kiboDate, QStringLiteral("20261220"));
    EXPECT_TRUE(rows[0].chk);
    // The label PDF of the confirmation data is already in the PO's folder.
    ASSERT_TRUE(QDir().mkpath(folder(P1)));
    const QByteArray pdf = "%PDF-1.4 label print image of P00000001-1\n%%EOF\n";
    writeBytes(folder(P1) + QStringLiteral("P00000001-1.pdf"), pdf);

    output::PoCreationResult result;
    ASSERT_EQ(run({}, &result), core::Outcome::Done)
        << prompter_.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[完了] 処理は終了しました。")});
    EXPECT_EQ(result.sent, (QStringList{P1 + QStringLiteral(" 0"), P2 + QStringLiteral(" 0")}));
    EXPECT_EQ(sendFlags(P1), (QStringList{QStringLiteral("1"), QStringLiteral("1")}));
    EXPECT_EQ(sendFlags(P2), (QStringList{QStringLiteral("1"), QStringLiteral("1")}));
    EXPECT_TRUE(output::loadPoExpList(connection_).empty());
    EXPECT_EQ(count(po_, QStringLiteral("TBL_PO_H Where PO番号 = ?"), {P2}), 1);
    EXPECT_GT(count(sk_, QStringLiteral("TBL_H Where PO = ?"), {P2}), 0);

    const qsizetype first = prompter_.splashTexts.indexOf(QStringLiteral("POデータベース更新(P00000001)"));
    ASSERT_GE(first, 0) << prompter_.splashTexts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(
        prompter_.splashTexts.mid(first, 11),
        (QStringList{
            QStringLiteral("POデータベース更新(P00000001)"), QStringLiteral("SKデータベース更新(P00000001)"),
            QStringLiteral("書き出しフォルダ作成(P00000001)"),
            QStringLiteral("上海向けファイル作成(P00000001)"), QStringLiteral("PO.xls作成しています。"),
            QStringLiteral("SK.xls作成しています。"), QStringLiteral("洗濯ネーム.xls作成しています。"),
            QStringLiteral("アソート.xls作成しています。"), QStringLiteral("PO.XML作成しています。"),
            QStringLiteral("ケム向け受領確認エクセルファイル作成(P00000001)"),
            QStringLiteral("POデータベース更新(P00000002)")}));
    EXPECT_FALSE(prompter_.splashOpen);
    EXPECT_EQ(prompter_.busyDepth, 0);

    // The folders hold the order workbook (without the template's placeholder), the receipt workbook
    // and the XML; the archives lie beside them.
    EXPECT_EQ(filesIn(folder(P1)),
              (QStringList{QStringLiteral("P00000001-1.pdf"), QStringLiteral("P00000001.xlsx"),
                           QStringLiteral("P00000001.xml"), QStringLiteral("PO.P00000001.xlsx")}));
    EXPECT_EQ(filesIn(folder(P2)),
              (QStringList{QStringLiteral("P00000002.xlsx"), QStringLiteral("P00000002.xml"),
                           QStringLiteral("PO.P00000002.xlsx")}));
    const xlsx::Workbook book = xlsx::Workbook::open(folder(P1) + QStringLiteral("PO.P00000001.xlsx"));
    EXPECT_GE(book.sheetCount(), 1);
    EXPECT_FALSE(book.sheetNames().contains(QStringLiteral("DEF")));
    EXPECT_TRUE(QFileInfo(archive(P1)).isFile());
    EXPECT_TRUE(QFileInfo(archive(P2)).isFile());

    if (!test::haveProgram(QStringLiteral("lhasa")))
        GTEST_SKIP() << "lhasa is not installed";
    const test::ToolRun list = test::runProgram(QStringLiteral("lhasa"), {QStringLiteral("l"), archive(P1)});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QString listing = QString::fromLocal8Bit(list.out);
    const qsizetype pdfAt = listing.indexOf(QStringLiteral("P00000001-1.pdf"));
    const qsizetype xmlAt = listing.indexOf(QStringLiteral("P00000001.xml"));
    EXPECT_TRUE(pdfAt >= 0 && xmlAt > pdfAt) << listing.toStdString(); // PDFs first, then the XML
    EXPECT_FALSE(listing.contains(QStringLiteral(".xlsx")));
    QTemporaryDir out;
    const test::ToolRun x =
        test::runProgram(QStringLiteral("lhasa"), {QStringLiteral("xf"), archive(P1)}, out.path());
    ASSERT_EQ(x.exitCode, 0) << x.err.toStdString();
    EXPECT_EQ(filesIn(out.path()),
              (QStringList{QStringLiteral("P00000001-1.pdf"), QStringLiteral("P00000001.xml")}));
    EXPECT_EQ(readBytes(out.filePath(QStringLiteral("P00000001-1.pdf"))), pdf);
    EXPECT_EQ(readBytes(out.filePath(QStringLiteral("P00000001.xml"))),
              readBytes(folder(P1) + QStringLiteral("P00000001.xml")));
}

// Each step, made to fail (or throw) for the first PO only: that PO stays unsent with no archive and no
// file of an earlier run in its folder; the second PO is still built and sent.
TEST_P(PoCreationTest, AFailingStepOfEachKindLeavesItsPoUnsentAndTheRunGoesOn) {
    using Steps = output::PoCreationSteps;
    auto failFirst = [](output::PackageSteps::Step real) {
        return [real](output::PackageRun& r) { return r.PkgPoNo == P1 ? core::Outcome::Failed : real(r); };
    };
    auto failingDatabase = [](const char* text) {
        return
            [text](core::Prompter& p, db::Connection&, db::Connection&, const QString& poNo, const QString&) {
                if (poNo != P1)
                    return core::Outcome::Done;
                p.message(QString::fromUtf8(text), QStringLiteral("DB"), core::MsgIcon::Critical);
                return core::Outcome::Failed;
            };
    };
    const struct {
        const char* kind;
        std::function<void(Steps&)> change;
        QStringList messages; // what the run says about the first PO
        bool workbook;        // the workbook of this run is in the folder
        bool xml;             // the XML of this run is in the folder
    } cases[] = {
        {"PO database",
         [&](Steps& s) { s.poDatabase = failingDatabase("PO database failed"); },
         {QStringLiteral("[DB] PO database failed")},
         false,
         false},
        {"production-control database",
         [&](Steps& s) { s.skDatabase = failingDatabase("SK failed"); },
         {QStringLiteral("[DB] SK failed")},
         false,
         false},
        {"PO sheets",
         [&](Steps& s) { s.package.poSheet = failFirst(output::MF_PoSheetMake); },
         {QStringLiteral("[エラー] PO作成中にエラーが発生。")},
         false,
         true},
        {"production-control sheets",
         [&](Steps& s) { s.package.skSheet = failFirst(output::MF_SkSheetMake); },
         {QStringLiteral("[エラー] SK作成中にエラーが発生。")},
         false,
         true},
        {"care-label list",
         [&](Steps& s) { s.package.careSheet = failFirst(output::MF_CareSheetMake); },
         {QStringLiteral("[エラー] 洗濯ネーム.xls作成中にエラーが発生。")},
         false,
         true},
        {"assortment list",
         [&](Steps& s) { s.package.assortSheet = failFirst(output::MF_AssortSheetMake); },
         {QStringLiteral("[エラー] アソート.xls作成中にエラーが発生。")},
         false,
         true},
        {"XML",
         [&](Steps& s) { s.package.xml = failFirst(output::MF_PoXmlMake); },
         {QStringLiteral("[エラー] XML作成中にエラーが発生。")},
         true,
         false},
        {"throwing sheet step",
         [&](Steps& s) {
             s.package.careSheet = [](output::PackageRun& r) -> core::Outcome {
                 if (r.PkgPoNo == P1)
                     throw std::runtime_error("out of memory");
                 return output::MF_CareSheetMake(r);
             };
         },
         {QStringLiteral(
              "[MF_FilePackageMake] PO番号(P00000001)の作成中にエラーが発生しました。\r\nout of memory"),
          QStringLiteral("[エラー] 洗濯ネーム.xls作成中にエラーが発生。")},
         false,
         true},
        {"throwing database step",
         [&](Steps& s) {
             s.poDatabase = [](core::Prompter&, db::Connection&, db::Connection&, const QString& poNo,
                               const QString&) -> core::Outcome {
                 if (poNo == P1)
                     throw core::Error(QStringLiteral("接続が切れました。"), 3000);
                 return core::Outcome::Done;
             };
         },
         {QStringLiteral(
             "[PO作成エラー] PO番号(P00000001)の作成中にエラーが発生しました。\r\n接続が切れました。(3000)")},
         false,
         false},
        {"receipt workbook",
         [&](Steps& s) {
             s.receipt = [](core::Prompter& p, db::Connection&, db::Connection&, const QString& poNo,
                            const QString&, const QString&) {
                 if (poNo != P1)
                     return core::Outcome::Done;
                 p.message(QStringLiteral("receipt failed"), QStringLiteral("MP_OrderSheetMake"),
                           core::MsgIcon::Critical);
                 return core::Outcome::Failed;
             };
         },
         {QStringLiteral("[MP_OrderSheetMake] receipt failed")},
         true,
         true},
        {"archive",
         [&](Steps& s) {
             // Something the packer cannot replace stands where the archive goes.
             s.receipt = [this](core::Prompter&, db::Connection&, db::Connection&, const QString& poNo,
                                const QString&, const QString&) {
                 if (poNo == P1)
                     QDir().mkpath(archive(P1) + QStringLiteral("/inside"));
                 return core::Outcome::Done;
             };
         },
         {QStringLiteral("[圧縮ファイル作成エラー] 書き込みできません。(70)")},
         true,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        connection_.execute(QStringLiteral("Update rcv_denheaddata Set SEND_FLG = '9'"));
        QDir(base_).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(folder(P1)));
        // The files of an earlier run of the first PO.
        writeBytes(folder(P1) + QStringLiteral("PO.P00000001.xlsx"), "old workbook");
        writeBytes(folder(P1) + QStringLiteral("P00000001.xml"), "old xml");
        writeBytes(archive(P1), "old archive");
        prompter_.events.clear();
        Steps steps;
        c.change(steps);

        output::PoCreationResult result;
        EXPECT_EQ(run(steps, &result), core::Outcome::DoneWithFailures);
        EXPECT_EQ(result.sent, QStringList{P2 + QStringLiteral(" 0")});
        EXPECT_EQ(result.unsent, QStringList{P1 + QStringLiteral(" 0")});
        const QStringList expected =
            c.messages +
            QStringList{QStringLiteral("[PO作成] PO番号(P00000001)は作成を完了できなかったため、"
                                       "送信済みにしていません。"),
                        QStringLiteral("[完了] 処理は終了しました。\r\n\r\n送信済みにできなかったPO"
                                       "が1件あります。エラーを解消し再度実行してください。")};
        EXPECT_EQ(prompter_.messages(), expected);
        EXPECT_EQ(sendFlags(P1), (QStringList{QStringLiteral("9"), QStringLiteral("9")}));
        EXPECT_EQ(sendFlags(P2), (QStringList{QStringLiteral("1"), QStringLiteral("1")}));
        EXPECT_FALSE(QFileInfo(archive(P1)).isFile());
        EXPECT_TRUE(QFileInfo(archive(P2)).isFile());
        const QByteArray workbook = readBytes(folder(P1) + QStringLiteral("PO.P00000001.xlsx"));
        const QByteArray xml = readBytes(folder(P1) + QStringLiteral("P00000001.xml"));
        EXPECT_EQ(!workbook.isEmpty(), c.workbook);
        EXPECT_EQ(!xml.isEmpty(), c.xml);
        EXPECT_NE(workbook, "old workbook");
        EXPECT_NE(xml, "old xml");
        for (const QString& name : filesIn(folder(P1)))
            EXPECT_TRUE(name == QStringLiteral("PO.P00000001.xlsx") ||
                        name == QStringLiteral("P00000001.xml"))
                << name.toStdString(); // no temporary file left behind
    }
}

// PO numbers and layout codes become file and folder names: one that would leave its folder or that a
// file name cannot hold is refused before anything of its PO is written.
TEST_P(PoCreationTest, PathsFromDataAreRefusedBeforeAnythingIsWritten) {
    const struct {
        const char* poNo;
        const char* layout;
        const char* message;
    } cases[] = {
        {"../P9", nullptr, "PO番号(../P9)はファイル名に使えません(区切り文字を含みます)。"},
        {"P\\9", nullptr, "PO番号(P\\9)はファイル名に使えません(区切り文字を含みます)。"},
        {"P..9", nullptr, "PO番号(P..9)はファイル名に使えません(\"..\"を含みます)。"},
        {"P:9", nullptr, "PO番号(P:9)はファイル名に使えません(ファイル名に使えない文字を含みます)。"},
        {"P9.", nullptr, "PO番号(P9.)はファイル名に使えません(前後に空白または末尾に\".\"があります)。"},
        {"CON", nullptr, "PO番号(CON)はファイル名に使えません(装置名と同じです)。"},
        {nullptr, "../KT",
         "PO番号(P00000001)のレイアウト(../KT)はファイル名に使えません(区切り文字を含みます)。"},
        {nullptr, "KT*1",
         "PO番号(P00000001)のレイアウト(KT*1)はファイル名に使えません(ファイル名に使えない文字を含みます)。"},
    };
    QString current = P1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const QString poNo = c.poNo ? QString::fromUtf8(c.poNo) : P1;
        for (const char* table : {"rcv_denheaddata", "rcv_skdata", "rcv_csvdata"})
            connection_.execute(
                QStringLiteral("Update %1 Set PO_NO = ? Where PO_NO = ?").arg(QString::fromLatin1(table)),
                {poNo, current});
        current = poNo;
        if (c.layout)
            connection_.execute(
                QStringLiteral("Update rcv_skdata Set LAYOUT = ? Where PO_NO = ? And PO_GYOU = 1"),
                {QString::fromUtf8(c.layout), poNo});
        connection_.execute(QStringLiteral("Update rcv_denheaddata Set SEND_FLG = '9'"));
        QDir(base_).removeRecursively();
        QDir().mkpath(base_);
        po_.execute(QStringLiteral("Delete From TBL_PO_H"));
        prompter_.events.clear();

        EXPECT_EQ(run(), core::Outcome::DoneWithFailures);
        EXPECT_EQ(prompter_.messages().value(0), QStringLiteral("[PO作成エラー] ") +
                                                     QString::fromUtf8(c.message) +
                                                     QStringLiteral("\r\nこのPOは作成しません。"));
        EXPECT_EQ(count(po_, QStringLiteral("TBL_PO_H Where PO番号 = ?"), {poNo}), 0);
        EXPECT_EQ(sendFlags(poNo), (QStringList{QStringLiteral("9"), QStringLiteral("9")}));
        EXPECT_EQ(sendFlags(P2), (QStringList{QStringLiteral("1"), QStringLiteral("1")}));
        // Only the second PO's folder and archive, and nothing outside the base folder.
        EXPECT_EQ(QDir(base_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                  (QStringList{P2, P2 + QStringLiteral(".lzh")}));
        EXPECT_FALSE(QFileInfo::exists(out_.path() + QStringLiteral("/../P9")));
    }
}

TEST_P(PoCreationTest, OrdersInErrorStopTheRunBeforeAnyWrite) {
    // An accessory whose name the masters do not know, in the second PO's order.
    insert(connection_, QStringLiteral("rcv_fuzokudata"),
           {{QStringLiteral("ORD_NO"), 812},
            {QStringLiteral("GYOU"), 1},
            {QStringLiteral("SIZAI_CD"), QStringLiteral("T-201")},
            {QStringLiteral("SURYOKEI"), 40}});
    output::PoCreationResult result;
    EXPECT_EQ(run({}, &result), core::Outcome::Failed);
    EXPECT_TRUE(result.stopped);
    const QStringList messages = prompter_.messages();
    ASSERT_GE(messages.size(), 2);
    EXPECT_TRUE(
        messages.front().contains(QStringLiteral("エラーが発見されました。エラー内容は以下の通りです。")));
    EXPECT_TRUE(messages.front().endsWith(QStringLiteral("発注番号(812)にエラーが含まれています。")));
    EXPECT_EQ(messages.back(), QStringLiteral("[エラー終了] エラーを解消し再度実行してください。"));
    EXPECT_EQ(count(po_, QStringLiteral("TBL_PO_H")), 0);
    EXPECT_EQ(count(sk_, QStringLiteral("TBL_H")), 0);
    EXPECT_TRUE(QDir(base_).isEmpty());
    EXPECT_EQ(sendFlags(P1), (QStringList{QStringLiteral("9"), QStringLiteral("9")}));

    // Without a PO base folder nothing runs at all.
    prompter_.events.clear();
    EXPECT_EQ(output::runPoCreation(prompter_, connection_, po_, sk_, output::loadPoExpList(connection_),
                                    QString(), templates()),
              core::Outcome::Failed);
    EXPECT_EQ(prompter_.messages(),
              QStringList{
                  QStringLiteral("[PO作成エラー] PO出力フォルダ(PO_FILE の FOLDER)が設定されていません。")});
}

INSTANTIATE_TEST_SUITE_P(Dialects, PoCreationTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
