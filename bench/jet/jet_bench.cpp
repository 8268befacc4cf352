// Jet reader and writer figures on a large hang-tag table.
// Usage: jet_bench [ROWS] [WORK_DIR]   (default 100000 rows of posdata, 102 columns each)
// Prints: the time to write the rows, to read them through JetReader (in-process, and with the
// child-process check that import uses), to select one order's lines, and for mdb-export to export
// the same table.

#include "demo/generated_orders.h"
#include "platform/jet/jet_reader.h"
#include "platform/jet/jet_writer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace kemnoa;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir tmp;
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
    const QString file = dir + QStringLiteral("/bench_posdata.mdb");
    QFile::remove(file);
    constexpr int kLines = 4;

    try {
        // Rows are generated in chunks outside the timed part.
        qint64 writeNs = 0;
        QElapsedTimer t;
        jet::JetWriter w(file);
        w.createTable(QStringLiteral("posdata"), demo::orderFileColumns(QStringLiteral("posdata")));
        int written = 0;
        for (int chunk = 0; written < rows; ++chunk) {
            demo::Options o;
            o.orders = std::min(1000, (rows - written + kLines - 1) / kLines);
            o.linesPerOrder = kLines;
            o.seed = quint32(chunk + 1);
            o.firstOrderNumber = 100000 + chunk * 1000;
            o.submittedSymbols = o.submittedTerms = 0;
            const auto data = demo::generateOrderData(o);
            const auto* pos = data.table(QStringLiteral("posdata"));
            t.start();
            for (const jet::Row& r : pos->rows) {
                if (written == rows)
                    break;
                w.insert(QStringLiteral("posdata"), r);
                ++written;
            }
            writeNs += t.nsecsElapsed();
        }
        t.start();
        w.close();
        writeNs += t.nsecsElapsed();
        const double mb = QFileInfo(file).size() / 1048576.0;
        std::printf("rows: %d, file: %.1f MiB\n", written, mb);
        std::printf("write (insert + close):        %8.3f s  (%.0f rows/s)\n", writeNs / 1e9,
                    written / (writeNs / 1e9));

        jet::JetReader::Options direct;
        direct.isolate = false;
        t.start();
        jet::JetReader reader(file, direct);
        qint64 n = 0, cells = 0;
        reader.forEachRow(QStringLiteral("posdata"), [&](const jet::Row& r) {
            ++n;
            for (const auto& v : r)
                cells += !v.isNull();
        });
        const double readS = t.nsecsElapsed() / 1e9;
        std::printf("read all rows (in-process):    %8.3f s  (%lld rows, %lld non-null cells)\n", readS,
                    static_cast<long long>(n), static_cast<long long>(cells));

        // Parsed in the child, which hands every row over; the table is over the default cells
        // limit, so the limits are lifted here.
        jet::JetReader::Options isolated;
        isolated.limits.cellsPerTable = isolated.limits.rowsPerTable = qint64(1) << 40;
        isolated.limits.decodedBytes = isolated.limits.fileBytes = qint64(1) << 40;
        t.start();
        jet::JetReader checked(file, isolated);
        const double checkS = t.nsecsElapsed() / 1e9;
        t.start();
        qint64 handed = 0;
        checked.forEachRow(QStringLiteral("posdata"), [&](const jet::Row&) { ++handed; });
        std::printf("open parsed in the child:      %8.3f s; its rows read back %.3f s (%lld rows)\n", checkS,
                    t.nsecsElapsed() / 1e9, static_cast<long long>(handed));

        t.start();
        const auto one = reader.select({QStringLiteral("posdata"),
                                        {{QStringLiteral("ORD_NO"), jet::Value::integer(100500)}},
                                        {QStringLiteral("ORD_NO"), QStringLiteral("GYOU")}});
        std::printf("select one order (scan+sort):  %8.3f s  (%zu rows)\n", t.nsecsElapsed() / 1e9,
                    one.size());

        t.start();
        const auto table = reader.readTable(QStringLiteral("posdata"));
        const double loadS = t.nsecsElapsed() / 1e9;
        t.start();
        const auto inMemory = table.where(QStringLiteral("ORD_NO"), jet::Value::integer(100500))
                                  .orderBy({QStringLiteral("ORD_NO"), QStringLiteral("GYOU")});
        const double firstS = t.nsecsElapsed() / 1e9;
        t.start();
        std::size_t found = 0;
        for (int order = 0; order < 1000; ++order)
            found += table.where(QStringLiteral("ORD_NO"), jet::Value::integer(100000 + order))
                         .orderBy({QStringLiteral("ORD_NO"), QStringLiteral("GYOU")})
                         .size();
        std::printf("read table into memory:        %8.3f s; first order %.4f s (%zu rows, builds the index),"
                    " next 1000 orders %.4f s (%zu rows)\n",
                    loadS, firstS, inMemory.size(), t.nsecsElapsed() / 1e9, found);

        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        t.start();
        p.start(QStringLiteral("mdb-export"), {file, QStringLiteral("posdata")});
        p.waitForFinished(-1);
        std::printf("mdb-export posdata > /dev/null: %8.3f s  (exit %d)\n", t.nsecsElapsed() / 1e9,
                    p.exitCode());
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.text().toLocal8Bit().constData());
        return 1;
    }
    if (argc > 2)
        std::printf("file kept: %s\n", file.toLocal8Bit().constData());
    return 0;
}
