// kemnoa-cli create-po on a program folder with SQLite databases: the list, the run over listed POs and
// over all of them with each PO's state, folder and archive, refused arguments and a refused PO.

#include "cli_process.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;
using test::CliRun;

namespace {

class CliCreatePo : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = dir_.path() + QLatin1Char('/');
        QString settings;
        for (const char* section : {"SQLKEM_DB", "OFFICE_DB", "PO_DB", "SK_DB"})
            settings += QStringLiteral("[%1]\r\nPROVIDER=SQLite\r\nDB_NM=%2.db\r\n")
                            .arg(QString::fromLatin1(section),
                                 QString::fromLatin1(section).section(QLatin1Char('_'), 0, 0).toLower());
        settings += QStringLiteral("[PO_FILE]\r\nFOLDER=%1po/\r\n").arg(home_);
        ASSERT_TRUE(test::writeSettingsFile(home_, settings));
        ASSERT_TRUE(QDir(home_).mkpath(QStringLiteral("po")));
        ASSERT_TRUE(QDir(home_).mkpath(QStringLiteral("templates")));
        const QDir templates(test::sourceDir() + QStringLiteral("/resources/templates"));
        for (const QString& name : templates.entryList({QStringLiteral("*.xlsx")}, QDir::Files))
            ASSERT_TRUE(QFile::copy(templates.filePath(name), home_ + QStringLiteral("templates/") + name));
        ASSERT_EQ(run({QStringLiteral("init-db")}).exitCode, 0);
        ASSERT_EQ(run({QStringLiteral("seed-demo")}).exitCode, 0);
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.database = home_ + QStringLiteral("sqlkem.db");
        work_.open(s);
        for (int n : {1, 2, 3})
            addPo(n, QStringLiteral("P0000000%1").arg(n), QStringLiteral("KT-1001"));
    }

    void addPo(int ordNo, const QString& po, const QString& layout) {
        work_.execute(
            QStringLiteral("Insert Into rcv_denheaddata (ORD_NO, IRAI_NO, ORD_DATE, KIBO_DATE, SIR_CD, "
                           "NOU_CD, NOU_NM, KESSAI, SHKA_PLACE, PO_NO, PO_KBN, ERR_SU, PRN_SU, SEND_FLG, "
                           "BIKO2) Values (?, ?, 20261201, '20261220', 'S1', 'C0101-01', 'さくら衣料', "
                           "'日本決済', '上海工場', ?, '0', 0, 0, '9', '')"),
            {ordNo, QStringLiteral("R%1").arg(ordNo), po});
        work_.execute(
            QStringLiteral(
                "Insert Into rcv_posdata (ORD_NO, GYOU, TAFCD, SU, EHJ) Values (?, 1, 'KT-1001', 5, '')"),
            {ordNo});
        work_.execute(
            QStringLiteral("Insert Into rcv_skdata (PO_NO, PO_KBN, PO_GYOU, ORD_NO, GYOU, HINSYU_CD, LAYOUT, "
                           "SHO_CD, SU) Values (?, '0', 1, ?, 1, 'TAG', ?, '8710001', 5)"),
            {po, ordNo, layout});
    }

    CliRun run(const QStringList& args) { return test::runKemnoaCli(home_, args); }

    QString sendFlag(int ordNo) {
        db::Reader r =
            work_.read(QStringLiteral("Select SEND_FLG From rcv_denheaddata Where ORD_NO = ?"), {ordNo});
        return r.text(0);
    }

    QTemporaryDir dir_;
    QString home_;
    db::Connection work_;
};

TEST_F(CliCreatePo, ListsRunsTheListedPosThenAllAndRefusesWhatItCannotMake) {
    CliRun r = run({QStringLiteral("create-po")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("PO番号\tPO区分\t納品先\t名称\t希望出荷日\n"
                                    "P00000001\t0\tC0101-01\tさくら衣料\t20261220\n"
                                    "P00000002\t0\tC0101-01\tさくら衣料\t20261220\n"
                                    "P00000003\t0\tC0101-01\tさくら衣料\t20261220\n"));
    EXPECT_EQ(run({QStringLiteral("create-po"), QStringLiteral("P00000001")}).exitCode, 2);
    r = run({QStringLiteral("create-po"), QStringLiteral("P9"), QStringLiteral("0")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("[create-po] 作成できるPOではありません: P9 0")))
        << r.err.toStdString();

    const QString po = home_ + QStringLiteral("po/");
    r = run({QStringLiteral("create-po"), QStringLiteral("P00000002"), QStringLiteral("0")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("P00000002\t0\t送信済\t%1P00000002/\t%1P00000002.lzh\n").arg(po));
    EXPECT_TRUE(r.err.contains(QStringLiteral("[完了] 処理は終了しました。")));
    EXPECT_TRUE(QFileInfo(po + QStringLiteral("P00000002.lzh")).isFile());
    EXPECT_EQ(sendFlag(1), QStringLiteral("9"));
    EXPECT_EQ(sendFlag(2), QStringLiteral("1"));

    // The third PO's layout would lead out of its folder: refused, the other PO sent, exit 3.
    work_.execute(QStringLiteral("Update rcv_skdata Set LAYOUT = '../KT' Where PO_NO = 'P00000003'"));
    r = run({QStringLiteral("--yes"), QStringLiteral("create-po"), QStringLiteral("--all")});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("P00000001\t0\t送信済\t%1P00000001/\t%1P00000001.lzh\n"
                                    "P00000003\t0\t未送信\t\t\n")
                         .arg(po));
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("PO番号(P00000003)のレイアウト(../KT)はファイル名に使えません")));
    EXPECT_EQ(sendFlag(1), QStringLiteral("1"));
    EXPECT_EQ(sendFlag(3), QStringLiteral("9"));
    EXPECT_FALSE(QFileInfo::exists(po + QStringLiteral("P00000003")));
}

} // namespace
