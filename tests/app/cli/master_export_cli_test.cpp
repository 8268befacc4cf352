// kemnoa-cli export-masters and export-products: the same jobs, settings from the settings file,
// answers from --yes / --no.

#include "platform/db/connection.h"
#include "receiving/receive_fixture.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace kemnoa;
using namespace kemnoa::test;

namespace {

QString L(const char* s) {
    return QString::fromUtf8(s);
}

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliMastersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start(f.root.path())) << server.error().toStdString();
        ini = f.work.filePath(L("kemnoa.ini"));
        putFile(ini, text::toCp932(L("[SQLKEM_DB]\r\nPROVIDER=SQLite\r\nDB_NM=work.db\r\n"
                                     "[OFFICE_DB]\r\nPROVIDER=SQLite\r\nDB_NM=office.db\r\n"
                                     "[FTP]\r\nLOCAL_FOLDER=") +
                                   f.receiveFolder() +
                                   L("\r\nHostMei=127.0.0.1\r\nUserMei=kem\r\nPassMei=pw\r\nPortNum=") +
                                   QString::number(server.port()) + L("\r\nPaveMod=True\r\n")));
        seed(L("work.db"), db::DatabaseKind::Work,
             {L("Insert Into kemmst_namecode (name_nm) Values ('下札')")});
        seed(L("office.db"), db::DatabaseKind::Office,
             {L("Insert Into FSHOWK (SHO011, SHO032, SHO033) Values ('8710001', '下札', '白')"),
              L("Insert Into FSKNPF (SKN011, SKN031_1, SKN031_9, SKN031_10) Values ('8710001', 'S-01', 12, "
                "1.5)"),
              L("Insert Into FSHJWK1 (SHJ011, SHJ012, SHJ032) Values ('8710001', '0', 3)")});
    }

    void seed(const QString& name, db::DatabaseKind kind, const QStringList& statements) {
        db::ConnectionSettings s;
        s.provider = L("SQLite");
        s.database = QDir(f.programFolder()).filePath(name);
        s.kind = kind;
        s.createIfMissing = true;
        db::Connection c;
        c.open(s);
        for (const QString& sql : statements)
            c.execute(sql);
    }

    CliRun run(const QStringList& args) {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(L("KEMNOA_HOME"), f.programFolder());
        env.insert(L("HOME"), f.work.filePath(L("home")));
        env.insert(L("XDG_CONFIG_HOME"), f.work.filePath(L("home/.config")));
        cli.setProcessEnvironment(env);
        cli.start(L(KEMNOA_CLI), QStringList{L("--ini"), ini} + args);
        EXPECT_TRUE(cli.waitForFinished(60000));
        return {cli.exitCode(), QString::fromUtf8(cli.readAllStandardOutput()),
                QString::fromUtf8(cli.readAllStandardError())};
    }

    ReceiveFolders f;
    PyFtpServer server;
    QString ini;
};

TEST_F(CliMastersTest, ExportMastersPublishesTheFile) {
    const CliRun no = run({L("--no"), L("export-masters")});
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_TRUE(f.serverFiles().isEmpty());

    const CliRun yes = run({L("--yes"), L("export-masters")});
    EXPECT_EQ(yes.exitCode, 0) << yes.out.toStdString() << yes.err.toStdString();
    EXPECT_TRUE(yes.out.contains(L("接続成功\n"))) << yes.out.toStdString();
    EXPECT_TRUE(yes.out.contains(L("処理完了しました。"))) << yes.out.toStdString();
    ASSERT_EQ(f.serverFiles().size(), 1);
    EXPECT_TRUE(f.serverFiles().first().startsWith(L("MST")));
    EXPECT_EQ(QDir(f.programFolder()).entryList({L("*.mdb")}, QDir::Files), QStringList());
}

TEST_F(CliMastersTest, ExportProductsWritesTheWorkbook) {
    const QString out = f.work.filePath(L("out/products.xlsx"));
    const CliRun first = run({L("--yes"), L("export-products"), out});
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    const QByteArray written = fileBytes(out);
    EXPECT_TRUE(written.startsWith("PK"));

    // An existing workbook is replaced only on Yes.
    const CliRun declined = run({L("--no"), L("export-products"), out});
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_TRUE(declined.err.contains(L("キャンセルされました。"))) << declined.err.toStdString();
    EXPECT_EQ(fileBytes(out), written);

    // Without a path: the desktop workbook.
    const CliRun desktop = run({L("--yes"), L("export-products")});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(f.work.filePath(L("home/Desktop/ケムノア商品マスタ.xlsx"))));

    EXPECT_EQ(run({L("export-products"), out, out}).exitCode, 2);
}

} // namespace
