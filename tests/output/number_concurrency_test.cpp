// Numbers under concurrency: eight programs asking for numbers at once never get the same number, and
// two numbering runs over the same orders at once number every order once, its group whole.

#include "demo/demo_data.h"
#include "platform/db/db_fixture.h"
#include "platform/db/reader.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <map>
#include <memory>

using namespace kemnoa;

namespace {

class NumberConcurrencyTest : public test::DialectTest {};

TEST_P(NumberConcurrencyTest, EightProgramsAtOnceNeverShareANumber) {
    openFresh(db::DatabaseKind::Po);
    const int programs = 8, each = 300;
    const db::ConnectionSettings& s = settings_;
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int i = 0; i < programs; ++i) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(NUMBER_WORKER),
                 {s.provider, s.server,
                  GetParam() == db::Dialect::SQLite ? QDir(s.baseFolder).filePath(s.database) : s.database,
                  s.user, QString::number(each)});
        workers.push_back(std::move(p));
    }
    QStringList numbers;
    for (auto& p : workers) {
        ASSERT_TRUE(p->waitForFinished(300000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        numbers << QString::fromUtf8(p->readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    ASSERT_EQ(numbers.size(), programs * each);
    const QSet<QString> distinct(numbers.begin(), numbers.end());
    EXPECT_EQ(distinct.size(), numbers.size());
    // Both series run without gaps from 1, and every number is recorded once.
    const int gk = int(numbers.filter(QRegularExpression(QStringLiteral("^G\\d{8}$"))).size());
    const int po = int(numbers.filter(QRegularExpression(QStringLiteral("^P\\d{8}$"))).size());
    EXPECT_EQ(gk + po, programs * each);
    for (const auto& [prefix, n] : {std::pair{'G', gk}, std::pair{'P', po}})
        for (int k = 1; k <= n; ++k)
            ASSERT_TRUE(
                distinct.contains(QLatin1Char(prefix) + QStringLiteral("%1").arg(k, 8, 10, QLatin1Char('0'))))
                << prefix << k;
    db::Reader r =
        connection_.read(QStringLiteral("Select Count(*), Count(Distinct PO_NO) From PO_NUMBER_LOG"));
    EXPECT_EQ(r.value(0).toInt(), programs * each);
    EXPECT_EQ(r.value(1).toInt(), programs * each);
}

INSTANTIATE_TEST_SUITE_P(Dialects, NumberConcurrencyTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);

// Two numbering runs of the job runner over the same orders at once, on the test PostgreSQL cluster.
TEST(NumberRunsAtOnce, EveryOrderIsNumberedOnceAndItsGroupStaysWhole) {
    const db::DatabaseKind kinds[] = {db::DatabaseKind::Work, db::DatabaseKind::Office, db::DatabaseKind::Po,
                                      db::DatabaseKind::Sk};
    std::map<db::DatabaseKind, db::ConnectionSettings> settings;
    for (db::DatabaseKind k : kinds) {
        auto s = test::freshPostgresDatabase(k);
        if (!s)
            GTEST_SKIP() << "no PostgreSQL test cluster (KEMNOA_TEST_PG_HOST)";
        settings[k] = *s;
        db::Connection c;
        c.open(*s);
        db::createSchema(c, k);
        demo::seed(c, k);
    }
    const int orders = 30;
    {
        db::Connection work;
        work.open(settings[db::DatabaseKind::Work]);
        for (int i = 0; i < orders; ++i) {
            // Groups of three: each three orders share a supplier; every fourth group settles in China.
            const int group = i / 3;
            work.execute(
                QStringLiteral(
                    "Insert Into rcv_denheaddata (ORD_NO, IRAI_NO, ORD_DATE, KIBO_DATE, SIR_CD, "
                    "NOU_CD, KESSAI, SHKA_PLACE, PO_NO, PO_KBN, ERR_SU, PRN_SU, SEND_FLG, BIKO2) "
                    "Values (?, ?, 20261201, '20261220', ?, ?, ?, '上海工場', '', '', 0, 0, '9', '')"),
                {9000 + i, QStringLiteral("R%1").arg(i), QStringLiteral("S%1").arg(group),
                 QString::fromLatin1(demo::DestinationCodes[0]),
                 group % 4 == 3 ? QStringLiteral("中国決済") : QStringLiteral("日本決済")});
            work.execute(
                QStringLiteral("Insert Into rcv_posdata (ORD_NO, GYOU, TAFCD, SU, EHJ) Values (?, 1, "
                               "'KT-1001', 10, '')"),
                {9000 + i});
        }
    }
    QTemporaryDir home;
    {
        const char* sections[] = {"SQLKEM_DB", "OFFICE_DB", "PO_DB", "SK_DB"};
        QFile f(home.filePath(QStringLiteral("kemnoa.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 4; ++i) {
            const db::ConnectionSettings& s = settings[kinds[i]];
            f.write(
                QStringLiteral("[%1]\r\nPROVIDER=PostgreSQL\r\nSERVER_NM=%2\r\nDB_NM=%3\r\nDBUSER_NM=%4\r\n"
                               "PASSWORD=\r\nCONECT_TIMEOUT=10\r\n")
                    .arg(QString::fromLatin1(sections[i]), s.server, s.database, s.user)
                    .toUtf8());
        }
    }
    QProcess runs[2];
    for (QProcess& p : runs) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KEMNOA_HOME"), home.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KEMNOA_CLI),
                {QStringLiteral("--yes"), QStringLiteral("number"), QStringLiteral("--all")});
    }
    int numbered = 0;
    QString transcript; // both runs' output, shown with any failure below
    for (QProcess& p : runs) {
        ASSERT_TRUE(p.waitForFinished(300000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        transcript += QStringLiteral("--- run %1, exit %2\nstdout:\n%3stderr:\n%4")
                          .arg(&p == &runs[0] ? 1 : 2)
                          .arg(p.exitCode())
                          .arg(out, err);
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << err.toStdString();
        const int listed = int(out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
        const auto skipped =
            QRegularExpression(QStringLiteral("発注(\\d+)件はそのままにしました")).match(err);
        const int mine = listed - (skipped.hasMatch() ? skipped.captured(1).toInt() : 0);
        ::testing::Test::RecordProperty(
            &p == &runs[0] ? "first_run" : "second_run",
            QStringLiteral("listed %1, numbered %2").arg(listed).arg(mine).toStdString());
        numbered += mine;
    }
    SCOPED_TRACE(transcript.toStdString());
    EXPECT_EQ(numbered, orders); // each order written by one run only

    db::Connection work;
    work.open(settings[db::DatabaseKind::Work]);
    std::map<int, QSet<QString>> groups;
    for (db::Reader r =
             work.read(QStringLiteral("Select ORD_NO, PO_NO, PO_KBN, KESSAI From rcv_denheaddata"));
         !r.atEnd(); r.moveNext()) {
        const QString number = r.text(1);
        const bool china = r.text(3) == QStringLiteral("中国決済");
        EXPECT_TRUE(number.startsWith(QLatin1Char(china ? 'G' : 'P'))) << r.text(0).toStdString();
        EXPECT_EQ(r.text(2), china ? QStringLiteral("1") : QStringLiteral("0"));
        groups[(r.value(0).toInt() - 9000) / 3].insert(number);
    }
    EXPECT_EQ(int(groups.size()), orders / 3);
    for (const auto& [g, numbers] : groups)
        EXPECT_EQ(numbers.size(), 1) << "group " << g << " split over "
                                     << numbers.values().join(QLatin1Char(',')).toStdString();
}

} // namespace
