#include "import_fixture.h"

#include "demo/generated_orders.h"
#include "platform/jet/jet_reader.h"
#include "receiving/order_tables.h"

#include <QFile>
#include <QFileInfo>
#include <functional>
#include <map>

using namespace kemnoa;
using namespace kemnoa::receiving;
using kemnoa::demo::BuiltFile;
using kemnoa::demo::sampleEhj;
using kemnoa::demo::sampleFuki;
using kemnoa::demo::sampleOrder;
using kemnoa::test::ImportTest;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The ten tables of received orders, their findings and print rows, and the staged submissions.
const QStringList kOrderTables = {QStringLiteral("rcv_denheaddata"), QStringLiteral("rcv_posdata"),
                                  QStringLiteral("rcv_cardata"),     QStringLiteral("rcv_addfukidata"),
                                  QStringLiteral("rcv_fuzokudata"),  QStringLiteral("rcv_errdata"),
                                  QStringLiteral("rcv_csvdata"),     QStringLiteral("rcv_skdata"),
                                  QStringLiteral("rrk_ehj"),         QStringLiteral("rrk_fuki")};

QStringList titlesOf(const test::ScriptedPrompter& p) {
    QStringList t;
    for (const auto& e : p.events)
        t << e.title;
    return t;
}

TEST_P(ImportTest, ImportsOrdersLinesAndSubmissionsWithTheirRules) {
    BuiltFile a;
    a.orders = {sampleOrder(1001, 2), sampleOrder(1003, 1), sampleOrder(1002, 3)};
    a.orders[0].header[QStringLiteral("SIR_NM")] = jet::Value::text(QStringLiteral("O'Brien's 株式会社"));
    a.orders[1].header[QStringLiteral("BIKO1")] = jet::Value::text(QStringLiteral("至急対応"));
    // The seventh quality line is in use on line 2 of order 1001, in both line tables.
    for (auto* lines : {&a.orders[0].pos, &a.orders[0].car}) {
        (*lines)[1][QStringLiteral("TAPH7")] = jet::Value::text(QStringLiteral("レーヨン"));
        (*lines)[1][QStringLiteral("TAPR7")] = jet::Value::integer(5);
    }
    // Lines stored out of order are read in GYOU order.
    std::swap(a.orders[2].pos[0], a.orders[2].pos[2]);
    a.ehj = {sampleEhj(2, QStringLiteral("E100")), sampleEhj(1, QStringLiteral("E099"), QStringLiteral("X"))};
    write(QStringLiteral("ORD001.mdb"), a);
    BuiltFile b; // submissions only, no order table
    b.omitTables = {QStringLiteral("denheaddata")};
    b.fuki = {sampleFuki(1, QStringLiteral("F777"))};
    write(QStringLiteral("ORD002.MDB"), b);

    EXPECT_TRUE(importer().cmdImp_Click(folder_));

    EXPECT_TRUE(files().isEmpty());
    EXPECT_EQ(prompter_.list,
              (QStringList{QStringLiteral("成功(") + folder_ + QStringLiteral("ORD001.mdb)"),
                           QStringLiteral("成功(") + folder_ + QStringLiteral("ORD002.MDB)")}));
    EXPECT_EQ(log_, prompter_.list);
    EXPECT_EQ(
        prompter_.messages(),
        (QStringList{QStringLiteral("[注意してください] 読み込み中の発注(1003)に以下の注意情報があります。") +
                         kCrLf + kCrLf + QStringLiteral("至急対応"),
                     QStringLiteral("[終了] 読み込み終了いたしました。"),
                     QStringLiteral("[絵表示] 確認が必要な絵表示の情報があります。"),
                     QStringLiteral("[付記用語] 確認が必要な付記用語の情報があります。")}));

    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 3);
    EXPECT_EQ(count(QStringLiteral("rcv_posdata")), 6);
    EXPECT_EQ(count(QStringLiteral("rcv_cardata")), 6);
    EXPECT_EQ(count(QStringLiteral("rcv_addfukidata")), 3);
    EXPECT_EQ(count(QStringLiteral("rcv_fuzokudata")), 3);
    EXPECT_EQ(text(QStringLiteral("Select SIR_NM From rcv_denheaddata Where ORD_NO = 1001")),
              QStringLiteral("O'Brien's 株式会社"));
    EXPECT_EQ(
        text(QStringLiteral("Select SEND_FLG || '/' || PO_NO || '/' || ERR_SU || '/' || PRN_SU || '/' || "
                            "ORD_SAKI_CD From rcv_denheaddata Where ORD_NO = 1002")),
        QStringLiteral("9//0/0/"));
    // Line 1: quality lines copied, shares of 0 empty; line 2: the fixed text on the hang tag only.
    EXPECT_EQ(text(QStringLiteral("Select TAPH2 || TAPR2 || TAPP2 || '|' || TAPR3 From rcv_posdata "
                                  "Where ORD_NO = 1001 And GYOU = 1")),
              QStringLiteral("ポリウレタン20％|"));
    EXPECT_EQ(text(QStringLiteral(
                  "Select TAPH1 || TAPH2 || TAPH3 || TAPH4 || '|' || TAPH5 || TAPR1 || TAPP1 || TAPH7 "
                  "From rcv_posdata Where ORD_NO = 1001 And GYOU = 2")),
              QStringLiteral("品質については洗濯ネームをご参照して下さい|"));
    EXPECT_EQ(text(QStringLiteral("Select TAPH7 || TAPR7 || '|' || TAPP1 || '|' || TAPHN From rcv_cardata "
                                  "Where ORD_NO = 1001 And GYOU = 2")),
              QStringLiteral("レーヨン5|%|KM-2402 Mｻｲｽﾞ"));
    EXPECT_EQ(text(QStringLiteral("Select TAPHN From rcv_posdata Where ORD_NO = 1001 And GYOU = 2")),
              QStringLiteral("ＫＭ－２４０２　Ｍサイズ"));
    // Tag codes converted where the conversion table knows them, else as sent; care labels untouched.
    EXPECT_EQ(text(QStringLiteral("Select TAFCD From rcv_posdata Where ORD_NO = 1002 And GYOU = 1")),
              QStringLiteral("KT-1001"));
    EXPECT_EQ(text(QStringLiteral("Select TAFCD From rcv_posdata Where ORD_NO = 1002 And GYOU = 2")),
              QStringLiteral("KT-1002"));
    EXPECT_EQ(text(QStringLiteral("Select TAFCD From rcv_posdata Where ORD_NO = 1002 And GYOU = 3")),
              QStringLiteral("CT-99"));
    EXPECT_EQ(text(QStringLiteral("Select TAFCD From rcv_cardata Where ORD_NO = 1002 And GYOU = 1")),
              QStringLiteral("CT-01"));
    // Every order was checked and found correct.
    EXPECT_EQ(count(QStringLiteral("rcv_errdata")), 0);
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata Where ERR_SU = 0")), 3);
    // Submissions staged in id order, waiting, with every value as text.
    EXPECT_EQ(
        text(QStringLiteral("Select EHJ_NO || SYORI_FLG || KAKUNIN_FLG || MEMO From rrk_ehj Order By ID")),
        QStringLiteral("E099X0"));
    EXPECT_EQ(count(QStringLiteral("rrk_ehj")), 2);
    EXPECT_EQ(text(QStringLiteral("Select FUKI_NAIYO From rrk_fuki")),
              QStringLiteral("濡れたまま放置しないでください"));
    EXPECT_EQ(prompter_.busyDepth, 0);
}

TEST_P(ImportTest, OrdersAlreadyPresentAreRefusedOneByOneAndSubmissionsStagedAgain) {
    BuiltFile a;
    a.orders = {sampleOrder(2001, 1), sampleOrder(2002, 1)};
    a.ehj = {sampleEhj(1, QStringLiteral("E500"))};
    QFile::copy(write(QStringLiteral("ORD1.mdb"), a), recv_.path() + QStringLiteral("/copy.bin"));
    ASSERT_TRUE(importer().cmdImp_Click(folder_));
    connection_.execute(QStringLiteral("Update rcv_posdata Set TASIZ = 'edited' Where ORD_NO = 2001"));
    QFile::rename(recv_.path() + QStringLiteral("/copy.bin"), folder_ + QStringLiteral("ORD1.mdb"));
    prompter_.events.clear();

    ASSERT_TRUE(importer().cmdImp_Click(folder_));
    const QString refusal =
        QStringLiteral(")は既に読み込み済みです。") + kCrLf +
        QStringLiteral("読み込む事は出来ません。どうしても読み込みたい場合には、読み込み済みの発注データを"
                       "削除してから行ってください。");
    EXPECT_EQ(prompter_.messages().mid(0, 3),
              (QStringList{QStringLiteral("[読み込み済み] 発注番号(2001") + refusal,
                           QStringLiteral("[読み込み済み] 発注番号(2002") + refusal,
                           QStringLiteral("[終了] 読み込み終了いたしました。")}));
    EXPECT_EQ(prompter_.list, (QStringList{QStringLiteral("発注番号(2001)は既に受信（読込）済み"),
                                           QStringLiteral("発注番号(2002)は既に受信（読込）済み"),
                                           QStringLiteral("成功(") + folder_ + QStringLiteral("ORD1.mdb)")}));
    // The present order is untouched; the same submission is staged a second time with its own ID.
    EXPECT_EQ(text(QStringLiteral("Select TASIZ From rcv_posdata Where ORD_NO = 2001")),
              QStringLiteral("edited"));
    EXPECT_EQ(count(QStringLiteral("rcv_posdata")), 2);
    EXPECT_EQ(count(QStringLiteral("rrk_ehj Where EHJ_NO = 'E500'")), 2);
    EXPECT_TRUE(files().isEmpty());
}

TEST_P(ImportTest, AFailingFileKeepsItsCommittedOrdersAndTheRunGoesOnWhenTold) {
    BuiltFile bad;
    bad.orders = {sampleOrder(3001, 1), sampleOrder(3002, 2)};
    bad.orders[1].car[1][QStringLiteral("SU")] = jet::Value();
    write(QStringLiteral("ORD1.mdb"), bad);
    BuiltFile good;
    good.orders = {sampleOrder(3101, 1)};
    write(QStringLiteral("ORD2.mdb"), good);

    prompter_.answer(true);
    EXPECT_TRUE(importer().cmdImp_Click(folder_));
    const QString path = folder_ + QStringLiteral("ORD1.mdb");
    ASSERT_GE(prompter_.list.size(), 3);
    EXPECT_TRUE(prompter_.list[0].startsWith(QStringLiteral("♯")));
    for (const char* part : {"cardata", "3002", "SU"})
        EXPECT_TRUE(prompter_.list[0].contains(QString::fromLatin1(part))) << prompter_.list[0].toStdString();
    EXPECT_EQ(prompter_.list[1], QStringLiteral("db化失敗、ファイル名変更(") + path + QLatin1Char(')'));
    EXPECT_EQ(prompter_.list[2], QStringLiteral("成功(") + folder_ + QStringLiteral("ORD2.mdb)"));
    ASSERT_FALSE(prompter_.events.empty());
    EXPECT_EQ(prompter_.events[0].kind, test::PromptEvent::Kind::Question);
    EXPECT_EQ(prompter_.events[0].title, QStringLiteral("読み込みエラー"));
    EXPECT_EQ(prompter_.events[0].icon, core::MsgIcon::Critical);
    EXPECT_EQ(prompter_.events[0].text,
              QStringLiteral("ファイル(") + path + QStringLiteral(")を読み込み中にエラーが発生しました。") +
                  kCrLf + QStringLiteral("エラーが見つかったファイルは拡張子が 'err' に変更されます。") +
                  kCrLf + kCrLf + QStringLiteral("処理を続けますか？"));
    EXPECT_EQ(files(), QStringList{QStringLiteral("ORD1.err")});
    // The order before the bad one stays; the bad order left nothing behind.
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata Where ORD_NO = 3001")), 1);
    for (const char* table :
         {"rcv_denheaddata", "rcv_posdata", "rcv_cardata", "rcv_addfukidata", "rcv_fuzokudata"})
        EXPECT_EQ(count(QString::fromLatin1(table) + QStringLiteral(" Where ORD_NO = 3002")), 0) << table;
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata Where ORD_NO = 3101")), 1);
    EXPECT_TRUE(titlesOf(prompter_).contains(QStringLiteral("終了")));

    // The corrected file imports the order that failed; the other one is refused as present.
    bad.orders[1].car[1][QStringLiteral("SU")] = jet::Value::integer(30);
    QFile::remove(folder_ + QStringLiteral("ORD1.err"));
    write(QStringLiteral("ORD1.mdb"), bad);
    prompter_.events.clear();
    EXPECT_TRUE(importer().cmdImp_Click(folder_));
    EXPECT_EQ(count(QStringLiteral("rcv_cardata Where ORD_NO = 3002")), 2);
    EXPECT_EQ(prompter_.messages().filter(QStringLiteral("[読み込み済み]")).size(), 1);
}

TEST_P(ImportTest, AStatementRejectedMidOrderRollsBackThatOrderOnly) {
    // The database refuses one care-label line of the second order, after its header, its hang-tag
    // lines and its first care-label line were written.
    if (GetParam() == db::Dialect::SQLite) {
        connection_.execute(QStringLiteral("Create Trigger refuse_boom Before Insert On rcv_cardata "
                                           "When NEW.TASIZ = 'BOOM' Begin Select Raise(Abort, 'boom'); End"));
    } else {
        connection_.execute(QStringLiteral("Create Function refuse_boom() Returns trigger As $$ Begin "
                                           "If NEW.tasiz = 'BOOM' Then Raise Exception 'boom'; End If; "
                                           "Return NEW; End $$ Language plpgsql"));
        connection_.execute(QStringLiteral("Create Trigger refuse_boom Before Insert On rcv_cardata "
                                           "For Each Row Execute Function refuse_boom()"));
    }
    BuiltFile f;
    f.orders = {sampleOrder(3501, 1), sampleOrder(3502, 3), sampleOrder(3503, 1)};
    f.orders[1].car[1][QStringLiteral("TASIZ")] = jet::Value::text(QStringLiteral("BOOM"));
    f.ehj = {sampleEhj(1, QStringLiteral("E0001"))};
    write(QStringLiteral("ORD1.mdb"), f);

    prompter_.answer(true);
    EXPECT_TRUE(importer().cmdImp_Click(folder_));
    EXPECT_EQ(files(), QStringList{QStringLiteral("ORD1.err")});
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata Where ORD_NO = 3501")), 1);
    EXPECT_EQ(count(QStringLiteral("rcv_cardata Where ORD_NO = 3501")), 1);
    for (const char* table : {"rcv_denheaddata", "rcv_posdata", "rcv_cardata", "rcv_addfukidata",
                              "rcv_fuzokudata", "rcv_errdata"})
        EXPECT_EQ(count(QString::fromLatin1(table) + QStringLiteral(" Where ORD_NO = 3502")), 0) << table;
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata Where ORD_NO = 3503")), 0); // the file stopped there
    EXPECT_EQ(count(QStringLiteral("rrk_ehj")), 0);

    // Without the refusal the same file imports the rest.
    connection_.execute(GetParam() == db::Dialect::SQLite
                            ? QStringLiteral("Drop Trigger refuse_boom")
                            : QStringLiteral("Drop Trigger refuse_boom On rcv_cardata"));
    QFile::rename(folder_ + QStringLiteral("ORD1.err"), folder_ + QStringLiteral("ORD1.mdb"));
    prompter_.events.clear();
    EXPECT_TRUE(importer().cmdImp_Click(folder_));
    EXPECT_EQ(count(QStringLiteral("rcv_cardata Where ORD_NO = 3502")), 3);
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 3);
    EXPECT_EQ(prompter_.messages().filter(QStringLiteral("[読み込み済み]")).size(), 1);
    EXPECT_TRUE(files().isEmpty());
}

TEST_P(ImportTest, AnsweringNoStopsAtOnceAndLeavesTheNextFile) {
    BuiltFile bad;
    bad.orders = {sampleOrder(4001, 1)};
    bad.ehj = {sampleEhj(1, QStringLiteral("E4001"))}; // staged before the missing table is met
    bad.omitTables = {QStringLiteral("snd_mst_fuki")};
    write(QStringLiteral("ORD1.mdb"), bad);
    BuiltFile good;
    good.orders = {sampleOrder(4101, 1)};
    write(QStringLiteral("ORD2.mdb"), good);

    prompter_.answer(false);
    EXPECT_FALSE(importer().cmdImp_Click(folder_));
    EXPECT_EQ(files(), (QStringList{QStringLiteral("ORD1.err"), QStringLiteral("ORD2.mdb")}));
    EXPECT_TRUE(prompter_.messages().isEmpty()); // no final steps
    // The orders of the file were committed before its missing table was met; the file's symbols,
    // staged together with its terms, were rolled back with them.
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 1);
    EXPECT_EQ(count(QStringLiteral("rrk_ehj")), 0);
}

TEST_P(ImportTest, DamagedFilesFailAloneAndLoseNothing) {
    QFile junk(folder_ + QStringLiteral("ORD1.mdb"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    QByteArray bytes(8192, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 7919 + 13) % 251);
    junk.write(bytes);
    junk.close();

    BuiltFile whole;
    whole.orders = {sampleOrder(5001, 3), sampleOrder(5002, 3)};
    const QString full = write(QStringLiteral("ORD2.mdb"), whole);
    QFile f(full);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray content = f.readAll();
    f.close();
    QFile truncated(folder_ + QStringLiteral("ORD3.mdb"));
    ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
    truncated.write(content.left(content.size() / 3));
    truncated.close();
    QFile::rename(full, folder_ + QStringLiteral("ORD5.mdb"));

    BuiltFile noColumn;
    noColumn.orders = {sampleOrder(5101, 1)};
    noColumn.omitColumns[QStringLiteral("posdata")] = {QStringLiteral("GYOU")};
    write(QStringLiteral("ORD4.mdb"), noColumn);

    for (int i = 0; i < 3; ++i)
        prompter_.answer(true);
    auto imp = importer();
    EXPECT_TRUE(imp.cmdImp_Click(folder_));
    EXPECT_EQ(imp.tally().files, 4);
    EXPECT_EQ(imp.tally().setAside, 3);
    EXPECT_EQ(imp.tally().orders, 2);
    EXPECT_FALSE(imp.tally().noFiles);
    EXPECT_EQ(files(), (QStringList{QStringLiteral("ORD1.err"), QStringLiteral("ORD3.err"),
                                    QStringLiteral("ORD4.err")}));
    EXPECT_TRUE(prompter_.list.filter(QStringLiteral("♯")).filter(QStringLiteral("GYOU")).size() == 1)
        << prompter_.list.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 2); // the whole file ORD5
    EXPECT_EQ(count(QStringLiteral("rcv_posdata")), 6);
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata Where ORD_NO = 5101")), 0);
}

TEST_P(ImportTest, NoFileInTheFolder) {
    auto imp = importer();
    EXPECT_FALSE(imp.cmdImp_Click(folder_));
    EXPECT_TRUE(imp.tally().noFiles);
    EXPECT_EQ(prompter_.messages(),
              QStringList{QStringLiteral("[ファイル発見できません] 指定フォルダ(") + folder_ +
                          QStringLiteral(")には拡張子'mdb'のファイルが１件もありません。") + kCrLf +
                          QStringLiteral("処理を中止します。")});
}

TEST_P(ImportTest, DeleteAllNeedsThePasswordAndEmptiesTheTenTables) {
    BuiltFile a;
    a.orders = {sampleOrder(6001, 1)};
    a.orders[0].header[QStringLiteral("KESSAI")] = jet::Value::text(QStringLiteral("不明"));
    a.ehj = {sampleEhj(1, QStringLiteral("E1"))};
    a.fuki = {sampleFuki(1, QStringLiteral("F1"))};
    write(QStringLiteral("ORD1.mdb"), a);
    ASSERT_TRUE(importer().cmdImp_Click(folder_));
    connection_.execute(
        QStringLiteral("Insert Into rcv_csvdata (PO_NO, PO_KBN, ORD_NO) Values ('P1', '0', 6001)"));
    connection_.execute(
        QStringLiteral("Insert Into rcv_skdata (PO_NO, PO_KBN, ORD_NO) Values ('P1', '0', 6001)"));
    ASSERT_EQ(count(QStringLiteral("rcv_errdata")), 1);

    prompter_.events.clear();
    prompter_.inputAnswer(QStringLiteral("FERN"));
    EXPECT_EQ(importer().Command1_Click(), core::Outcome::Failed);
    EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[エラー] パスワードが違います。")});
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 1);
    prompter_.inputAnswer(std::nullopt);
    EXPECT_EQ(importer().Command1_Click(), core::Outcome::Failed);
    EXPECT_EQ(count(QStringLiteral("rrk_ehj")), 1);

    prompter_.events.clear();
    prompter_.inputAnswer(QStringLiteral("fern"));
    EXPECT_EQ(importer().Command1_Click(), core::Outcome::Done);
    EXPECT_TRUE(prompter_.messages().isEmpty());
    EXPECT_EQ(prompter_.events[0].text, QStringLiteral("全発注データを削除します。") + kCrLf +
                                            QStringLiteral("パスワードを入力してください。"));
    for (const QString& table : kOrderTables)
        EXPECT_EQ(count(table), 0) << table.toStdString();
}

TEST_P(ImportTest, DeleteAllIsRolledBackWhenADeleteFails) {
    BuiltFile a;
    a.orders = {sampleOrder(6101, 1)};
    a.orders[0].header[QStringLiteral("KESSAI")] = jet::Value::text(QStringLiteral("不明"));
    a.ehj = {sampleEhj(1, QStringLiteral("E1"))};
    a.fuki = {sampleFuki(1, QStringLiteral("F1"))};
    write(QStringLiteral("ORD1.mdb"), a);
    ASSERT_TRUE(importer().cmdImp_Click(folder_));
    connection_.execute(
        QStringLiteral("Insert Into rcv_csvdata (PO_NO, PO_KBN, ORD_NO) Values ('P1', '0', 6101)"));
    connection_.execute(
        QStringLiteral("Insert Into rcv_skdata (PO_NO, PO_KBN, ORD_NO) Values ('P1', '0', 6101)"));
    std::map<QString, int> before;
    for (const QString& table : kOrderTables) {
        before[table] = count(table);
        ASSERT_GT(before[table], 0) << table.toStdString();
    }
    // The last table refuses: every table emptied before it is restored.
    refuse(QStringLiteral("keep_fuki"), QStringLiteral("Delete"), QStringLiteral("rrk_fuki"),
           QStringLiteral("1 = 1"));

    prompter_.events.clear();
    prompter_.inputAnswer(QStringLiteral("fern"));
    (void)importer().Command1_Click();
    ASSERT_EQ(prompter_.events.size(), 2u); // the password box, then the failure
    EXPECT_EQ(prompter_.events[1].title, QStringLiteral("Command1_Click"));
    EXPECT_EQ(prompter_.events[1].icon, core::MsgIcon::Critical);
    EXPECT_TRUE(prompter_.events[1].text.contains(QStringLiteral("refused")))
        << prompter_.events[1].text.toStdString();
    for (const QString& table : kOrderTables)
        EXPECT_EQ(count(table), before[table]) << table.toStdString();
    EXPECT_EQ(prompter_.busyDepth, 0);
}

TEST_P(ImportTest, AnImportedFileThatCannotBeDeletedStopsTheRun) {
    BuiltFile a;
    a.orders = {sampleOrder(6201, 1), sampleOrder(6202, 1)};
    const QString path = write(QStringLiteral("ORD1.mdb"), a);
    // Once the file is read (its success is logged), its name turns into a folder that holds a file:
    // the name left in the receive folder cannot be deleted.
    const auto blocked = [this, path](receiving::ImportServices& s) {
        s.log = [this, path](const QString& line) {
            log_ << line;
            if (!line.startsWith(QStringLiteral("成功(")))
                return;
            QFile::rename(path, path + QStringLiteral(".read"));
            QDir().mkpath(path);
            QFile stay(path + QStringLiteral("/stay"));
            (void)stay.open(QIODevice::WriteOnly);
        };
    };
    EXPECT_FALSE(importer(blocked).cmdImp_Click(folder_));
    EXPECT_EQ(prompter_.list, QStringList{QStringLiteral("成功(") + path + QLatin1Char(')')});
    EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[cmdImp_Click] ファイル(") + path +
                                                QStringLiteral(")を削除できませんでした。") + kCrLf +
                                                QStringLiteral("処理を中止します。")});
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 2);
    EXPECT_EQ(prompter_.busyDepth, 0);
}

// The work database as the import sees it, with a sync that records what is on disk when it is asked
// for, and fails when told to.
class SyncWatch : public receiving::DbWorkDatabase {
public:
    using DbWorkDatabase::DbWorkDatabase;
    std::function<void()> onSync;
    void syncToDisk() override {
        onSync();
        DbWorkDatabase::syncToDisk();
    }
};

TEST_P(ImportTest, AFileGoesOnlyAfterItsOrdersAreSyncedAndStaysWhenTheSyncFails) {
    BuiltFile a, b;
    a.orders = {sampleOrder(6301, 1), sampleOrder(6302, 1)};
    b.orders = {sampleOrder(6303, 1)};
    const QString first = write(QStringLiteral("ORD1.mdb"), a);
    const QString second = write(QStringLiteral("ORD2.mdb"), b);
    SyncWatch work(connection_);
    QStringList seen;
    work.onSync = [&] {
        seen << QStringLiteral("%1 orders, %2 %3")
                    .arg(count(QStringLiteral("rcv_denheaddata")))
                    .arg(QFileInfo::exists(first) ? QStringLiteral("first") : QString(),
                         QFileInfo::exists(second) ? QStringLiteral("second") : QString());
        if (seen.size() == 2)
            throw Error(QStringLiteral("disk failed"), errnum::General);
    };
    receiving::ImportServices s;
    s.openFile = [](const QString& path) { return receiving::openJetOrderFile(path); };
    s.log = [this](const QString& line) { log_ << line; };
    EXPECT_FALSE(receiving::OrderImport(prompter_, work, s).cmdImp_Click(folder_));
    EXPECT_EQ(seen,
              (QStringList{QStringLiteral("2 orders, first second"), QStringLiteral("3 orders,  second")}));
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(second)); // its orders stay committed; the next import refuses them
    EXPECT_EQ(prompter_.messages(), QStringList{QStringLiteral("[cmdImp_Click] disk failed(5)") + kCrLf +
                                                QStringLiteral("ファイル(") + second +
                                                QStringLiteral(")は受信フォルダに残してあります。") + kCrLf +
                                                QStringLiteral("処理を中止します。")});
    EXPECT_EQ(prompter_.busyDepth, 0);
}

TEST_P(ImportTest, AFailedFileThatCannotBeSetAsideStopsTheRun) {
    const QString path = folder_ + QStringLiteral("ORD1.mdb");
    const QString err = folder_ + QStringLiteral("ORD1.err");
    const struct {
        const char* what;
        std::function<void()> block; // makes ORD1.err impossible to put in place
        QString message;
    } cases[] = {
        {"a folder holds the name",
         [&] {
             QDir().mkpath(err);
             QFile stay(err + QStringLiteral("/stay"));
             (void)stay.open(QIODevice::WriteOnly);
         },
         QStringLiteral("[MF_ExtChange] 書き込みできません。") + err + QStringLiteral("(70)") + kCrLf +
             QStringLiteral("処理を中止します。")},
        {"the name is the file itself", [&] { QFile::link(path, err); },
         QStringLiteral("[MF_ExtChange] ファイル(") + path +
             QStringLiteral(")の拡張子を変更できませんでした。") + kCrLf +
             QStringLiteral("処理を中止します。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(err).removeRecursively();
        QFile::remove(err);
        for (const QString& f : files())
            QFile::remove(folder_ + f);
        // Orders of their own per case: the orders of a failing file stay committed.
        const qint32 first = 6301 + 10 * static_cast<qint32>(&c - cases);
        BuiltFile bad;
        bad.orders = {sampleOrder(first, 1)};
        bad.omitTables = {QStringLiteral("snd_mst_fuki")};
        write(QStringLiteral("ORD1.mdb"), bad);
        BuiltFile next;
        next.orders = {sampleOrder(first + 1, 1)};
        write(QStringLiteral("ORD2.mdb"), next);
        c.block();
        prompter_.events.clear();

        EXPECT_FALSE(importer().cmdImp_Click(folder_));
        EXPECT_EQ(prompter_.messages(), QStringList{c.message});
        EXPECT_TRUE(prompter_.events.size() == 1 &&
                    prompter_.events[0].kind == test::PromptEvent::Kind::Message);
        EXPECT_TRUE(QFileInfo(path).isFile()); // the failed file is still there, unchanged in name
        EXPECT_TRUE(files().contains(QStringLiteral("ORD2.mdb"))); // the run stopped before the next file
        EXPECT_EQ(count(QStringLiteral("rcv_denheaddata Where ORD_NO = ?"), {first + 1}), 0);
    }
}

TEST_P(ImportTest, FilesOfTheOrderFileGeneratorImport) {
    demo::Options o;
    o.orders = 4;
    o.linesPerOrder = 3;
    o.seventhQualityLine = true;
    o.submittedSymbols = 2;
    o.submittedTerms = 1;
    const demo::OrderFileData good = demo::makeOrderFile(folder_ + QStringLiteral("ORD1.mdb"), o);
    o.firstOrderNumber = 250001;
    o.seventhQualityLine = false;
    o.nullNumbers = {{QStringLiteral("posdata"), QStringLiteral("SU"), 6}}; // the third order's first line
    const demo::OrderFileData bad = demo::makeOrderFile(folder_ + QStringLiteral("ORD2.mdb"), o);

    prompter_.answer(true);
    EXPECT_TRUE(importer().cmdImp_Click(folder_));
    EXPECT_EQ(files(), QStringList{QStringLiteral("ORD2.err")});
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 6); // 4 + the 2 orders before the bad one
    EXPECT_EQ(count(QStringLiteral("rcv_posdata Where ORD_NO = ?"), {good.orderNumbers[0]}), 3);
    EXPECT_EQ(count(QStringLiteral("rcv_posdata Where ORD_NO = ?"), {bad.orderNumbers[2]}), 0);
    EXPECT_EQ(count(QStringLiteral("rcv_posdata Where TAPH1 = '品質については' And TAPH7 = ''")), 4);
    EXPECT_EQ(count(QStringLiteral("rcv_cardata Where TAPH7 <> ''")), 4);
    EXPECT_EQ(count(QStringLiteral("rrk_ehj")), 2);
    const QStringList failure = prompter_.list.filter(QStringLiteral("♯"));
    ASSERT_EQ(failure.size(), 1);
    EXPECT_TRUE(failure[0].contains(QString::number(bad.orderNumbers[2])) &&
                failure[0].contains(QStringLiteral("'SU'")))
        << failure[0].toStdString();
    // Generated orders use the demo masters' codes, so the master check finds nothing in them.
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata Where ERR_SU <> 0")), 0);
}

// Every row of the received-order and staging tables as text, sorted; the staging tables' running
// ID is left out, so the dumps of two imports compare.
QStringList dumpWorkTables(db::Connection& c) {
    QStringList out;
    for (const QString& table : deleteAllTables()) {
        db::Reader r = c.read(QStringLiteral("Select * From ") + table);
        QStringList rows;
        for (; !r.atEnd(); r.moveNext()) {
            QStringList cells;
            for (int i = 0; i < r.columnCount(); ++i)
                if (r.column(i).name.compare(QLatin1String("ID"), Qt::CaseInsensitive) != 0)
                    cells << (r.value(i).isNull() ? QStringLiteral("<null>") : r.text(i));
            rows << table + QLatin1Char(':') + cells.join(QLatin1Char('|'));
        }
        rows.sort();
        out << rows;
    }
    return out;
}

// A file whose rows were edited after writing (grown rows moved behind forwarding slots, rows shrunk
// in place, deleted rows) imports exactly as the same content written once.
TEST_P(ImportTest, FilesEditedAfterWritingImportEveryOrderWhole) {
    demo::Options o;
    o.orders = 6;
    o.linesPerOrder = 4;
    o.seventhQualityLine = true;
    o.submittedSymbols = 3;
    o.submittedTerms = 2;
    o.editedAfterWriting = true;
    demo::makeOrderFile(folder_ + QStringLiteral("ORD1.mdb"), o);
    prompter_.answer(true);
    EXPECT_TRUE(importer().cmdImp_Click(folder_));
    EXPECT_TRUE(files().isEmpty()) << prompter_.list.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(prompter_.list.filter(QStringLiteral("♯")).isEmpty());
    EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 6);
    EXPECT_EQ(count(QStringLiteral("rcv_posdata")), 24);
    EXPECT_EQ(count(QStringLiteral("rcv_fuzokudata")), 24);
    EXPECT_EQ(count(QStringLiteral("rrk_ehj")), 3);
    const QStringList edited = dumpWorkTables(connection_);

    prompter_.inputAnswer(QStringLiteral("fern"));
    (void)importer().Command1_Click();
    o.editedAfterWriting = false;
    demo::makeOrderFile(folder_ + QStringLiteral("ORD2.mdb"), o);
    EXPECT_TRUE(importer().cmdImp_Click(folder_));
    EXPECT_EQ(dumpWorkTables(connection_).join(QLatin1Char('\n')).toStdString(),
              edited.join(QLatin1Char('\n')).toStdString());
}

// A file over one of the limits is set aside as ".err" with a line naming the limit, and the next
// file, exactly at the limit, imports.
TEST_P(ImportTest, AFileOverALimitIsSetAsideAndTheNextImports) {
    demo::Options small;
    small.orders = 3;
    small.linesPerOrder = 2;
    small.firstOrderNumber = 260001;
    const QString smallPath = folder_ + QStringLiteral("ORD2.mdb");
    demo::makeOrderFile(smallPath, small);
    jet::ReadLimits at;
    {
        const jet::JetReader r(smallPath);
        at.fileBytes = QFileInfo(smallPath).size();
        at.decodedBytes = r.decodedBytes();
        at.rowsPerTable = at.cellsPerTable = 0;
        for (const QString& t : r.tables()) {
            at.rowsPerTable = std::max(at.rowsPerTable, r.rowCount(t));
            at.cellsPerTable = std::max(at.cellsPerTable, r.rowCount(t) * qint64(r.columns(t).size()));
        }
    }
    struct Case {
        const char* what;
        std::function<void(jet::ReadLimits&)> keepOnly; // every other limit lifted
        QString named;
    };
    const qint64 lifted = qint64(1) << 40;
    const std::vector<Case> cases = {
        {"file size", [&](jet::ReadLimits& l) { l.rowsPerTable = l.cellsPerTable = l.decodedBytes = lifted; },
         QStringLiteral("の大きさ")},
        {"rows", [&](jet::ReadLimits& l) { l.fileBytes = l.cellsPerTable = l.decodedBytes = lifted; },
         QStringLiteral("行数が上限")},
        {"cells", [&](jet::ReadLimits& l) { l.fileBytes = l.rowsPerTable = l.decodedBytes = lifted; },
         QStringLiteral("値の数")},
        {"decoded", [&](jet::ReadLimits& l) { l.fileBytes = l.rowsPerTable = l.cellsPerTable = lifted; },
         QStringLiteral("値の合計")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompter_ = test::ScriptedPrompter();
        prompter_.inputAnswer(QStringLiteral("fern"));
        (void)importer().Command1_Click();
        for (const QString& f : files())
            QFile::remove(folder_ + f);
        demo::Options big = small;
        big.orders = 40;
        big.firstOrderNumber = 270001;
        demo::makeOrderFile(folder_ + QStringLiteral("ORD1.mdb"), big);
        demo::makeOrderFile(smallPath, small);
        jet::ReadLimits limits = at;
        c.keepOnly(limits);

        receiving::ImportServices s;
        s.openFile = [limits](const QString& path) { return receiving::openJetOrderFile(path, limits); };
        s.log = [this](const QString& line) { log_ << line; };
        prompter_.answer(true);
        EXPECT_TRUE(receiving::OrderImport(prompter_, work_, s).cmdImp_Click(folder_));
        EXPECT_EQ(files().join(QLatin1Char(' ')).toStdString(), "ORD1.err")
            << prompter_.list.join(QLatin1Char('\n')).toStdString();
        const QStringList failure = prompter_.list.filter(QStringLiteral("♯"));
        ASSERT_EQ(failure.size(), 1);
        EXPECT_TRUE(failure[0].contains(c.named) && failure[0].contains(QStringLiteral("(3035)")))
            << failure[0].toStdString();
        EXPECT_EQ(count(QStringLiteral("rcv_denheaddata")), 3); // the whole file at the limit
        EXPECT_EQ(count(QStringLiteral("rcv_denheaddata Where ORD_NO >= 270001")), 0);
        EXPECT_EQ(count(QStringLiteral("rcv_posdata")), 6);
    }
}

INSTANTIATE_TEST_SUITE_P(Dialects, ImportTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

} // namespace
