// Files written by JetWriter, read back by the mdbtools programs, the npm package mdb-reader and
// our own reader.

#include "platform/jet/jet_reader.h"
#include "platform/jet/jet_test_util.h"
#include "platform/jet/jet_writer.h"
#include "support/test_env.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa::jet;
using kemnoa::Error;
namespace kt = kemnoa::test;

namespace {

const QString kJapanese = QStringLiteral("株式会社ケムノア　東京都千代田区①～");
const QString kLongMemo = QString(3000, QChar(u'綿')) + QStringLiteral("end"); // 6006 bytes: a page chain

// A table of every writable type with Null, empty and Japanese values.
void writeSample(const QString& path) {
    JetWriter w(path, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    w.createTable(QStringLiteral("sample"), {{QStringLiteral("T"), ColumnType::Text, 50},
                                             {QStringLiteral("M"), ColumnType::Memo},
                                             {QStringLiteral("B"), ColumnType::Byte},
                                             {QStringLiteral("I"), ColumnType::Integer},
                                             {QStringLiteral("L"), ColumnType::Long},
                                             {QStringLiteral("D"), ColumnType::Double},
                                             {QStringLiteral("C"), ColumnType::Currency},
                                             {QStringLiteral("DT"), ColumnType::DateTime}});
    w.insert(QStringLiteral("sample"),
             Row{Value::text(kJapanese), Value::text(QStringLiteral("短いメモ")), Value::integer(255),
                 Value::integer(-32768), Value::integer(2147483647), Value::real(1.5),
                 Value::currency(123456789), Value::dateTime(toJetDate(2024, 1, 31, 13, 45, 6))});
    w.insert(QStringLiteral("sample"), Row{Value::text(QString()), Value::text(QString()), Value::integer(0),
                                           Value::integer(0), Value::integer(-1), Value::real(-0.25),
                                           Value::currency(-5000), Value::dateTime(toJetDate(1999, 12, 31))});
    w.insert(QStringLiteral("sample"), Row(8)); // all Null
    w.insert(QStringLiteral("sample"),
             {{QStringLiteral("M"), Value::text(kLongMemo)},
              {QStringLiteral("T"), Value::text(QStringLiteral("It's \"quoted\""))}});
    w.createTable(QStringLiteral("empty"), {{QStringLiteral("X"), ColumnType::Long}});
    w.close();
}

class JetWriterTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file(const QString& name) const { return dir.filePath(name); }
};

TEST_F(JetWriterTest, MdbtoolsReadTablesTypesAndValues) {
    const QString path = file(QStringLiteral("sample.mdb"));
    writeSample(path);

    const auto tables = kt::runProgram(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), path});
    ASSERT_EQ(tables.exitCode, 0) << tables.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(tables.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              (QStringList{QStringLiteral("sample"), QStringLiteral("empty")}));

    const auto schema = kt::runProgram(QStringLiteral("mdb-schema"), {path, QStringLiteral("access")});
    ASSERT_EQ(schema.exitCode, 0) << schema.err.toStdString();
    const QString s = QString::fromUtf8(schema.out).simplified();
    for (const char* expected : {"[T] Text (50)", "[M] Memo/Hyperlink", "[B] Byte", "[I] Integer",
                                 "[L] Long Integer", "[D] Double", "[C] Currency", "[DT] DateTime"})
        EXPECT_TRUE(s.contains(QLatin1String(expected))) << expected << "\n" << s.toStdString();

    const auto rows = kt::mdbExportRows(path, QStringLiteral("sample"));
    ASSERT_EQ(rows.size(), 5u); // header + 4
    EXPECT_EQ(rows[1],
              (QStringList{kJapanese, QStringLiteral("短いメモ"), QStringLiteral("255"),
                           QStringLiteral("-32768"), QStringLiteral("2147483647"), QStringLiteral("1.5"),
                           QStringLiteral("12345.6789"), QStringLiteral("2024-01-31 13:45:06")}));
    // mdb-export prints a zero-length value as Null (its bind API cannot tell them apart); the
    // distinction is checked with mdb-reader and our reader.
    EXPECT_EQ(rows[2][0], kt::kNullMark);
    EXPECT_EQ(rows[2][1], kt::kNullMark);
    EXPECT_EQ(rows[2][6], QStringLiteral("-0.5000"));
    EXPECT_EQ(rows[3], QStringList(8, kt::kNullMark));
    EXPECT_EQ(rows[4][0], QStringLiteral("It's \"quoted\""));
    EXPECT_EQ(rows[4][1], kLongMemo);
}

TEST_F(JetWriterTest, MdbReaderAgrees) {
    if (kt::nodeModules().isEmpty())
        GTEST_SKIP() << "mdb-reader not installed (KEMNOA_TEST_NODE_MODULES)";
    const QString path = file(QStringLiteral("sample.mdb"));
    writeSample(path);
    const QJsonObject dump = kt::mdbReaderDump(path);
    ASSERT_FALSE(dump.contains(QStringLiteral("error")))
        << dump.value(QStringLiteral("error")).toString().toStdString();
    EXPECT_EQ(dump[QStringLiteral("tables")].toArray(),
              (QJsonArray{QStringLiteral("sample"), QStringLiteral("empty")}));
    const QJsonObject sample = dump[QStringLiteral("data")][QStringLiteral("sample")].toObject();
    QStringList types;
    for (const auto& c : sample[QStringLiteral("columns")].toArray())
        types << c[QStringLiteral("type")].toString();
    EXPECT_EQ(types, (QStringList{QStringLiteral("text"), QStringLiteral("memo"), QStringLiteral("byte"),
                                  QStringLiteral("integer"), QStringLiteral("long"), QStringLiteral("double"),
                                  QStringLiteral("currency"), QStringLiteral("datetime")}));
    EXPECT_EQ(sample[QStringLiteral("rowCount")].toInt(), 4);
    const QJsonArray rows = sample[QStringLiteral("rows")].toArray();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].toArray(),
              (QJsonArray{kJapanese, QStringLiteral("短いメモ"), 255, -32768, 2147483647, 1.5,
                          QStringLiteral("12345.6789"), QStringLiteral("2024-01-31T13:45:06.000Z")}));
    EXPECT_EQ(rows[1].toArray()[0], QJsonValue(QString()));
    EXPECT_EQ(rows[1].toArray()[1], QJsonValue(QString()));
    for (const auto& v : rows[2].toArray())
        EXPECT_TRUE(v.isNull());
    EXPECT_EQ(rows[3].toArray()[1].toString(), kLongMemo);
    EXPECT_EQ(dump[QStringLiteral("data")][QStringLiteral("empty")][QStringLiteral("rowCount")].toInt(), 0);
}

TEST_F(JetWriterTest, OwnReaderReadsBackTypedValues) {
    const QString path = file(QStringLiteral("sample.mdb"));
    writeSample(path);
    JetReader r(path);
    EXPECT_EQ(r.jetVersion(), 4);
    EXPECT_EQ(r.tables(), (QStringList{QStringLiteral("sample"), QStringLiteral("empty")}));
    const RowSet rows = r.readTable(QStringLiteral("SAMPLE"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows.rows()[0],
              (Row{Value::text(kJapanese), Value::text(QStringLiteral("短いメモ")), Value::integer(255),
                   Value::integer(-32768), Value::integer(2147483647), Value::real(1.5),
                   Value::currency(123456789), Value::dateTime(toJetDate(2024, 1, 31, 13, 45, 6))}));
    EXPECT_EQ(rows.value(1, QStringLiteral("T")), Value::text(QString()));
    EXPECT_TRUE(rows.value(2, QStringLiteral("T")).isNull());
    EXPECT_EQ(rows.value(1, QStringLiteral("DT")).toText(), QStringLiteral("1999/12/31"));
    EXPECT_EQ(rows.value(3, QStringLiteral("M")).asText(), kLongMemo);
    EXPECT_EQ(r.rowCount(QStringLiteral("empty")), 0);
}

// 102 columns (like the order lines) and 20,000 rows over many pages, read by all three readers.
TEST_F(JetWriterTest, WideTableWithManyPagesAgreesEverywhere) {
    const QString path = file(QStringLiteral("wide.mdb"));
    std::vector<ColumnDef> cols;
    for (int i = 1; i <= 100; ++i)
        cols.push_back({QStringLiteral("COLUMN_%1").arg(i, 3, 10, QLatin1Char('0')), ColumnType::Text, 20});
    cols.push_back({QStringLiteral("ORD_NO"), ColumnType::Long});
    cols.push_back({QStringLiteral("GYOU"), ColumnType::Long});
    constexpr int kRows = 20000;
    {
        JetWriter w(path);
        w.createTable(QStringLiteral("wide"), cols);
        for (int r = 0; r < kRows; ++r) {
            Row row(cols.size());
            row[std::size_t(r % 100)] = Value::text(QStringLiteral("値%1").arg(r));
            if (r % 7 == 0)
                row[std::size_t((r + 1) % 100)] = Value::text(QString());
            row[100] = Value::integer(r / 10);
            row[101] = Value::integer(r % 10);
            w.insert(QStringLiteral("wide"), row);
        }
        w.close();
    }
    {
        // Over 512 pages the global usage map refers to bitmap pages; they mark every page past the
        // end of the file as free and none inside it.
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const int pages = int(bytes.size() / 4096);
        ASSERT_GT(pages, 512);
        auto u8 = [&](qsizetype at) { return quint32(quint8(bytes[at])); };
        auto u32 = [&](qsizetype at) {
            return u8(at) | u8(at + 1) << 8 | u8(at + 2) << 16 | u8(at + 3) << 24;
        };
        const qsizetype global = 4096 + (u8(4096 + 14) | (u8(4096 + 15) & 0x1f) << 8);
        ASSERT_EQ(u8(global), 1u);
        const quint32 bitmap = u32(global + 1);
        ASSERT_GT(bitmap, 0u);
        ASSERT_LT(bitmap, quint32(pages));
        EXPECT_EQ(u8(qsizetype(bitmap) * 4096), 0x05u);
        int wrong = 0;
        for (int p = 0; p < (4096 - 4) * 8; ++p)
            wrong += bool(u8(qsizetype(bitmap) * 4096 + 4 + p / 8) & (1u << (p % 8))) != (p >= pages);
        EXPECT_EQ(wrong, 0);
    }
    auto check = [&](int r, const QString& cell, int col) {
        if (col == r % 100)
            return cell == QStringLiteral("値%1").arg(r);
        if (r % 7 == 0 && col == (r + 1) % 100)
            return cell == QStringLiteral("<empty>");
        return cell == QStringLiteral("<null>");
    };

    JetReader own(path);
    ASSERT_EQ(own.columns(QStringLiteral("wide")).size(), 102u);
    EXPECT_EQ(own.rowCount(QStringLiteral("wide")), kRows);
    int r = 0, bad = 0;
    own.forEachRow(QStringLiteral("wide"), [&](const Row& row) {
        for (int c = 0; c < 100; ++c) {
            const QString cell = row[std::size_t(c)].isNull()             ? QStringLiteral("<null>")
                                 : row[std::size_t(c)].asText().isEmpty() ? QStringLiteral("<empty>")
                                                                          : row[std::size_t(c)].asText();
            bad += !check(r, cell, c);
        }
        bad += row[100].asInt64() != r / 10 || row[101].asInt64() != r % 10;
        ++r;
    });
    EXPECT_EQ(r, kRows);
    EXPECT_EQ(bad, 0);

    const auto rows = kt::mdbExportRows(path, QStringLiteral("wide"));
    ASSERT_EQ(rows.size(), std::size_t(kRows + 1));
    EXPECT_EQ(rows[0].size(), 102);
    bad = 0;
    for (int i = 0; i < kRows; ++i) {
        const QStringList& f = rows[std::size_t(i + 1)];
        for (int c = 0; c < 100; ++c) {
            // mdb-export shows empty text as Null (see above).
            const QString cell = f[c] == kt::kNullMark ? QStringLiteral("<null>") : f[c];
            bad += !(check(i, cell, c) ||
                     (cell == QStringLiteral("<null>") && check(i, QStringLiteral("<empty>"), c)));
        }
        bad += f[100] != QString::number(i / 10) || f[101] != QString::number(i % 10);
    }
    EXPECT_EQ(bad, 0);

    if (kt::nodeModules().isEmpty())
        GTEST_SKIP() << "mdb-reader not installed (KEMNOA_TEST_NODE_MODULES)";
    const QJsonObject dump = kt::mdbReaderDump(path);
    ASSERT_FALSE(dump.contains(QStringLiteral("error")))
        << dump.value(QStringLiteral("error")).toString().toStdString();
    const QJsonObject wide = dump[QStringLiteral("data")][QStringLiteral("wide")].toObject();
    EXPECT_EQ(wide[QStringLiteral("columns")].toArray().size(), 102);
    EXPECT_EQ(wide[QStringLiteral("rowCount")].toInt(), kRows);
    const QJsonArray jrows = wide[QStringLiteral("rows")].toArray();
    ASSERT_EQ(jrows.size(), kRows);
    bad = 0;
    for (int i = 0; i < kRows; ++i) {
        const QJsonArray f = jrows[i].toArray();
        for (int c = 0; c < 100; ++c) {
            const QString cell = f[c].isNull()               ? QStringLiteral("<null>")
                                 : f[c].toString().isEmpty() ? QStringLiteral("<empty>")
                                                             : f[c].toString();
            bad += !check(i, cell, c);
        }
        bad += f[100].toInt() != i / 10 || f[101].toInt() != i % 10;
    }
    EXPECT_EQ(bad, 0);
}

TEST_F(JetWriterTest, RefusesWhatJetRefuses) {
    struct Case {
        const char* what;
        std::function<void(JetWriter&)> act;
        long number;
    };
    const std::vector<Case> cases = {
        {"text too long",
         [](JetWriter& w) {
             w.insert(QStringLiteral("t"), Row{Value::text(QString(11, u'x')), Value()});
         },
         3163},
        {"text in a long",
         [](JetWriter& w) {
             w.insert(QStringLiteral("t"), Row{Value(), Value::text(QStringLiteral("abc"))});
         },
         3464},
        {"long out of range",
         [](JetWriter& w) {
             w.insert(QStringLiteral("t"), Row{Value(), Value::integer(1LL << 40)});
         },
         3349},
        {"wrong value count", [](JetWriter& w) { w.insert(QStringLiteral("t"), Row{Value()}); }, 3346},
        {"unknown table", [](JetWriter& w) { w.insert(QStringLiteral("nope"), Row{}); }, 3078},
        {"unknown column",
         [](JetWriter& w) {
             w.insert(QStringLiteral("t"), {{QStringLiteral("Q"), Value()}});
         },
         3265},
        {"duplicate table", [](JetWriter& w) { w.createTable(QStringLiteral("T"), {{QStringLiteral("a")}}); },
         3010},
        {"duplicate column",
         [](JetWriter& w) {
             w.createTable(QStringLiteral("u"), {{QStringLiteral("a")}, {QStringLiteral("A")}});
         },
         3191},
        {"bad name", [](JetWriter& w) { w.createTable(QStringLiteral("a.b"), {{QStringLiteral("a")}}); },
         3001},
        {"system name", [](JetWriter& w) { w.createTable(QStringLiteral("MSysX"), {{QStringLiteral("a")}}); },
         3001},
    };
    for (const Case& c : cases) {
        JetWriter w(file(QStringLiteral("refuse.mdb")));
        w.createTable(QStringLiteral("t"),
                      {{QStringLiteral("S"), ColumnType::Text, 10}, {QStringLiteral("N"), ColumnType::Long}});
        try {
            c.act(w);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), c.number) << c.what << ": " << e.what();
        }
    }
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("refuse.mdb")))) << "nothing is written without close()";

    writeSample(file(QStringLiteral("exists.mdb")));
    try {
        JetWriter w(file(QStringLiteral("exists.mdb")));
        ADD_FAILURE() << "an existing file was accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 3204);
    }
}

} // namespace

namespace {

// A definition over several pages: 200 columns with long names.
TEST_F(JetWriterTest, DefinitionSpanningSeveralPages) {
    const QString path = file(QStringLiteral("many.mdb"));
    std::vector<ColumnDef> cols;
    for (int i = 0; i < 200; ++i)
        cols.push_back({QStringLiteral("A_RATHER_LONG_COLUMN_NAME_%1").arg(i, 3, 10, QLatin1Char('0')),
                        i % 3 == 0 ? ColumnType::Long : ColumnType::Text, 10});
    {
        JetWriter w(path);
        w.createTable(QStringLiteral("many"), cols);
        Row row(cols.size());
        for (std::size_t i = 0; i < cols.size(); ++i)
            row[i] = i % 3 == 0 ? Value::integer(qint64(i)) : Value::text(QString::number(i));
        w.insert(QStringLiteral("many"), row);
        w.close();
    }
    JetReader own(path);
    const auto columns = own.columns(QStringLiteral("many"));
    ASSERT_EQ(columns.size(), 200u);
    EXPECT_EQ(columns[199].name, cols[199].name);
    const RowSet rows = own.readTable(QStringLiteral("many"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows.value(0, QStringLiteral("A_RATHER_LONG_COLUMN_NAME_198")), Value::integer(198));
    EXPECT_EQ(rows.value(0, QStringLiteral("A_RATHER_LONG_COLUMN_NAME_199")),
              Value::text(QStringLiteral("199")));

    const auto exported = kt::mdbExportRows(path, QStringLiteral("many"));
    ASSERT_EQ(exported.size(), 2u);
    EXPECT_EQ(exported[0].size(), 200);
    EXPECT_EQ(exported[0][199], cols[199].name);
    EXPECT_EQ(exported[1][199], QStringLiteral("199"));

    if (kt::nodeModules().isEmpty())
        GTEST_SKIP() << "mdb-reader not installed (KEMNOA_TEST_NODE_MODULES)";
    const QJsonObject dump = kt::mdbReaderDump(path);
    ASSERT_FALSE(dump.contains(QStringLiteral("error")))
        << dump.value(QStringLiteral("error")).toString().toStdString();
    const QJsonObject many = dump[QStringLiteral("data")][QStringLiteral("many")].toObject();
    EXPECT_EQ(many[QStringLiteral("columns")].toArray().size(), 200);
    EXPECT_EQ(many[QStringLiteral("rows")].toArray()[0].toArray()[198].toInt(), 198);
}

} // namespace
