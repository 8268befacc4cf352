// Order import figures: a folder of order files totalling 2,000 orders and 20,000 line rows (hang tags,
// care labels, additional terms and accessories) imported into a SQLite work database, beside the time
// to only read the same files through the Jet layer (the floor).
// Usage: import_bench [WORK_DIR] [FILES] (FILES of 100 orders each, 20 unless given)
// Prints: the read-only floor, the import with the master check of every order, and the import
// without it, each with line rows per second, and the share of the floor the import reaches. With a
// PostgreSQL cluster named by KEMNOA_TEST_PG_HOST, KEMNOA_TEST_PG_PORT and KEMNOA_TEST_PG_USER (as
// scripts/test sets them, or scripts/pg-cluster prints them) the import with the master check also
// runs into a new database there.

#include "core/prompter.h"
#include "demo/demo_data.h"
#include "demo/generated_orders.h"
#include "maintenance/err_data_make_procedure.h"
#include "maintenance/server_procedures.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"
#include "platform/db/schema.h"
#include "platform/jet/jet_parser.h"
#include "platform/jet/jet_reader.h"
#include "receiving/db_work_database.h"
#include "receiving/jet_order_file.h"
#include "receiving/order_import.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace kemnoa;

namespace {

int kFiles = 20;
constexpr int kOrdersPerFile = 100;

db::ConnectionSettings sqlite(const QString& path, db::DatabaseKind kind) {
    db::ConnectionSettings s;
    s.provider = QStringLiteral("SQLite");
    s.database = path;
    s.kind = kind;
    s.createIfMissing = true;
    return s;
}

void copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name);
}

// A new database on the PostgreSQL cluster named by KEMNOA_TEST_PG_HOST, _PORT and _USER (as the
// test script sets them), or nothing without one.
std::optional<db::ConnectionSettings> postgres() {
    const QString host = qEnvironmentVariable("KEMNOA_TEST_PG_HOST");
    const QString port = qEnvironmentVariable("KEMNOA_TEST_PG_PORT");
    if (host.isEmpty() || port.isEmpty())
        return std::nullopt;
    db::ConnectionSettings s;
    s.provider = QStringLiteral("PostgreSQL");
    s.server = host + QLatin1Char(':') + port;
    s.user = qEnvironmentVariable("KEMNOA_TEST_PG_USER", QStringLiteral("postgres"));
    s.password = qEnvironmentVariable("KEMNOA_TEST_PG_PASSWORD");
    // Process numbers come round again: a random part keeps an earlier run's database out of this one.
    s.database = QStringLiteral("kemnoa_import_bench_%1_%2")
                     .arg(QCoreApplication::applicationPid())
                     .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    s.kind = db::DatabaseKind::Work;
    return s;
}

// Imports the folder into a fresh work database (SQLite, or the given one); returns the seconds taken
// and the rows written.
double runImport(const QString& base, const QString& source, const QString& tag, bool check, qint64* lineRows,
                 const std::optional<db::ConnectionSettings>& server = std::nullopt) {
    // A run over a WORK_DIR of an earlier one starts afresh: orders already present would be refused
    // quickly and make the figure meaningless.
    const QString folder = base + QStringLiteral("/recv-") + tag;
    QDir(folder).removeRecursively();
    for (const QString& db : {QStringLiteral("/work-"), QStringLiteral("/po-")})
        QFile::remove(base + db + tag + QStringLiteral(".db"));
    copyFolder(source, folder);
    db::Connection work, po;
    if (server) {
        db::ensureDatabase(*server);
        work.open(*server);
        db::createSchema(work, db::DatabaseKind::Work);
    } else {
        work.open(
            sqlite(base + QStringLiteral("/work-") + tag + QStringLiteral(".db"), db::DatabaseKind::Work));
    }
    po.open(sqlite(base + QStringLiteral("/po-") + tag + QStringLiteral(".db"), db::DatabaseKind::Po));
    demo::seed(work, db::DatabaseKind::Work);
    demo::seed(po, db::DatabaseKind::Po);
    if (!server &&
        qEnvironmentVariableIsSet("KEMNOA_BENCH_WAL")) { // journal in WAL mode, synced at checkpoints
        work.execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        work.execute(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }
    maintenance::setPoConnectionResolver(
        [&po](const QString&, const QString&) -> db::Connection& { return po; });

    core::SilentPrompter prompter;
    receiving::DbWorkDatabase db(work);
    receiving::ImportServices services;
    services.openFile = [files = std::make_shared<receiving::JetOrderFiles>()](const QString& path) {
        return files->open(path);
    };
    if (check)
        services.errDataMake = [&](qint32 n) { (void)maintenance::MP_ErrDataMake(prompter, work, n); };
    receiving::OrderImport importer(prompter, db, services);
    const maintenance::MasterCheckRun checks(work);

    QElapsedTimer t;
    t.start();
    const bool done = importer.cmdImp_Click(folder + QLatin1Char('/'));
    const double seconds = t.nsecsElapsed() / 1e9;
    *lineRows = 0;
    for (const char* table : {"rcv_posdata", "rcv_cardata", "rcv_addfukidata", "rcv_fuzokudata"})
        *lineRows +=
            work.read(QStringLiteral("Select Count(*) From ") + QLatin1String(table)).value(0).toLongLong();
    const qint64 orders =
        work.read(QStringLiteral("Select Count(*) From rcv_denheaddata")).value(0).toLongLong();
    if (!done || orders != kFiles * kOrdersPerFile)
        std::fprintf(stderr, "import incomplete: %lld orders\n", static_cast<long long>(orders));
    maintenance::setPoConnectionResolver(nullptr);
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    if (argc > 2 && std::atoi(argv[2]) > 0)
        kFiles = std::atoi(argv[2]);
    const QString source = base + QStringLiteral("/files");
    QDir(source).removeRecursively();
    QDir().mkpath(source);

    try {
        // Half the files carry 2 lines per order in each line table, half 3: 20,000 line rows in all.
        qint64 expectedRows = 0;
        for (int f = 0; f < kFiles; ++f) {
            demo::Options o;
            o.orders = kOrdersPerFile;
            o.linesPerOrder = f % 2 == 0 ? 2 : 3;
            o.seed = quint32(f + 1);
            o.firstOrderNumber = 300000 + f * kOrdersPerFile;
            demo::makeOrderFile(source + QStringLiteral("/ORD%1.mdb").arg(f, 3, 10, QLatin1Char('0')), o);
            expectedRows += qint64(kOrdersPerFile) * o.linesPerOrder * 4;
        }

        // The floor: every table of every file read through the Jet layer as the import opens them
        // (one parsing child for the run, the next file parsed while this one is read).
        const QStringList names = QDir(source).entryList(QDir::Files, QDir::Name);
        QElapsedTimer t;
        t.start();
        qint64 readRows = 0;
        {
            jet::JetParser parser;
            for (qsizetype i = 0; i < names.size(); ++i) {
                const jet::JetReader reader = parser.read(source + QLatin1Char('/') + names[i]);
                if (i + 1 < names.size())
                    parser.prefetch(source + QLatin1Char('/') + names[i + 1]);
                for (const QString& table : reader.tables())
                    readRows += static_cast<qint64>(reader.readTable(table).size());
            }
        }
        const double floor = t.nsecsElapsed() / 1e9;
        // The same with a new child for every file.
        t.start();
        for (const QString& name : names) {
            jet::JetReader reader(source + QLatin1Char('/') + name);
            for (const QString& table : reader.tables())
                reader.readTable(table);
        }
        const double childPerFile = t.nsecsElapsed() / 1e9;
        // The same parsed in this process, without the child and its hand-over.
        jet::JetReader::Options direct;
        direct.isolate = false;
        t.start();
        for (const QString& name : QDir(source).entryList(QDir::Files, QDir::Name)) {
            jet::JetReader reader(source + QLatin1Char('/') + name, direct);
            for (const QString& table : reader.tables())
                reader.readTable(table);
        }
        const double inProcess = t.nsecsElapsed() / 1e9;

        qint64 rowsChecked = 0, rowsPlain = 0;
        const double withCheck = runImport(base, source, QStringLiteral("check"), true, &rowsChecked);
        const double plain = runImport(base, source, QStringLiteral("plain"), false, &rowsPlain);
        qint64 rowsPg = 0, rowsPgPlain = 0;
        auto pg = postgres();
        const double onPg = pg ? runImport(base, source, QStringLiteral("pg"), true, &rowsPg, pg) : 0;
        if (pg)
            pg->database += QStringLiteral("_plain");
        const double onPgPlain =
            pg ? runImport(base, source, QStringLiteral("pg-plain"), false, &rowsPgPlain, pg) : 0;

        std::printf("order files: %d, orders: %d, line rows: %lld (all rows read: %lld)\n", kFiles,
                    kFiles * kOrdersPerFile, static_cast<long long>(expectedRows),
                    static_cast<long long>(readRows));
        std::printf(
            "read through the Jet layer only: %.2f s, %.0f line rows/s (a child per file: %.2f s, parsed in "
            "this process: %.2f s)\n",
            floor, expectedRows / floor, childPerFile, inProcess);
        std::printf("import with master check:        %.2f s, %.0f line rows/s (%lld rows written)\n",
                    withCheck, rowsChecked / withCheck, static_cast<long long>(rowsChecked));
        std::printf("import without master check:     %.2f s, %.0f line rows/s (%lld rows written)\n", plain,
                    rowsPlain / plain, static_cast<long long>(rowsPlain));
        std::printf("import with master check / floor: %.0f%% (/ a child per file: %.0f%%)\n",
                    100.0 * (rowsChecked / withCheck) / (expectedRows / floor),
                    100.0 * (rowsChecked / withCheck) / (expectedRows / childPerFile));
        if (pg) {
            std::printf("PostgreSQL, with master check:   %.2f s, %.0f line rows/s (%lld rows written)\n",
                        onPg, rowsPg / onPg, static_cast<long long>(rowsPg));
            std::printf("PostgreSQL, without master check: %.2f s, %.0f line rows/s (%lld rows written)\n",
                        onPgPlain, rowsPgPlain / onPgPlain, static_cast<long long>(rowsPgPlain));
        } else {
            std::printf("PostgreSQL: no cluster configured (KEMNOA_TEST_PG_HOST, KEMNOA_TEST_PG_PORT)\n");
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
