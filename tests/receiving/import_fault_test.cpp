// Imports that are cut off: killed with SIGKILL at random moments, and a PostgreSQL server that stops
// in the middle. Whatever the moment, every order is whole or absent, no file is gone whose orders
// are not all committed, and a later import completes the set exactly once.

#include "demo/demo_data.h"
#include "demo/generated_orders.h"
#include "maintenance/err_data_make_procedure.h"
#include "maintenance/server_procedures.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"
#include "platform/db/schema.h"
#include "receiving/db_work_database.h"
#include "receiving/jet_order_file.h"
#include "receiving/order_import.h"
#include "support/scripted_prompter.h"
#include "support/test_env.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace kemnoa::test {
namespace {

const char* const kLineTables[] = {"rcv_posdata", "rcv_cardata", "rcv_addfukidata", "rcv_fuzokudata"};

struct SourceFile {
    QString name;
    std::vector<qint32> orders;
};

// Order files of `orders` orders with `lines` rows in each line table.
std::vector<SourceFile> makeFiles(const QString& folder, int files, int orders, int lines) {
    std::vector<SourceFile> out;
    for (int f = 0; f < files; ++f) {
        demo::Options o;
        o.orders = orders;
        o.linesPerOrder = lines;
        o.seed = quint32(f + 7);
        o.firstOrderNumber = 500000 + f * 1000;
        const QString name = QStringLiteral("ORD%1.mdb").arg(f + 1, 3, 10, QLatin1Char('0'));
        out.push_back({name, demo::makeOrderFile(folder + name, o).orderNumbers});
    }
    return out;
}

qint64 scalar(db::Connection& c, const QString& sql, const QVariantList& params = {}) {
    return c.read(sql, params).value(0).toLongLong();
}

// Every order present is whole, no line is without its order, and every file gone from the folder
// had all its orders committed. Returns the number of orders present.
qint64 checkNothingLost(db::Connection& c, const QString& folder, const std::vector<SourceFile>& files,
                        int lines) {
    for (const char* table : kLineTables) {
        const QString t = QString::fromLatin1(table);
        EXPECT_EQ(scalar(c, QStringLiteral("Select Count(*) From ") + t +
                                QStringLiteral(" Where ORD_NO Not In (Select ORD_NO From rcv_denheaddata)")),
                  0)
            << table << ": lines without their order";
        EXPECT_EQ(scalar(c,
                         QStringLiteral("Select Count(*) From (Select ORD_NO From ") + t +
                             QStringLiteral(" Group By ORD_NO Having Count(*) <> ?) x"),
                         {lines}),
                  0)
            << table << ": an order with some of its lines";
    }
    const QStringList left = QDir(folder).entryList(QDir::Files);
    for (const SourceFile& f : files) {
        EXPECT_FALSE(left.contains(QString(f.name).replace(QStringLiteral(".mdb"), QStringLiteral(".err"))))
            << f.name.toStdString() << " was set aside";
        if (left.contains(f.name))
            continue;
        for (qint32 n : f.orders)
            EXPECT_EQ(scalar(c, QStringLiteral("Select Count(*) From rcv_denheaddata Where ORD_NO = ?"), {n}),
                      1)
                << f.name.toStdString() << " is gone without its order " << n;
    }
    return scalar(c, QStringLiteral("Select Count(*) From rcv_denheaddata"));
}

void expectCompleteSet(db::Connection& c, const std::vector<SourceFile>& files, int lines) {
    qint64 orders = 0;
    for (const SourceFile& f : files)
        orders += qint64(f.orders.size());
    EXPECT_EQ(scalar(c, QStringLiteral("Select Count(*) From rcv_denheaddata")), orders);
    for (const char* table : kLineTables)
        EXPECT_EQ(scalar(c, QStringLiteral("Select Count(*) From ") + QString::fromLatin1(table)),
                  orders * lines)
            << table;
}

db::ConnectionSettings sqliteSettings(const QString& path, db::DatabaseKind kind) {
    db::ConnectionSettings s;
    s.provider = QStringLiteral("SQLite");
    s.database = path;
    s.kind = kind;
    s.createIfMissing = true;
    return s;
}

TEST(ImportKill, KilledAtRandomMomentsLosesNothingAndALastRunCompletesTheSet) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recv")) + QLatin1Char('/');
    QDir().mkpath(folder);
    constexpr int kLines = 2;
    const std::vector<SourceFile> files = makeFiles(folder, 5, 30, kLines);
    const QString workPath = dir.filePath(QStringLiteral("work.db"));
    const QString poPath = dir.filePath(QStringLiteral("po.db"));
    {
        db::Connection work, po;
        work.open(sqliteSettings(workPath, db::DatabaseKind::Work));
        po.open(sqliteSettings(poPath, db::DatabaseKind::Po));
        demo::seed(work, db::DatabaseKind::Work);
        demo::seed(po, db::DatabaseKind::Po);
    }

    const quint32 seed = QRandomGenerator::global()->generate();
    SCOPED_TRACE("random seed " + std::to_string(seed));
    QRandomGenerator random(seed);
    auto run = [&](int killAfterOrders, int extraMs) {
        QProcess p;
        p.start(QStringLiteral(KEMNOA_IMPORT_RUNNER), {folder, workPath, poPath});
        EXPECT_TRUE(p.waitForStarted());
        int committed = 0;
        while (killAfterOrders >= 0 && committed < killAfterOrders && p.state() == QProcess::Running)
            if (p.waitForReadyRead(30000))
                committed += int(p.readAllStandardOutput().count('.'));
        if (killAfterOrders >= 0 && p.state() == QProcess::Running) {
            QThread::msleep(static_cast<unsigned long>(extraMs)); // anywhere inside the next order
            ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        }
        p.waitForFinished(120000);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };

    qint64 previous = 0;
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        run(int(random.bounded(1, 30)), int(random.bounded(0, 15)));
        db::Connection c;
        c.open(sqliteSettings(workPath, db::DatabaseKind::Work));
        const qint64 present = checkNothingLost(c, folder, files, kLines);
        EXPECT_GE(present, previous);
        previous = present;
    }
    // The rounds may already have imported everything; the last run then finds no file and says so.
    const bool filesLeft = !QDir(folder).entryList(QDir::Files).isEmpty();
    EXPECT_EQ(run(-1, 0), filesLeft ? 0 : 1);
    db::Connection c;
    c.open(sqliteSettings(workPath, db::DatabaseKind::Work));
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
    expectCompleteSet(c, files, kLines);
}

// A PostgreSQL cluster of the test's own (scripts/pg-cluster), which it stops and starts again.
class OwnCluster {
public:
    OwnCluster() {
        dir_ = QDir::tempPath() + QStringLiteral("/kemnoa-pgstop-%1").arg(QCoreApplication::applicationPid());
        QDir(dir_).removeRecursively();
        QDir().mkpath(dir_);
        ::chmod(QFile::encodeName(dir_).constData(), 0755); // the server runs as the postgres user
        QProcess p;
        p.start(script(), {QStringLiteral("start"), dir_});
        p.waitForFinished(120000);
        for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
            if (line.startsWith("KEMNOA_TEST_PG_PORT="))
                port_ = line.mid(20).toInt();
    }
    ~OwnCluster() {
        control(QStringLiteral("stop"));
        QDir(dir_).removeRecursively();
    }
    bool running() const { return port_ > 0; }
    bool control(const QString& command) {
        QProcess p;
        p.start(script(), {command, dir_});
        return p.waitForFinished(120000) && p.exitCode() == 0;
    }
    db::ConnectionSettings settings() const {
        db::ConnectionSettings s;
        s.provider = QStringLiteral("PostgreSQL");
        s.server = QStringLiteral("127.0.0.1:%1").arg(port_);
        s.user = QStringLiteral("postgres");
        s.database = QStringLiteral("kemnoa_work");
        s.timeoutSeconds = 10;
        s.kind = db::DatabaseKind::Work;
        return s;
    }

private:
    static QString script() { return sourceDir() + QStringLiteral("/scripts/pg-cluster"); }
    QString dir_;
    int port_ = 0;
};

// Stops the server once the given number of orders were committed.
class StoppingPrompter : public ScriptedPrompter {
public:
    StoppingPrompter(OwnCluster& cluster, int stopAfter) : cluster_(cluster), stopAfter_(stopAfter) {}
    void processEvents() override {
        if (++committed_ == stopAfter_)
            stopped_ = cluster_.control(QStringLiteral("stop"));
    }
    bool stopped() const { return stopped_; }

private:
    OwnCluster& cluster_;
    int stopAfter_;
    int committed_ = 0;
    bool stopped_ = false;
};

TEST(ImportPostgresStop, TheImportStopsKeepsTheFileAndASecondImportCompletesEveryOrderOnce) {
    if (!QFile::exists(QStringLiteral("/usr/lib/postgresql/15/bin/initdb")))
        GTEST_SKIP() << "PostgreSQL 15 is not installed";
    OwnCluster cluster;
    if (!cluster.running())
        GTEST_SKIP() << "could not start a PostgreSQL cluster of the test's own";
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recv")) + QLatin1Char('/');
    QDir().mkpath(folder);
    constexpr int kLines = 2, kOrders = 20;
    const std::vector<SourceFile> files = makeFiles(folder, 3, kOrders, kLines);

    const db::ConnectionSettings settings = cluster.settings();
    db::ensureDatabase(settings);
    db::Connection po;
    po.open(sqliteSettings(dir.filePath(QStringLiteral("po.db")), db::DatabaseKind::Po));
    demo::seed(po, db::DatabaseKind::Po);
    maintenance::setPoConnectionResolver(
        [&po](const QString&, const QString&) -> db::Connection& { return po; });
    auto import = [&](db::Connection& work, ScriptedPrompter& prompter) {
        receiving::DbWorkDatabase db(work);
        receiving::ImportServices services;
        services.openFile = [files = std::make_shared<receiving::JetOrderFiles>()](const QString& path) {
            return files->open(path);
        };
        services.errDataMake = [&](qint32 n) { (void)maintenance::MP_ErrDataMake(prompter, work, n); };
        return receiving::OrderImport(prompter, db, services).cmdImp_Click(folder);
    };

    {
        db::Connection work;
        work.open(settings);
        db::createSchema(work, db::DatabaseKind::Work);
        demo::seed(work, db::DatabaseKind::Work);
        // The server stops in the middle of the second file.
        StoppingPrompter prompter(cluster, kOrders + kOrders / 2);
        prompter.answer(true);
        EXPECT_FALSE(import(work, prompter));
        ASSERT_TRUE(prompter.stopped());
        const QStringList boxes = prompter.messages();
        ASSERT_FALSE(boxes.isEmpty());
        EXPECT_TRUE(boxes.last().contains(QStringLiteral("データベースとの接続が切れました。")) &&
                    boxes.last().contains(folder + files[1].name))
            << boxes.last().toStdString();
        for (const PromptEvent& e : prompter.events)
            EXPECT_NE(e.kind, PromptEvent::Kind::Question) << "a lost server is no fault of the file";
        EXPECT_EQ(QDir(folder).entryList(QDir::Files),
                  (QStringList{files[1].name, files[2].name})); // the first file was done
    }

    ASSERT_TRUE(cluster.control(QStringLiteral("resume")));
    db::Connection work;
    work.open(settings);
    EXPECT_GE(checkNothingLost(work, folder, files, kLines), qint64(kOrders));
    ScriptedPrompter prompter;
    prompter.answer(true);
    EXPECT_TRUE(import(work, prompter));
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
    expectCompleteSet(work, files, kLines);
    maintenance::setPoConnectionResolver(nullptr);
}

} // namespace
} // namespace kemnoa::test
