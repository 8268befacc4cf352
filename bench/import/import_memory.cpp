// Peak memory of importing one large order file, beside the file's size and the process before the
// import (the floor). Each import runs in a fresh process (this program started again with
// --measure) so that its peak is its own; the parse runs in that process's child (the isolated
// reader), whose peak is reported apart.
// Usage: import_memory [WORK_DIR] [ORDERS] [LINES]
// Cases: a valid file of ORDERS orders with LINES lines in each line table (default 2,000 x 10),
// and a file of 200,000 empty header rows of one order number (the rows limit; the shape of a file
// that once took gigabytes): one order is imported, the others are refused as present.

#include "core/prompter.h"
#include "demo/demo_data.h"
#include "demo/generated_orders.h"
#include "platform/base/error.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"
#include "platform/jet/jet_reader.h"
#include "platform/jet/jet_writer.h"
#include "receiving/db_work_database.h"
#include "receiving/jet_order_file.h"
#include "receiving/order_import.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace kemnoa;

namespace {

// Peak resident memory of this process, in KiB (VmHWM).
long peakKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

struct Figures {
    long before = 0, peak = 0, child = 0;
    double seconds = 0;
    long orders = 0;
};

// Imports the file into a fresh SQLite work database in this process; prints its figures.
int measure(const QString& base, const QString& file, const QString& tag) {
    Figures f;
    try {
        if (tag == QStringLiteral("whole")) { // the peer: every table in memory, parsed here
            jet::JetReader::Options direct;
            direct.isolate = false;
            f.before = peakKiB();
            const jet::JetReader reader(file, direct);
            std::vector<jet::RowSet> tables;
            for (const QString& t : reader.tables())
                tables.push_back(reader.readTable(t));
            f.peak = peakKiB();
            std::printf("%ld %ld 0 0 %zu\n", f.before, f.peak, tables.size());
            return 0;
        }
        const QString folder = base + QStringLiteral("/recv-") + tag + QLatin1Char('/');
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        QFile::copy(file, folder + QFileInfo(file).fileName());
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.database = base + QStringLiteral("/work-") + tag + QStringLiteral(".db");
        QFile::remove(s.database);
        s.kind = db::DatabaseKind::Work;
        s.createIfMissing = true;
        db::Connection work;
        work.open(s);
        demo::seed(work, db::DatabaseKind::Work);
        core::SilentPrompter prompter;
        receiving::DbWorkDatabase db(work);
        receiving::ImportServices services;
        services.openFile = [files = std::make_shared<receiving::JetOrderFiles>()](const QString& p) {
            return files->open(p);
        };
        services.log = [](const QString& line) {
            if (line.startsWith(QStringLiteral("♯")))
                std::fprintf(stderr, "%s\n", qPrintable(line));
        };
        receiving::OrderImport importer(prompter, db, services);
        f.before = peakKiB();
        QElapsedTimer t;
        t.start();
        importer.cmdImp_Click(folder);
        f.seconds = t.nsecsElapsed() / 1e9;
        f.peak = peakKiB();
        rusage children{};
        getrusage(RUSAGE_CHILDREN, &children);
        f.child = children.ru_maxrss;
        f.orders = work.read(QStringLiteral("Select Count(*) From rcv_denheaddata")).value(0).toLongLong();
    } catch (const kemnoa::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    std::printf("%ld %ld %ld %f %ld\n", f.before, f.peak, f.child, f.seconds, f.orders);
    return 0;
}

Figures importInFreshProcess(const QString& base, const QString& file, const QString& tag) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure"), base, file, tag});
    p.waitForFinished(-1);
    const QList<QByteArray> v = p.readAllStandardOutput().trimmed().split(' ');
    Figures f;
    if (v.size() == 5) {
        f.before = v[0].toLong();
        f.peak = v[1].toLong();
        f.child = v[2].toLong();
        f.seconds = v[3].toDouble();
        f.orders = v[4].toLong();
    } else {
        std::fprintf(stderr, "no figures from the import process\n");
    }
    return f;
}

void print(const char* what, const QString& base, const QString& file, const Figures& f) {
    std::printf("%s: file %.1f MiB, %ld orders imported in %.1f s\n", what,
                QFileInfo(file).size() / 1048576.0, f.orders, f.seconds);
    std::printf("  peak of the importing process: %.1f MiB (%.1f MiB before the import)\n", f.peak / 1024.0,
                f.before / 1024.0);
    std::printf("  peak of the parsing child:     %.1f MiB\n", f.child / 1024.0);
    const Figures whole = importInFreshProcess(base, file, QStringLiteral("whole"));
    std::printf("  peer, every table parsed and held in one process: %.1f MiB (%.1f MiB before)\n",
                whole.peak / 1024.0, whole.before / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "--measure")
        return measure(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                       QString::fromLocal8Bit(argv[4]));
    QTemporaryDir tmp;
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    const int orders = argc > 2 ? QByteArray(argv[2]).toInt() : 2000;
    const int lines = argc > 3 ? QByteArray(argv[3]).toInt() : 10;
    QDir().mkpath(base);
    try {
        const QString valid = base + QStringLiteral("/ORDLARGE.mdb");
        QFile::remove(valid);
        demo::Options o;
        o.orders = orders;
        o.linesPerOrder = lines;
        demo::makeOrderFile(valid, o);
        print("valid orders", base, valid, importInFreshProcess(base, valid, QStringLiteral("valid")));

        // 200,000 empty header rows of one order number: one order imported, the rest refused as
        // present. The index of order numbers is the import's largest structure here.
        const QString empty = base + QStringLiteral("/ORDEMPTY.mdb");
        QFile::remove(empty);
        {
            jet::JetWriter w(empty);
            for (const QString& t : demo::orderFileTables()) // the other tables empty
                w.createTable(t, demo::orderFileColumns(t));
            const auto columns = demo::orderFileColumns(QStringLiteral("denheaddata"));
            jet::Row row;
            for (const jet::ColumnDef& c : columns)
                row.push_back(c.type == jet::ColumnType::Long ? jet::Value::integer(0)
                                                              : jet::Value::text(QString()));
            row[0] = jet::Value::integer(900001);
            for (int i = 0; i < jet::ReadLimits().rowsPerTable; ++i)
                w.insert(QStringLiteral("denheaddata"), row);
            w.close();
        }
        print("header rows at the rows limit", base, empty,
              importInFreshProcess(base, empty, QStringLiteral("empty")));
    } catch (const kemnoa::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
