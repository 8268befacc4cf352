#include "db_fixture.h"

#include "platform/base/error.h"
#include "platform/db/db_error.h"
#include "platform/db/pg_pipeline.h"
#include "platform/db/reader.h"
#include "support/closed_port.h"
#include "support/test_env.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace kemnoa;
using kemnoa::test::DialectTest;

namespace {

long errorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        EXPECT_FALSE(e.description().isEmpty());
        return e.number();
    }
    return 0;
}

} // namespace

TEST(Connection, UnknownProviderIsReportedWithTheProviderNumber) {
    db::Connection c;
    db::ConnectionSettings s;
    s.provider = QStringLiteral("Microsoft.Jet.OLEDB.4.0x");
    EXPECT_EQ(errorNumberOf([&] { c.open(s); }), db::dberr::ProviderNotFound);
    EXPECT_FALSE(c.isOpen());
}

TEST(Connection, SqliteFileIsTakenRelativeToTheBaseFolderAndGetsItsSchema) {
    QTemporaryDir dir;
    db::ConnectionSettings s;
    s.provider = QStringLiteral("sqlite");
    s.baseFolder = dir.path();
    s.database = QStringLiteral("data/work.db");
    s.createIfMissing = true;
    db::Connection c;
    // The folder does not exist: a clear error, no file anywhere else.
    EXPECT_EQ(errorNumberOf([&] { c.open(s); }), errnum::PathNotFound);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("data")));
    c.open(s);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("data/work.db"))));
    EXPECT_TRUE(c.hasTable(QStringLiteral("KEM_SETTING")));
    EXPECT_TRUE(c.hasTable(QStringLiteral("rcv_denheaddata")));

    // An independent reader sees the tables in the file.
    c.close();
    QProcess py;
    py.start(test::systemPython(),
             {QStringLiteral("-c"),
              QStringLiteral("import sqlite3,sys; c=sqlite3.connect(sys.argv[1]); "
                             "print(len(c.execute('pragma table_info(rcv_csvdata)').fetchall()))"),
              dir.filePath(QStringLiteral("data/work.db"))});
    ASSERT_TRUE(py.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()).trimmed().toInt(), 81);
}

TEST(Connection, SqliteFileWithTablesIsLeftAsItIs) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("other.db"));
    QProcess py;
    py.start(test::systemPython(), {QStringLiteral("-c"),
                                    QStringLiteral("import sqlite3,sys; c=sqlite3.connect(sys.argv[1]); "
                                                   "c.execute('create table mine (a integer)'); c.commit()"),
                                    path});
    ASSERT_TRUE(py.waitForFinished(30000));
    db::ConnectionSettings s;
    s.provider = QStringLiteral("SQLite");
    s.database = path;
    s.createIfMissing = true;
    db::Connection c;
    c.open(s);
    EXPECT_EQ(c.tables(), QStringList{QStringLiteral("mine")});
}

// Only the database set-up creates files: a job that opens a mistyped or missing file is told so,
// with the path, and no empty database appears in its place.
TEST(Connection, MissingSqliteFileIsNotCreated) {
    QTemporaryDir dir;
    db::ConnectionSettings s;
    s.provider = QStringLiteral("SQLite");
    s.baseFolder = dir.path();
    s.database = QStringLiteral("po_typo.db");
    s.kind = db::DatabaseKind::Po;
    db::Connection c;
    try {
        c.open(s);
        FAIL() << "opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::FileNotFound);
        EXPECT_EQ(e.description(), QStringLiteral("The database file does not exist: ") +
                                       dir.filePath(QStringLiteral("po_typo.db")));
    }
    EXPECT_FALSE(c.isOpen());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("po_typo.db"))));

    // The set-up creates it with its tables, once.
    EXPECT_TRUE(db::ensureDatabase(s));
    EXPECT_FALSE(db::ensureDatabase(s));
    c.open(s);
    EXPECT_TRUE(c.hasTable(QStringLiteral("TBL_PO_H")));
}

TEST(Connection, UnreachablePostgresFailsWithinTheTimeOut) {
    // A port that accepts connections but never answers: the connect time-out must end the wait.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), len), 0);
    ASSERT_EQ(::listen(fd, 4), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    db::ConnectionSettings s;
    s.provider = QStringLiteral("PostgreSQL");
    s.server = QStringLiteral("127.0.0.1:%1").arg(ntohs(addr.sin_port));
    s.database = QStringLiteral("x");
    s.user = QStringLiteral("x");
    s.timeoutSeconds = 2;
    db::Connection c;
    QElapsedTimer clock;
    clock.start();
    EXPECT_NE(errorNumberOf([&] { c.open(s); }), 0);
    // Without the time-out the wait would last until the test is killed; the bound is generous.
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_FALSE(c.isOpen());
    ::close(fd);
}

TEST(ConnectionSettings, ServerTextSplitsIntoHostAndPort) {
    struct Case {
        const char* server;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"db01", "db01", -1},
        {"db01:5432", "db01", 5432},
        {"db01,1433", "db01", 1433},
        {" db01 , 1433 ", "db01", 1433},
        {"SQL01\\OFFICE,1433", "SQL01\\OFFICE", 1433},
        {"127.0.0.1:65535", "127.0.0.1", 65535},
        {"db01:abc", "db01:abc", -1}, // not a port: all host
        {"db01,0", "db01,0", -1},     // out of range
        {"db01,65536", "db01,65536", -1},
        {"::1", "::1", -1},                // an IPv6 address is not cut at a colon
        {"fe80::1,1433", "fe80::1", 1433}, // but takes a port after a comma
        {"", "", -1},
    };
    for (const Case& c : cases) {
        const db::ServerAddress a = db::splitServer(QString::fromUtf8(c.server));
        EXPECT_EQ(a.host, QString::fromUtf8(c.host)) << c.server;
        EXPECT_EQ(a.port, c.port) << c.server;
    }
}

TEST(ConnectionSettings, OdbcConnectionStringBracesValuesThatHoldItsSyntax) {
    struct Case {
        const char* server;
        const char* database;
        const char* user;
        const char* password;
        const char* driver;
        const char* expected;
    };
    const Case cases[] = {
        {"db01:1433", "kem", "sa", "pw", "",
         "DRIVER=ODBC Driver 18 for SQL Server;SERVER=db01,1433;DATABASE=kem;UID=sa;PWD=pw;"},
        {"db01", "kem", "", "ignored", "FreeTDS",
         "DRIVER=FreeTDS;SERVER=db01;DATABASE=kem;Trusted_Connection=yes;"},
        {"db01", "kem", "sa", "a;b}c", "FreeTDS",
         "DRIVER=FreeTDS;SERVER=db01;DATABASE=kem;UID=sa;PWD={a;b}}c};"},
        {"db01", " kem ", "o'neil", "{x", "FreeTDS",
         "DRIVER=FreeTDS;SERVER=db01;DATABASE={ kem };UID=o'neil;PWD={{x};"},
        {"db01", "kem;UID=sa", "u", "a=b", "Drv}",
         "DRIVER={Drv}}};SERVER=db01;DATABASE={kem;UID=sa};UID=u;PWD=a=b;"},
    };
    for (const Case& c : cases) {
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLOLEDB");
        s.server = QString::fromUtf8(c.server);
        s.database = QString::fromUtf8(c.database);
        s.user = QString::fromUtf8(c.user);
        s.password = QString::fromUtf8(c.password);
        s.odbcDriver = QString::fromUtf8(c.driver);
        EXPECT_EQ(db::sqlServerConnectionString(s), QString::fromUtf8(c.expected)) << c.password;
    }
}

TEST(Connection, SqlServerProviderWithoutItsOdbcDriverFailsCleanly) {
    const test::ClosedPort closed;
    db::ConnectionSettings s;
    s.provider = QStringLiteral("MSOLEDBSQL19");
    s.server = QStringLiteral("127.0.0.1:%1").arg(closed.port());
    s.database = QStringLiteral("kem");
    s.user = QStringLiteral("sa");
    s.password = QStringLiteral("a;b}c");
    s.odbcDriver = QStringLiteral("No Such Driver");
    s.timeoutSeconds = 2;
    db::Connection c;
    try {
        c.open(s);
        FAIL() << "opened";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("No Such Driver")))
            << e.description().toStdString();
    }
    EXPECT_FALSE(c.isOpen());
}

TEST(Connection, SqliteWriterWaitsForALockOnlyUntilTheTimeOut) {
    QTemporaryDir dir;
    db::ConnectionSettings s;
    s.provider = QStringLiteral("SQLite");
    s.database = dir.filePath(QStringLiteral("w.db"));
    s.timeoutSeconds = 1;
    s.createIfMissing = true;
    db::Connection holder;
    holder.open(s);
    holder.execute(QStringLiteral("CREATE TABLE t (a INTEGER)"));
    db::Connection other;
    other.open(s);
    db::Transaction tx(holder);
    holder.execute(QStringLiteral("INSERT INTO t VALUES (1)"));
    // The other program's write waits for the lock, then fails with the database's "locked" error
    // instead of waiting for ever (generous bounds around the one-second time-out).
    QElapsedTimer clock;
    clock.start();
    EXPECT_NE(errorNumberOf([&] { other.execute(QStringLiteral("INSERT INTO t VALUES (2)")); }), 0);
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_LT(clock.elapsed(), 20000);
    tx.commit();
    other.execute(QStringLiteral("INSERT INTO t VALUES (3)"));
}

TEST(Connection, ClosedConnectionRefusesStatements) {
    db::Connection c;
    EXPECT_EQ(errorNumberOf([&] { c.execute(QStringLiteral("SELECT 1")); }), db::dberr::ObjectClosed);
    c.close(); // closing what is not open does nothing
}

TEST_P(DialectTest, RejectedStatementThrowsDescriptionAndNumber) {
    openFresh();
    try {
        connection_.execute(QStringLiteral("Insert Into no_such_table (a) Values (1)"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("no_such_table"), Qt::CaseInsensitive))
            << e.description().toStdString();
        EXPECT_NE(e.number(), 0);
    }
}

TEST_P(DialectTest, NullIsToldApartFromEmptyText) {
    openFresh();
    connection_.execute(QStringLiteral("Insert Into kem_setting (検索条件, 検索値) Values ('a', NULL)"));
    connection_.execute(QStringLiteral("Insert Into kem_setting (検索条件, 検索値) Values (?, ?)"),
                        {QStringLiteral("b"), QString(QLatin1String(""))});
    connection_.execute(QStringLiteral("Insert Into kem_setting (検索条件, 検索値) Values (?, ?)"),
                        {QStringLiteral("c"), QStringLiteral("O'HARA")});
    db::Reader r = connection_.read(QStringLiteral("Select * From kem_setting Order By 検索条件"));
    ASSERT_FALSE(r.atEnd());
    EXPECT_TRUE(r.isNull(QStringLiteral("検索値")));
    EXPECT_EQ(r.text(QStringLiteral("検索値")), QString());
    r.moveNext();
    EXPECT_FALSE(r.isNull(QStringLiteral("検索値")));
    EXPECT_EQ(r.text(QStringLiteral("検索値")), QString());
    r.moveNext();
    EXPECT_EQ(r.text(QStringLiteral("検索値")), QStringLiteral("O'HARA"));
    r.moveNext();
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(errorNumberOf([&] { r.value(0); }), db::dberr::NoCurrentRecord);
}

TEST_P(DialectTest, ColumnsAreFoundWithoutRegardToCaseAndKeepTheirSpelling) {
    openFresh();
    connection_.execute(
        QStringLiteral("Insert Into rcv_errdata (ORD_NO, GYOU, ERR_TITLE) Values (7, 1, 't')"));
    db::Reader r = connection_.read(QStringLiteral("Select * From rcv_errdata"));
    EXPECT_EQ(r.column(0).name, QStringLiteral("ORD_NO"));
    EXPECT_EQ(r.value(QStringLiteral("ord_no")).toInt(), 7);
    EXPECT_EQ(r.text(QStringLiteral("Err_Title")), QStringLiteral("t"));
    EXPECT_EQ(errorNumberOf([&] { r.value(QStringLiteral("NOPE")); }), db::dberr::ItemNotFound);
}

TEST_P(DialectTest, ColumnTypesUseTheAdoNumbering) {
    openFresh();
    db::Reader r = connection_.read(QStringLiteral("Select * From rcv_posdata Where ORD_NO=0"));
    EXPECT_TRUE(r.atEnd());
    ASSERT_EQ(r.columnCount(), 102);
    const auto& ordNo = r.column(r.columnIndex(QStringLiteral("ORD_NO")));
    EXPECT_EQ(ordNo.adoType, db::adotype::Integer);
    const auto& tafcd = r.column(r.columnIndex(QStringLiteral("TAFCD")));
    EXPECT_EQ(tafcd.adoType, db::adotype::VarChar);
    EXPECT_EQ(tafcd.definedSize, 255);
    db::Reader sk = connection_.read(QStringLiteral("Select SH_PRICE From rcv_skdata"));
    EXPECT_EQ(sk.column(0).adoType, db::adotype::Numeric);
}

TEST_P(DialectTest, TransactionGuardRollsBackUnlessCommitted) {
    openFresh();
    {
        db::Transaction tx(connection_);
        connection_.execute(QStringLiteral("Insert Into kemmst_namecode (name_nm) Values ('A')"));
    }
    {
        db::Transaction tx(connection_);
        connection_.execute(QStringLiteral("Insert Into kemmst_namecode (name_nm) Values ('B')"));
        tx.commit();
    }
    EXPECT_FALSE(connection_.inTransaction());
    db::Reader r = connection_.read(QStringLiteral("Select name_nm From kemmst_namecode"));
    ASSERT_FALSE(r.atEnd());
    EXPECT_EQ(r.text(0), QStringLiteral("B"));
    r.moveNext();
    EXPECT_TRUE(r.atEnd());
}

TEST_P(DialectTest, UpdateFromTakesTheDialectsStatement) {
    openFresh();
    connection_.execute(QStringLiteral("Insert Into tagcd_henkan (TAFCD, TAG_CD) Values ('C1', 'K1')"));
    connection_.execute(
        QStringLiteral("Insert Into rcv_posdata (ORD_NO, GYOU, TAFCD, SU) Values (1, 1, 'C1', 1)"));
    connection_.execute(
        QStringLiteral("Insert Into rcv_posdata (ORD_NO, GYOU, TAFCD, SU) Values (1, 2, 'C9', 1)"));
    connection_.execute(
        QStringLiteral("Insert Into rcv_posdata (ORD_NO, GYOU, TAFCD, SU) Values (2, 1, 'C1', 1)"));
    const QString tail = QStringLiteral("From tagcd_henkan Where rcv_posdata.TAFCD = tagcd_henkan.TAFCD And "
                                        "rcv_posdata.ORD_NO = 1 ");
    const QString sql = connection_.sql(
        {.standard = QStringLiteral("Update rcv_posdata Set TAFCD = tagcd_henkan.TAG_CD ") + tail,
         .sqlServer =
             QStringLiteral("Update rcv_posdata Set rcv_posdata.TAFCD = tagcd_henkan.TAG_CD ") + tail});
    EXPECT_EQ(connection_.execute(sql), 1);
    db::Reader r = connection_.read(QStringLiteral("Select TAFCD From rcv_posdata Order By ORD_NO, GYOU"));
    QStringList got;
    for (; !r.atEnd(); r.moveNext())
        got << r.text(0);
    EXPECT_EQ(got, (QStringList{QStringLiteral("K1"), QStringLiteral("C9"), QStringLiteral("C1")}));
}

TEST_P(DialectTest, OfficeStatementWithDboNamesRunsUnchanged) {
    openFresh(db::DatabaseKind::Office);
    connection_.execute(
        QStringLiteral("Insert Into dbo.FSHOWK (SHO011, SHO032, SHO033) Values ('8710001', 'a', 'b')"));
    connection_.execute(QStringLiteral("Insert Into FSKNPF (SKN011, SKN031_1, SKN031_9, SKN031_10) "
                                       "Values ('8710001', 'M1', 12.5, 10)"));
    connection_.execute(
        QStringLiteral("Insert Into FSHJWK1 (SHJ011, SHJ012, SHJ032) Values ('8710001', '0', 11)"));
    const QString sql = QStringLiteral(
        "Select FSHOWK.SHO011 As 商品CD,FSKNPF.SKN031_1 As ケム資材コード,FSHOWK.SHO032 As 品名1,"
        "FSHOWK.SHO033 As 品名2,FSHJWK1.SHJ032 As 提出単価 ,FSKNPF.SKN031_9 As ケム単価,"
        "FSKNPF.SKN031_10 As SH単価 From dbo.FSHOWK LEFT OUTER JOIN dbo.FSKNPF ON "
        "dbo.FSHOWK.SHO011 = dbo.FSKNPF.SKN011 LEFT OUTER JOIN dbo.FSHJWK1 ON "
        "dbo.FSHOWK.SHO011 = dbo.FSHJWK1.SHJ011 Where (dbo.FSHOWK.SHO011 Like '8710%') AND "
        "(dbo.FSHJWK1.SHJ012 = '0') AND (dbo.FSKNPF.SKN031_1 IS NOT NULL) AND "
        "(dbo.FSHJWK1.SHJ032 <> 0) Order By FSHOWK.SHO011 ");
    db::Reader r = connection_.read(sql);
    ASSERT_FALSE(r.atEnd());
    EXPECT_EQ(r.text(QStringLiteral("商品CD")), QStringLiteral("8710001"));
    EXPECT_EQ(r.text(QStringLiteral("ケム単価")), QStringLiteral("12.5"));
}

TEST_P(DialectTest, TableListIgnoresCase) {
    openFresh(db::DatabaseKind::Sk);
    EXPECT_TRUE(connection_.hasTable(QStringLiteral("TBL_Qua")));
    EXPECT_TRUE(connection_.tables().contains(QStringLiteral("TBL_QUA")));
    EXPECT_FALSE(connection_.hasTable(QStringLiteral("denheaddata")));
}

// Statements queued in a transaction (sent together on PostgreSQL) keep their values and are seen by
// the transaction's own reads before the commit.
TEST_P(DialectTest, QueuedStatementsKeepValuesAndCommitTogether) {
    openFresh();
    const QString insert =
        QStringLiteral("Insert Into rcv_errdata (ORD_NO, GYOU, ERR_TITLE, ERR_VALUE, ERR_MESSAGE) "
                       "Values (?, ?, ?, ?, '?')");
    {
        db::Transaction tx(connection_);
        connection_.queue(insert, {7, 1, QStringLiteral("O'HARA"), QVariant()});
        connection_.queue(insert, {7, 2, QString(), QStringLiteral("12.5")});
        connection_.queue(insert, {7, 3, QStringLiteral("全角"), 12.5});
        connection_.queue(QStringLiteral("Update rcv_errdata Set GYOU = GYOU + ? Where ORD_NO = ?"), {10, 7});
        EXPECT_TRUE(connection_.exists(QStringLiteral("Select 1 From rcv_errdata Where GYOU = ?"), {13}));
        EXPECT_FALSE(connection_.exists(QStringLiteral("Select 1 From rcv_errdata Where GYOU = ?"), {3}));
        tx.commit();
    }
    db::Reader r = connection_.read(
        QStringLiteral("Select GYOU, ERR_TITLE, ERR_VALUE, ERR_MESSAGE From rcv_errdata Order By GYOU"));
    const struct {
        int gyou;
        QString title;
        bool valueNull;
        QString value;
    } expected[] = {{11, QStringLiteral("O'HARA"), true, QString()},
                    {12, QString(), false, QStringLiteral("12.5")},
                    {13, QStringLiteral("全角"), false, QStringLiteral("12.5")}};
    for (const auto& e : expected) {
        ASSERT_FALSE(r.atEnd());
        EXPECT_EQ(r.value(0).toInt(), e.gyou);
        EXPECT_FALSE(r.isNull(QStringLiteral("ERR_TITLE"))) << e.gyou; // empty text is no Null
        EXPECT_EQ(r.text(1), e.title);
        EXPECT_EQ(r.isNull(QStringLiteral("ERR_VALUE")), e.valueNull) << e.gyou;
        EXPECT_EQ(r.text(2), e.value);
        EXPECT_EQ(r.text(3), QStringLiteral("?"));
        r.moveNext();
    }
    EXPECT_TRUE(r.atEnd());
}

// A queued statement that fails fails the commit: nothing of the transaction stays, and the
// connection goes on working.
TEST_P(DialectTest, FailedQueuedStatementLeavesNothingOfItsTransaction) {
    openFresh();
    const QString insert = QStringLiteral("Insert Into kemmst_namecode (name_nm) Values (?)");
    try {
        db::Transaction tx(connection_);
        connection_.queue(insert, {QStringLiteral("A")});
        connection_.queue(QStringLiteral("Insert Into no_such_table (a) Values (?)"), {1});
        connection_.queue(insert, {QStringLiteral("B")});
        tx.commit();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("no_such_table"), Qt::CaseInsensitive))
            << e.description().toStdString();
    }
    EXPECT_FALSE(connection_.inTransaction());
    EXPECT_FALSE(connection_.exists(QStringLiteral("Select 1 From kemmst_namecode")));
    {
        db::Transaction tx(connection_);
        connection_.queue(insert, {QStringLiteral("C")});
        tx.commit();
    }
    db::Reader r = connection_.read(QStringLiteral("Select name_nm From kemmst_namecode"));
    ASSERT_FALSE(r.atEnd());
    EXPECT_EQ(r.text(0), QStringLiteral("C"));
    r.moveNext();
    EXPECT_TRUE(r.atEnd());
}

// The statement time-out is in force for the next statement, whichever way it is sent.
TEST_P(DialectTest, StatementTimeoutReachesTheNextStatement) {
    openFresh();
    if (GetParam() != db::Dialect::PostgreSQL) {
        // SQLite has no statement time-out: setting one changes nothing for the statements after it.
        connection_.setStatementTimeout(1);
        connection_.queue(QStringLiteral("Insert Into kemmst_namecode (name_nm) Values (?)"),
                          {QStringLiteral("A")});
        connection_.flush();
        EXPECT_TRUE(connection_.exists(QStringLiteral("Select 1 From kemmst_namecode Where name_nm = ?"),
                                       {QStringLiteral("A")}));
        return;
    }
    const auto current = [&] { return connection_.read(QStringLiteral("SHOW statement_timeout")).text(0); };
    connection_.setStatementTimeout(7);
    EXPECT_EQ(current(), QStringLiteral("7s"));
    connection_.setStatementTimeout(0);
    connection_.queue(QStringLiteral("Insert Into kemmst_namecode (name_nm) Values (?)"),
                      {QStringLiteral("A")});
    connection_.flush();
    EXPECT_EQ(current(), QStringLiteral("0"));
    connection_.setStatementTimeout(1);
    try {
        connection_.queue(QStringLiteral("Select pg_sleep(?)"), {3});
        connection_.flush();
        FAIL() << "no time-out";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("timeout"))) << e.description().toStdString();
    }
}

// A statement queued outside a transaction is sent at the latest when the connection closes.
TEST_P(DialectTest, QueuedStatementOutsideTransactionIsSentBeforeClosing) {
    openFresh();
    connection_.queue(QStringLiteral("Insert Into kemmst_namecode (name_nm) Values (?)"),
                      {QStringLiteral("A")});
    connection_.close();
    connection_.open(settings_);
    EXPECT_TRUE(connection_.exists(QStringLiteral("Select 1 From kemmst_namecode Where name_nm = ?"),
                                   {QStringLiteral("A")}));
}

// Reads sent together give every value as a read of its own gives it: the same type, the same value,
// Null the same Null. Dates are left to the driver and come back the same too.
TEST_P(DialectTest, ReadsSentTogetherGiveTheValuesOfSingleReads) {
    openFresh();
    const QString ordered =
        QStringLiteral("Select ORD_NO, GYOU, SU, EHJ, FUKI1 From rcv_posdata Where ORD_NO = ? Order By GYOU");
    const QString insert =
        QStringLiteral("Insert Into rcv_posdata (ORD_NO, GYOU, SU, EHJ, FUKI1) Values (?, ?, ?, ?, ?)");
    const struct {
        QString sql;
        QVariantList params;
    } reads[] = {
        {ordered, {7}},
        {QStringLiteral("Select Cast(? As smallint), Cast(? As integer), Cast(? As bigint), "
                        "Cast(? As bigint)"),
         {-3, 2147483647, qint64(9007199254740993), qint64(-5)}},
        {QStringLiteral("Select Cast(? As double precision), Cast(? As numeric(12,2)), "
                        "Cast(? As numeric(20,0)), Cast(? As real)"),
         {0.1, QStringLiteral("12.50"), QStringLiteral("12345678901234567890"), 2.5}},
        {QStringLiteral("Select Cast(? As varchar(20)), Cast(? As text), Cast(? As char(4)), ?"),
         {QStringLiteral("O'HARA 全角"), QString(QLatin1String("")), QStringLiteral("ab"),
          QStringLiteral("x")}},
        {QStringLiteral("Select Cast(Null As integer), Cast(Null As varchar(5)), Cast(Null As numeric), "
                        "Cast(Null As bigint), Cast(Null As double precision)"),
         {}},
        {QStringLiteral("Select Cast('2026-12-10' As date), Cast(? As integer)"), {1}},
        {QStringLiteral("Select 1 Where 1 = 0"), {}},
    };
    {
        db::Transaction tx(connection_);
        // Queued statements go first and are seen by the reads after them.
        connection_.queue(insert, {7, 2, 0, QVariant(), QStringLiteral("F2")});
        connection_.queue(insert, {7, 1, 5, QStringLiteral("E1"), QString(QLatin1String(""))});
        std::vector<db::PipelinedStatement> statements;
        for (const auto& r : reads)
            statements.push_back({r.sql, r.params});
        const std::vector<db::Connection::Rows> together = connection_.readAll(statements);
        ASSERT_EQ(together.size(), std::size(reads));
        for (std::size_t i = 0; i < std::size(reads); ++i) {
            db::Connection::Rows single;
            for (db::Reader r = connection_.read(reads[i].sql, reads[i].params); !r.atEnd(); r.moveNext()) {
                single.emplace_back();
                for (int c = 0; c < r.columnCount(); ++c)
                    single.back().append(r.value(c));
            }
            ASSERT_EQ(together[i].size(), single.size()) << reads[i].sql.toStdString();
            for (std::size_t row = 0; row < single.size(); ++row) {
                ASSERT_EQ(together[i][row].size(), single[row].size());
                for (qsizetype c = 0; c < single[row].size(); ++c) {
                    const QVariant& got = together[i][row][c];
                    const QVariant& want = single[row][c];
                    const std::string where = reads[i].sql.toStdString() + " column " + std::to_string(c);
                    EXPECT_EQ(got.typeId(), want.typeId()) << where;
                    EXPECT_EQ(got.isNull(), want.isNull()) << where;
                    EXPECT_EQ(got, want) << where << ": " << got.toString().toStdString() << " / "
                                         << want.toString().toStdString();
                }
            }
        }
        ASSERT_EQ(together[0].size(), 2u);
        EXPECT_EQ(together[0][0][3].toString(), QStringLiteral("E1"));
        EXPECT_TRUE(together[0][1][3].isNull());
        EXPECT_FALSE(together[0][0][4].isNull()); // empty text is no Null
        tx.commit();
    }
}

// A read that fails among reads sent together is reported with the server's description, and the
// connection goes on working.
TEST_P(DialectTest, AFailingReadAmongReadsSentTogetherIsReported) {
    openFresh();
    try {
        (void)connection_.readAll({{QStringLiteral("Select 1"), {}},
                                   {QStringLiteral("Select a From no_such_table Where a = ?"), {1}},
                                   {QStringLiteral("Select 2"), {}}});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("no_such_table"), Qt::CaseInsensitive))
            << e.description().toStdString();
        EXPECT_NE(e.number(), 0);
    }
    const auto rows = connection_.readAll({{QStringLiteral("Select ?"), {QStringLiteral("ok")}}});
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_EQ(rows[0].size(), 1u);
    EXPECT_EQ(rows[0][0].value(0).toString(), QStringLiteral("ok"));
}

// A presence query asked ahead is answered with the next wait for the server and its answer kept for
// the exists() of the same query; another exists() drops it, and one not yet sent is asked at once.
TEST_P(DialectTest, APresenceQueryAskedAheadIsAnsweredWithTheNextWait) {
    openFresh();
    const QString query = QStringLiteral("Select 1 From kemmst_namecode Where name_nm = ?");
    const QString insert = QStringLiteral("Insert Into kemmst_namecode (name_nm) Values (?)");
    const bool ahead = GetParam() == db::Dialect::PostgreSQL;
    db::Connection other;
    other.open(settings_);

    // Asked, not yet sent: the exists() asks it with the row in place.
    connection_.existsAhead(query, {QStringLiteral("A")});
    connection_.queue(insert, {QStringLiteral("A")});
    EXPECT_TRUE(connection_.exists(query, {QStringLiteral("A")}));

    // Sent with a read; a row added afterwards (elsewhere) is not in the kept answer.
    connection_.existsAhead(query, {QStringLiteral("B")});
    (void)connection_.readAll({{QStringLiteral("Select name_nm From kemmst_namecode"), {}}});
    other.execute(insert, {QStringLiteral("B")});
    EXPECT_EQ(connection_.exists(query, {QStringLiteral("B")}), !ahead);
    EXPECT_TRUE(connection_.exists(query, {QStringLiteral("B")})); // taken once only

    // An answer not taken by the next exists() is dropped.
    connection_.existsAhead(query, {QStringLiteral("C")});
    connection_.flush();
    other.execute(insert, {QStringLiteral("C")});
    EXPECT_TRUE(connection_.exists(query, {QStringLiteral("A")}));
    EXPECT_TRUE(connection_.exists(query, {QStringLiteral("C")}));
}

TEST(PipelineTest, PlaceholdersAreNumberedOutsideQuotes) {
    const struct {
        const char* sql;
        const char* numbered;
    } cases[] = {
        {"Select 1", "Select 1"},
        {"a = ? And b = ?", "a = $1 And b = $2"},
        {"a = '?' And b = ?", "a = '?' And b = $1"},
        {"a = 'it''s ?' And \"c?\" = ?", "a = 'it''s ?' And \"c?\" = $1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db::numberedPlaceholders(QString::fromUtf8(c.sql)), QString::fromUtf8(c.numbered)) << c.sql;
}

INSTANTIATE_TEST_SUITE_P(Dialects, DialectTest,
                         ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL), test::dialectLabel);
