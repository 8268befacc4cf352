// The product master: the office-computer statement on SQLite and PostgreSQL, the workbook read by
// openpyxl and LibreOffice, and the write-out's questions and failures.

#include "masters/product_master.h"
#include "platform/db/db_fixture.h"
#include "platform/db/sql_text.h"
#include "platform/jet/jet_test_util.h"
#include "support/scripted_prompter.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace kemnoa;
namespace kt = kemnoa::test;
using masters::ProductRow;

namespace {

QString L(const char* s) {
    return QString::fromUtf8(s);
}

void putFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// openpyxl's view of a workbook (read_products.py).
QJsonObject readWorkbook(const QString& path, int rows = 10) {
    const auto r = kt::runProgram(
        kt::systemPython(),
        {kt::sourceDir() + QStringLiteral("/tests/masters/read_products.py"), path, QString::number(rows)});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).object();
}

bool haveOpenpyxl() {
    return kt::runProgram(kt::systemPython(), {QStringLiteral("-c"), QStringLiteral("import openpyxl")})
               .exitCode == 0;
}

const ProductRow kRow1 = {L("8710001"), L("0123"), L("織ネーム"), QString(), QString(), L("3"), L("0.5")};
const ProductRow kRow2 = {L("8710002"), L("S-01"), L("下札"), L("上質紙 220kg"),
                          L("1234.5"),  L("12.5"), L("1000")};
const ProductRow kRow7 = {L("8710007"), L("M-7"), L("O'Neil 'T'"), L("白"), L("2"), L("5"), L("1.25")};
const ProductRow kRowLong = {
    L("87100081234567890"), L("M-8"), L("長いコード"), L("-"), L("0"), L("-7.5"), L("99")};

class ProductMasterTest : public kt::DialectTest {
protected:
    void SetUp() override {
        DialectTest::SetUp();
        if (IsSkipped())
            return;
        openFresh(db::DatabaseKind::Office);
    }

    void product(const QString& code, const QString& name1, const QVariant& name2) {
        connection_.execute(QStringLiteral("Insert Into FSHOWK (SHO011, SHO032, SHO033) Values (?, ?, ?)"),
                            {code, name1, name2});
    }
    void material(const QString& code, const QVariant& materialCode, const QVariant& price,
                  const QVariant& shPrice) {
        connection_.execute(
            QStringLiteral("Insert Into FSKNPF (SKN011, SKN031_1, SKN031_9, SKN031_10) Values (?, ?, ?, ?)"),
            {code, materialCode, price, shPrice});
    }
    void submitted(const QString& code, const QString& flag, const QVariant& price) {
        connection_.execute(QStringLiteral("Insert Into FSHJWK1 (SHJ011, SHJ012, SHJ032) Values (?, ?, ?)"),
                            {code, flag, price});
    }

    // Four listed products among others that the conditions leave out.
    void seed() {
        const QVariant null;
        product(L("8710002"), L("下札"), L("上質紙 220kg"));
        material(L("8710002"), L("S-01"), 1000, 1234.5);
        submitted(L("8710002"), L("0"), 12.5);
        product(L("8710001"), L("織ネーム"), null);
        material(L("8710001"), L("0123"), 0.5, null);
        submitted(L("8710001"), L("0"), 3);
        product(L("8710003"), L("資材なし"), L("x")); // no material code
        material(L("8710003"), null, 1, 1);
        submitted(L("8710003"), L("0"), 10);
        product(L("8710004"), L("提出単価0"), L("x"));
        material(L("8710004"), L("S-04"), 1, 1);
        submitted(L("8710004"), L("0"), 0);
        product(L("8710005"), L("区分1のみ"), L("x"));
        material(L("8710005"), L("S-05"), 1, 1);
        submitted(L("8710005"), L("1"), 10);
        product(L("8720001"), L("他の品番"), L("x"));
        material(L("8720001"), L("S-06"), 1, 1);
        submitted(L("8720001"), L("0"), 10);
        product(L("8710006"), L("資材行なし"), L("x"));
        submitted(L("8710006"), L("0"), 10);
        product(L("8710007"), L("O'Neil 'T'"), L("白"));
        material(L("8710007"), L("M-7"), 1.25, 2);
        submitted(L("8710007"), L("0"), 5);
        submitted(L("8710007"), L("1"), 6);
        product(L("87100081234567890"), L("長いコード"), L("-"));
        material(L("87100081234567890"), L("M-8"), 99, 0);
        submitted(L("87100081234567890"), L("0"), -7.5);
    }
};

TEST_P(ProductMasterTest, ListsLabelProductsWithMaterialAndSubmittedPrice) {
    seed();
    const std::vector<ProductRow> rows = masters::loadProducts(connection_);
    EXPECT_EQ(rows, (std::vector<ProductRow>{kRow1, kRow2, kRow7, kRowLong}));
}

TEST_P(ProductMasterTest, EveryMatchingProductIsListed) {
    // 12,000 products, inserted 500 to a statement.
    for (int first = 0; first < 12000; first += 500) {
        QStringList products, materials, prices;
        for (int i = first; i < first + 500; ++i) {
            const QString code = db::quote(QStringLiteral("8710%1").arg(i, 6, 10, QLatin1Char('0')));
            products << u'(' + code + QStringLiteral(", '品名', 'x')");
            materials << u'(' + code + QStringLiteral(", 'S', 1, 1)");
            prices << u'(' + code + QStringLiteral(", '0', ") + QString::number(i + 1) + u')';
        }
        connection_.execute(QStringLiteral("Insert Into FSHOWK (SHO011, SHO032, SHO033) Values ") +
                            products.join(u','));
        connection_.execute(
            QStringLiteral("Insert Into FSKNPF (SKN011, SKN031_1, SKN031_9, SKN031_10) Values ") +
            materials.join(u','));
        connection_.execute(QStringLiteral("Insert Into FSHJWK1 (SHJ011, SHJ012, SHJ032) Values ") +
                            prices.join(u','));
    }
    const std::vector<ProductRow> rows = masters::loadProducts(connection_);
    ASSERT_EQ(rows.size(), 12000u);
    EXPECT_EQ(rows.back()[0], L("8710011999"));
    EXPECT_EQ(rows.back()[5], L("12000"));
}

INSTANTIATE_TEST_SUITE_P(Dialects, ProductMasterTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), kt::dialectLabel);

TEST(ProductStatement, TheSameJoinsWithTheOwnerOnlyOnSqlServer) {
    const QString server = masters::productStatement(db::Dialect::SqlServer);
    EXPECT_TRUE(server.contains(L("From dbo.FSHOWK LEFT OUTER JOIN dbo.FSKNPF ON dbo.FSHOWK.SHO011 = "
                                  "dbo.FSKNPF.SKN011 LEFT OUTER JOIN dbo.FSHJWK1 ON dbo.FSHOWK.SHO011 = "
                                  "dbo.FSHJWK1.SHJ011 Where (dbo.FSHOWK.SHO011 Like '8710%') AND "
                                  "(dbo.FSHJWK1.SHJ012 = '0') AND (dbo.FSKNPF.SKN031_1 IS NOT NULL) AND "
                                  "(dbo.FSHJWK1.SHJ032 <> 0) Order By FSHOWK.SHO011 ")))
        << server.toStdString();
    for (db::Dialect d : {db::Dialect::SQLite, db::Dialect::PostgreSQL})
        EXPECT_EQ(masters::productStatement(d), QString(server).remove(L("dbo.")));
}

class ProductWorkbookTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(L("desk/") + masters::productWorkbookName()); }
    QStringList folderFiles() const {
        return QDir(dir_.filePath(L("desk"))).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    QTemporaryDir dir_;
    kt::ScriptedPrompter prompter_;
};

TEST_F(ProductWorkbookTest, OpenpyxlReadsValuesNumberTypesFormatsAndFonts) {
    if (!haveOpenpyxl())
        GTEST_SKIP() << "openpyxl not installed for /usr/bin/python3";
    masters::writeProductWorkbook({kRow1, kRow2, kRow7, kRowLong}, path());
    EXPECT_EQ(masters::productWorkbookName(), L("ケムノア商品マスタ.xlsx"));
    const QJsonObject book = readWorkbook(path());
    EXPECT_EQ(book[L("sheets")].toArray().size(), 1);
    EXPECT_EQ(book[L("maxRow")].toInt(), 5);
    EXPECT_EQ(book[L("maxColumn")].toInt(), 7);
    const QJsonObject cells = book[L("cells")].toObject();

    const char* headers[] = {"商品コード", "ケム資材名", "品名1",   "品名2",
                             "上海単価",   "提出単価",   "ケム単価"};
    for (int c = 0; c < 7; ++c) {
        const QJsonObject h = cells[QString(QChar(u'A' + c)) + u'1'].toObject();
        EXPECT_EQ(h[L("value")].toString(), L(headers[c]));
        EXPECT_EQ(h[L("format")].toString(), L("@"));
        EXPECT_EQ(h[L("font")][L("name")].toString(), L("ＭＳ Ｐゴシック"));
        EXPECT_EQ(h[L("font")][L("size")].toDouble(), 10);
    }

    // Values that read as numbers are numbers, codes and prices alike; the rest is text.
    struct Expect {
        const char* cell;
        QJsonValue value;
        const char* type;
        const char* format;
    };
    const Expect expected[] = {
        {"A2", 8710001, "n", "@"},
        {"B2", 123, "n", "@"}, // "0123" as Excel takes it
        {"C2", L("織ネーム"), "s", "@"},
        {"E2", QJsonValue::Null, "n", "#,##0.00_ "}, // empty, formatted
        {"G2", 0.5, "n", "#,##0.00_ "},
        {"B3", L("S-01"), "s", "@"},
        {"E3", 1234.5, "n", "#,##0.00_ "},
        {"F3", 12.5, "n", "#,##0.00_ "},
        {"G3", 1000, "n", "#,##0.00_ "},
        {"C4", L("O'Neil 'T'"), "s", "@"},
        {"A5", L("87100081234567890"), "s", "@"}, // more digits than a number keeps: stays text
        {"D5", L("-"), "s", "@"},
        {"F5", -7.5, "n", "#,##0.00_ "},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.cell);
        const QJsonObject c = cells[L(e.cell)].toObject();
        EXPECT_EQ(c[L("value")].toVariant(), e.value.toVariant());
        EXPECT_EQ(c[L("type")].toString(), L(e.type));
        EXPECT_EQ(c[L("format")].toString(), L(e.format));
    }
    for (const char* ref : {"A2", "C4", "G5"}) {
        SCOPED_TRACE(ref);
        const QJsonObject font = cells[L(ref)][L("font")].toObject();
        EXPECT_EQ(font[L("name")].toString(), L("ＭＳ Ｐゴシック"));
        EXPECT_EQ(font[L("size")].toDouble(), 10);
        EXPECT_FALSE(font[L("strike")].toBool());
        EXPECT_FALSE(font[L("outline")].toBool());
        EXPECT_FALSE(font[L("shadow")].toBool());
        EXPECT_TRUE(font[L("vertAlign")].isNull());
        EXPECT_TRUE(font[L("underline")].isNull());
        const QJsonValue color = font[L("color")];
        EXPECT_TRUE(color.isNull() || color[L("auto")].toBool())
            << QJsonDocument(font).toJson().toStdString();
    }
}

TEST_F(ProductWorkbookTest, LibreOfficeShowsPricesInTheirFormat) {
    if (!kt::haveProgram(QStringLiteral("soffice")))
        GTEST_SKIP() << "LibreOffice is not installed";
    masters::writeProductWorkbook({kRow1, kRow2}, path());
    const QString out = dir_.filePath(L("csv"));
    const auto r =
        kt::runProgram(QStringLiteral("soffice"),
                       {QStringLiteral("-env:UserInstallation=file://") + dir_.filePath(L("profile")),
                        QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                        QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true"),
                        QStringLiteral("--outdir"), out, path()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString csv = QString::fromUtf8(fileBytes(out + L("/ケムノア商品マスタ.csv")));
    const QStringList lines = csv.split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << csv.toStdString();
    EXPECT_EQ(lines[0], L("商品コード,ケム資材名,品名1,品名2,上海単価,提出単価,ケム単価"));
    EXPECT_EQ(lines[1], L("8710001,123,織ネーム,,,3.00 ,0.50 "));
    EXPECT_EQ(lines[2], L("8710002,S-01,下札,上質紙 220kg,\"1,234.50 \",12.50 ,\"1,000.00 \""));
}

TEST_F(ProductWorkbookTest, AskingReplacingAndCancelling) {
    const std::vector<ProductRow> rows = {kRow1, kRow2};
    const QString desktopQuestion =
        L("デスクトップにエクセルファイルとして書き出します。\r\nよろしいですか？");
    const QString overwriteQuestion = L("同じ名前のファイルが存在します。\r\n上書きしますか？");

    // Declined: nothing is written, and the missing folder is not made.
    prompter_.answer(false);
    EXPECT_EQ(masters::exportProducts(prompter_, rows, path()), core::Outcome::Failed);
    ASSERT_EQ(prompter_.events.size(), 1u);
    EXPECT_EQ(prompter_.events[0].text, desktopQuestion);
    EXPECT_EQ(prompter_.events[0].title, L("確認"));
    EXPECT_FALSE(QFileInfo::exists(path()));

    // The missing desktop folder is created and the workbook written.
    kt::ScriptedPrompter first;
    first.answer(true);
    EXPECT_EQ(masters::exportProducts(first, rows, path()), core::Outcome::Done);
    EXPECT_EQ(first.messages(), QStringList{L("[完了] 書き出しました。")});
    EXPECT_EQ(first.events.back().icon, core::MsgIcon::None);
    EXPECT_EQ(first.busyDepth, 0);
    EXPECT_GT(first.busyMaxDepth, 0);
    const QByteArray written = fileBytes(path());
    ASSERT_FALSE(written.isEmpty());

    // An existing file and No: "キャンセルされました。", the file untouched.
    putFile(path(), "older workbook");
    kt::ScriptedPrompter no;
    no.answer(true);
    no.answer(false);
    EXPECT_EQ(masters::exportProducts(no, rows, path()), core::Outcome::Failed);
    ASSERT_EQ(no.events.size(), 3u);
    EXPECT_EQ(no.events[1].text, overwriteQuestion);
    EXPECT_EQ(no.events[1].title, L("エラー"));
    EXPECT_EQ(no.events[1].icon, core::MsgIcon::Question);
    EXPECT_EQ(no.messages(), QStringList{L("[キャンセル] キャンセルされました。")});
    EXPECT_EQ(no.events[2].icon, core::MsgIcon::None);
    EXPECT_EQ(fileBytes(path()), QByteArray("older workbook"));

    // Yes: replaced in place, nothing else left in the folder.
    kt::ScriptedPrompter yes;
    yes.answer(true);
    yes.answer(true);
    EXPECT_EQ(masters::exportProducts(yes, rows, path()), core::Outcome::Done);
    EXPECT_TRUE(fileBytes(path()).startsWith("PK"));
    EXPECT_EQ(folderFiles(), QStringList{masters::productWorkbookName()});
}

// A write that fails (the folder cannot be made, the disk fills up) reports it and leaves the
// older workbook as it was and no partial file.
TEST_F(ProductWorkbookTest, AFailedWriteKeepsTheOlderWorkbook) {
    std::vector<ProductRow> rows(3000, kRow2);

    // The desktop path names a file, not a folder.
    putFile(dir_.filePath(L("blocked")), "x");
    const QString blocked = dir_.filePath(L("blocked/") + masters::productWorkbookName());
    prompter_.answer(true);
    EXPECT_EQ(masters::exportProducts(prompter_, rows, blocked), core::Outcome::Failed);
    ASSERT_EQ(prompter_.events.size(), 2u);
    EXPECT_EQ(prompter_.events[1].title, L("mnuExp_Click"));
    EXPECT_EQ(prompter_.events[1].icon, core::MsgIcon::Critical);
    EXPECT_EQ(prompter_.busyDepth, 0);

    // The disk fills up while the new workbook is written (a file size limit stands in for it).
    QDir().mkpath(dir_.filePath(L("desk")));
    putFile(path(), "older workbook");
    kt::ScriptedPrompter full;
    full.answer(true);
    full.answer(true);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 20000;
    setrlimit(RLIMIT_FSIZE, &limited);
    const core::Outcome outcome = masters::exportProducts(full, rows, path());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(outcome, core::Outcome::Failed);
    ASSERT_EQ(full.messages().size(), 1);
    EXPECT_TRUE(full.messages()[0].startsWith(L("[mnuExp_Click] "))) << full.messages()[0].toStdString();
    EXPECT_EQ(fileBytes(path()), QByteArray("older workbook"));
    EXPECT_EQ(folderFiles(), QStringList{masters::productWorkbookName()});
}

TEST_F(ProductWorkbookTest, ManyProductsAreAllWritten) {
    if (!haveOpenpyxl())
        GTEST_SKIP() << "openpyxl not installed for /usr/bin/python3";
    std::vector<ProductRow> rows;
    for (int i = 1; i <= 12000; ++i)
        rows.push_back({QStringLiteral("8710%1").arg(i, 6, 10, QLatin1Char('0')), L("S-01"), L("品名"),
                        L("x"), QString::number(i), L("1.5"), L("2")});
    masters::writeProductWorkbook(rows, path());
    const QJsonObject book = readWorkbook(path(), 1);
    EXPECT_EQ(book[L("maxRow")].toInt(), 12001);
    const QJsonObject cells = book[L("cells")].toObject();
    EXPECT_EQ(cells[L("A12001")][L("value")].toInteger(), 8710012000);
    EXPECT_EQ(cells[L("E12001")][L("value")].toInteger(), 12000);
    EXPECT_EQ(cells[L("E12001")][L("format")].toString(), L("#,##0.00_ "));
}

} // namespace
