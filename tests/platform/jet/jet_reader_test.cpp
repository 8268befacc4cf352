// The reader on files it did not write itself: generated order files, damaged copies, files that
// are not databases; and the child-process check that keeps a bad file from taking the program down.

#include "demo/generated_orders.h"
#include "platform/jet/isolated_run.h"
#include "platform/jet/jet_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

using namespace kemnoa::jet;
using kemnoa::Error;
namespace of = kemnoa::demo;

namespace {

class JetReaderTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString orderFile;
    of::OrderFileData data;

    void SetUp() override {
        orderFile = dir.filePath(QStringLiteral("ORD0001.mdb"));
        of::Options o;
        o.orders = 4;
        o.linesPerOrder = 3;
        data = of::makeOrderFile(orderFile, o);
    }
    QString writeBytes(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    QByteArray original() {
        QFile f(orderFile);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};

// Opens and reads every table; returns the error number, or 0 when everything was read.
long readAll(const QString& path) {
    try {
        JetReader r(path);
        for (const QString& t : r.tables())
            r.forEachRow(t, [](const Row&) {});
        return 0;
    } catch (const Error& e) {
        EXPECT_FALSE(e.description().isEmpty());
        return e.number();
    }
}

TEST_F(JetReaderTest, SelectFiltersAndOrdersLikeTheImportStatements) {
    JetReader r(orderFile);
    EXPECT_EQ(r.tables(), of::orderFileTables());
    EXPECT_TRUE(r.hasTable(QStringLiteral("DENHEADDATA")));
    EXPECT_FALSE(r.hasTable(QStringLiteral("MSysObjects")));

    const qint32 n = data.orderNumbers[2];
    // "Select * From posdata Where ORD_NO = n Order By ORD_NO, GYOU"
    const RowSet lines = r.select({QStringLiteral("posdata"),
                                   {{QStringLiteral("ORD_NO"), Value::integer(n)}},
                                   {QStringLiteral("ORD_NO"), QStringLiteral("GYOU")}});
    ASSERT_EQ(lines.size(), 3u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines.value(i, QStringLiteral("GYOU")), Value::integer(qint64(i) + 1));
        EXPECT_EQ(lines.value(i, QStringLiteral("ORD_NO")), Value::integer(n));
    }
    const of::FileTable* pos = data.table(QStringLiteral("posdata"));
    EXPECT_EQ(lines.rows()[0], pos->rows[2 * 3]);

    // The same through a whole table in memory, and a text filter compared by its number.
    const RowSet all = r.readTable(QStringLiteral("posdata"));
    EXPECT_EQ(all.where(QStringLiteral("ord_no"), Value::text(QString::number(n))).size(), 3u);
    const RowSet byLine = all.orderBy({QStringLiteral("GYOU"), QStringLiteral("ORD_NO")});
    EXPECT_EQ(byLine.value(0, QStringLiteral("ORD_NO")), Value::integer(data.orderNumbers[0]));
    EXPECT_EQ(byLine.value(4, QStringLiteral("GYOU")), Value::integer(2));
    // Repeated lookups (served by the number index) agree with the order after sorting too.
    for (qint32 order : data.orderNumbers) {
        for (const RowSet* set : {&all, &byLine}) {
            const RowSet lines = set->where(QStringLiteral("ORD_NO"), Value::real(order));
            ASSERT_EQ(lines.size(), 3u);
            for (std::size_t i = 0; i < 3; ++i)
                EXPECT_EQ(lines.value(i, QStringLiteral("ORD_NO")), Value::integer(order));
        }
        EXPECT_EQ(
            byLine.where(QStringLiteral("ORD_NO"), Value::integer(order)).value(2, QStringLiteral("GYOU")),
            Value::integer(3));
    }
    EXPECT_TRUE(all.where(QStringLiteral("ORD_NO"), Value::integer(-5)).empty());
    EXPECT_TRUE(all.where(QStringLiteral("ORD_NO"), Value()).empty());
    // A text column is searched row by row: a number matches text holding that number.
    EXPECT_EQ(all.where(QStringLiteral("TAPR12"), Value::integer(0)).size(), all.size());

    // Null and empty text stay apart.
    const RowSet head = r.select({QStringLiteral("denheaddata"), {}, {QStringLiteral("ORD_NO")}});
    EXPECT_EQ(head.value(0, QStringLiteral("BIKO3")), Value::text(QString()));
    EXPECT_TRUE(head.value(0, QStringLiteral("BIKO4")).isNull());
    EXPECT_EQ(r.rowCount(QStringLiteral("cardata")), 12);
}

TEST_F(JetReaderTest, UnknownNamesAreErrorsWithJetNumbers) {
    JetReader r(orderFile);
    struct Case {
        const char* what;
        std::function<void()> act;
        long number;
    };
    const std::vector<Case> cases = {
        {"table", [&] { r.readTable(QStringLiteral("nosuch")); }, errnum::TableNotFound},
        {"filter column",
         [&] {
             r.select({QStringLiteral("posdata"), {{QStringLiteral("NOPE"), Value::integer(1)}}, {}});
         },
         errnum::ItemNotFound},
        {"order column",
         [&] {
             r.select({QStringLiteral("posdata"), {}, {QStringLiteral("NOPE")}});
         },
         errnum::ItemNotFound},
        {"row set column", [&] { r.readTable(QStringLiteral("cardata")).value(0, QStringLiteral("NOPE")); },
         errnum::ItemNotFound},
        {"missing file", [&] { JetReader(dir.filePath(QStringLiteral("absent.mdb"))); },
         errnum::FileNotFound},
    };
    for (const Case& c : cases) {
        try {
            c.act();
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), c.number) << c.what << ": " << e.what();
        }
    }
}

TEST_F(JetReaderTest, DamagedFilesFailWithAnError) {
    const QByteArray good = original();
    ASSERT_GT(good.size(), 8 * 4096);
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    QByteArray noCatalog = good;
    noCatalog[2 * 4096] = 0x01; // the catalog's definition page is no longer one
    QByteArray badMap = good;
    for (int i = 55; i < 63; ++i)
        badMap[2 * 4096 + i] = char(0xff);
    const std::vector<Case> mustFail = {
        {"zero length", QByteArray()},
        {"text file", QByteArray("ORD_NO,GYOU\r\n1,1\r\n").repeated(300)},
        {"only the first page", good.left(4096)},
        {"half of the first page", good.left(2048)},
        {"truncated before the catalog", good.left(2 * 4096 + 100)},
        {"catalog page type", noCatalog},
        {"catalog usage map pointer", badMap},
        {"zeros", QByteArray(64 * 1024, '\0')},
    };
    for (const Case& c : mustFail)
        EXPECT_EQ(readAll(writeBytes(QStringLiteral("bad.mdb"), c.bytes)), errnum::UnrecognizedFormat)
            << c.what;

    // Damage anywhere else may or may not be detectable; it must never take the program down.
    for (qsizetype at = 4096; at < good.size(); at += 1531) {
        QByteArray b = good;
        b[at] = char(b[at] ^ 0x5a);
        b[at + 1] = char(0xff);
        const long n = readAll(writeBytes(QStringLiteral("flip.mdb"), b));
        EXPECT_TRUE(n == 0 || n == errnum::UnrecognizedFormat) << "damage at " << at << ": " << n;
    }
    for (qsizetype size = 3 * 4096; size < good.size(); size += 4096 + 123) {
        const long n = readAll(writeBytes(QStringLiteral("short.mdb"), good.left(size)));
        EXPECT_TRUE(n == 0 || n == errnum::UnrecognizedFormat) << "truncated to " << size << ": " << n;
    }
}

TEST(JetIsolation, CrashesHangsAndFailuresOfTheChildAreReported) {
    const IsolationLimits limits{1500, qint64(512) << 20};
    EXPECT_EQ(runIsolated([] { return true; }, limits), IsolatedOutcome::Succeeded);
    EXPECT_EQ(runIsolated([] { return false; }, limits), IsolatedOutcome::Failed);
    EXPECT_EQ(runIsolated([]() -> bool { throw std::runtime_error("x"); }, limits), IsolatedOutcome::Failed);
    EXPECT_EQ(runIsolated([]() -> bool { std::abort(); }, limits), IsolatedOutcome::Crashed);
    const IsolatedOutcome segv = runIsolated(
        []() -> bool {
            std::raise(SIGSEGV);
            return true;
        },
        limits);
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_NE(segv, IsolatedOutcome::Succeeded); // the sanitizer reports the signal and exits instead
#else
    EXPECT_EQ(segv, IsolatedOutcome::Crashed);
#endif
    EXPECT_EQ(runIsolated(
                  []() -> bool {
                      for (;;)
                          std::this_thread::sleep_for(std::chrono::milliseconds(50));
                  },
                  limits),
              IsolatedOutcome::TimedOut);
}

// Inputs that once crashed libmdb (found by fuzzing) are refused cleanly, with and without the check.
TEST(JetFuzzRegression, StoredInputsAreRefused) {
    const QDir dir(QStringLiteral(KEMNOA_JET_TEST_DIR "/fuzz/regressions"));
    const QStringList files = dir.entryList({QStringLiteral("*.mdb")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& f : files) {
        EXPECT_EQ(readAll(dir.filePath(f)), errnum::UnrecognizedFormat) << f.toStdString();
        QFile file(dir.filePath(f));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        JetReader::Options unchecked;
        unchecked.isolate = false;
        try {
            JetReader r = JetReader::fromBytes(file.readAll(), unchecked);
            for (const QString& t : r.tables())
                r.forEachRow(t, [](const Row&) {});
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errnum::UnrecognizedFormat);
        }
    }
}

} // namespace

namespace {

std::vector<QStringList> everything(const JetReader& r) {
    std::vector<QStringList> out;
    for (const QString& t : r.tables()) {
        QStringList head{t};
        for (const Column& c : r.columns(t))
            head << c.name + QLatin1Char(':') + columnTypeName(c.type) + QLatin1Char(':') +
                        QString::number(c.size);
        out.push_back(head);
        r.forEachRow(t, [&](const Row& row) {
            QStringList cells;
            for (const Value& v : row)
                cells << (v.isNull() ? QStringLiteral("<null>")
                                     : QString::number(int(v.kind())) + v.toText());
            out.push_back(cells);
        });
    }
    return out;
}

// What the child decodes and hands over is what libmdb gives in this process, value for value.
TEST_F(JetReaderTest, RowsDecodedInTheChildMatchTheParser) {
    JetReader::Options direct;
    direct.isolate = false;
    const JetReader inProcess(orderFile, direct);
    const JetReader isolated(orderFile);
    EXPECT_EQ(everything(isolated), everything(inProcess));
    EXPECT_EQ(isolated.jetVersion(), 4);
    EXPECT_GT(isolated.decodedBytes(), 0);
    // Rows picked by their place, in the order asked, from either side.
    const std::vector<qint64> places{5, 0, 11, 5};
    const std::vector<Row> a = isolated.readRows(QStringLiteral("posdata"), places);
    const std::vector<Row> b = inProcess.readRows(QStringLiteral("posdata"), places);
    const of::FileTable* pos = data.table(QStringLiteral("posdata"));
    ASSERT_EQ(a.size(), places.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        EXPECT_EQ(a[i], pos->rows[std::size_t(places[i])]);
        EXPECT_EQ(b[i], a[i]);
    }
    EXPECT_THROW(isolated.readRows(QStringLiteral("posdata"), {12}), Error);
    // Nothing of the client's file is needed once it was decoded.
    ASSERT_TRUE(QFile::remove(orderFile));
    EXPECT_EQ(isolated.rowCount(QStringLiteral("cardata")), 12);
}

// Each limit admits a file exactly at it and refuses one unit less, naming the limit.
TEST_F(JetReaderTest, LimitsAdmitAFileAtThemAndRefuseOnePast) {
    const JetReader r(orderFile);
    qint64 rows = 0, cells = 0;
    for (const QString& t : r.tables()) {
        rows = std::max(rows, r.rowCount(t));
        cells = std::max(cells, r.rowCount(t) * qint64(r.columns(t).size()));
    }
    const qint64 fileBytes = QFileInfo(orderFile).size();
    struct Case {
        const char* what;
        std::function<void(ReadLimits&, qint64)> set;
        qint64 at;
        QString named; // in the refusal
    };
    const std::vector<Case> cases = {
        {"file size", [](ReadLimits& l, qint64 v) { l.fileBytes = v; }, fileBytes, QStringLiteral("大きさ")},
        {"rows", [](ReadLimits& l, qint64 v) { l.rowsPerTable = v; }, rows, QStringLiteral("行数が上限")},
        {"cells", [](ReadLimits& l, qint64 v) { l.cellsPerTable = v; }, cells, QStringLiteral("値の数")},
        {"decoded bytes", [](ReadLimits& l, qint64 v) { l.decodedBytes = v; }, r.decodedBytes(),
         QStringLiteral("値の合計")},
    };
    for (const Case& c : cases) {
        JetReader::Options at;
        c.set(at.limits, c.at);
        EXPECT_NO_THROW(everything(JetReader(orderFile, at))) << c.what;
        JetReader::Options past = at;
        c.set(past.limits, c.at - 1);
        try {
            everything(JetReader(orderFile, past));
            ADD_FAILURE() << c.what << ": read past the limit";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errnum::LimitExceeded) << c.what;
            EXPECT_TRUE(e.description().contains(c.named)) << c.what << ": " << e.what();
        }
    }
}

// Any failure of the child is a refusal: the file is never parsed again in this process.
TEST_F(JetReaderTest, AChildThatFailsRefusesTheFile) {
#if !defined(__SANITIZE_ADDRESS__)
    JetReader::Options starved;
    starved.memoryBytes = qint64(1) << 20; // the child cannot allocate anything
    try {
        JetReader r(orderFile, starved);
        ADD_FAILURE() << "read without the child";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::UnrecognizedFormat) << e.what();
    }
#endif
    // A damaged file fails with the child's own message.
    QByteArray bad = original();
    bad[2 * 4096] = 0x01;
    try {
        JetReader r(writeBytes(QStringLiteral("bad.mdb"), bad));
        ADD_FAILURE() << "read a damaged file";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::UnrecognizedFormat);
        EXPECT_TRUE(e.description().contains(QStringLiteral("bad.mdb"))) << e.what();
    }
}

} // namespace
