// Order maintenance figures on a SQLite work database of 20,000 orders:
// - the search list filled with the newest 5,000 of them and shown (search, model, first paint),
//   beside the bare read of the same 5,000 rows (the floor);
// - the order editor opening an order of 1,000 hang-tag and 1,000 care-label lines (laid out,
//   loaded, grids filled and shown), beside the bare read of those rows.
// Usage: QT_QPA_PLATFORM=offscreen maintenance_bench [WORK_DIR]

#include "bench_support.h"
#include "core/connections.h"
#include "core/job.h"
#include "core/prompter.h"
#include "core/session.h"
#include "maintenance/ui/frm_ord_find.h"
#include "maintenance/ui/frm_ord_impdata.h"
#include "maintenance/ui/order_list_model.h"
#include "platform/db/reader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

using namespace kemnoa;

namespace {

constexpr int kOrders = 20000;
constexpr int kLines = 1000;
constexpr int kRuns = 5;

void fill(db::Connection& c) {
    db::Transaction tx(c);
    for (int i = 1; i <= kOrders; ++i)
        c.execute(QStringLiteral(
                      "Insert Into rcv_denheaddata (ORD_NO, IRAI_NO, ORD_DATE, KIBO_DATE, NOU_NM, ERR_SU, "
                      "PRN_SU, SEND_FLG, PO_NO, PO_KBN) Values (?, ?, ?, '20240220', ?, 0, 0, ?, '', '')"),
                  {100000 + i, QString::number(i), 20240101 + (i % 28),
                   QStringLiteral("納品先 %1").arg(i % 50),
                   i % 4 == 0 ? QStringLiteral("1") : QStringLiteral("9")});
    for (int g = 1; g <= kLines; ++g) {
        c.execute(
            QStringLiteral(
                "Insert Into rcv_posdata (ORD_NO, GYOU, TACD, TAHIN, SU) Values (100001, ?, 'T', ?, 1)"),
            {g, QStringLiteral("品番%1").arg(g)});
        c.execute(
            QStringLiteral(
                "Insert Into rcv_cardata (ORD_NO, GYOU, TACD, EHJ, SU) Values (100001, ?, 'C', 'E1', 1)"),
            {g});
    }
    tx.commit();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    core::resetSession();
    core::session().WorkDb.Provider = QStringLiteral("SQLite");
    {
        // Opening never creates a database file: make it, with its tables, first.
        const db::ConnectionSettings work = bench::sqliteSettings(dir, db::DatabaseKind::Work);
        db::Connection c;
        c.open(work);
        core::session().WorkDb.DbName = work.database;
    }
    core::SilentPrompter silent;
    core::JobScope scope(QList<qint32>{core::KindWork}, silent);
    if (!scope.workReady()) {
        std::fprintf(stderr, "maintenance_bench: the work database cannot be opened\n");
        return 1;
    }
    if (core::cnWork().read(QStringLiteral("Select Count(*) From rcv_denheaddata")).value(0).toInt() == 0)
        fill(core::cnWork());

    // The search list.
    int rows = 0;
    const double floor = bench::bestOfMs(kRuns, [&] {
        rows = 0;
        for (db::Reader r = core::cnWork().read(
                 QStringLiteral(
                     "Select ORD_NO, IRAI_NO, PO_NO, PO_KBN, ORD_DATE, KIBO_DATE, NOU_NM, ERR_SU, SEND_FLG "
                     "From rcv_denheaddata Where ORD_DATE Between ? And ? Order By ORD_NO DESC"),
                 {20240101, 20241231});
             !r.atEnd() && rows < 5000; r.moveNext())
            ++rows;
    });
    maintenance::frmOrd_Find find(scope.context(), nullptr, &silent);
    find.txtDateFrom->setText(QStringLiteral("20240101"));
    find.txtDateTo->setText(QStringLiteral("20241231"));
    find.txtSend->clear();
    find.show();
    const double list = bench::bestOfMs(kRuns, [&] {
        find.model()->setRows({});
        find.cmdFind_Click();
        find.grid->viewport()->repaint();
    });
    std::printf("search list, %d of %d orders shown:  %7.1f ms  (bare read of the rows: %.1f ms)\n",
                find.model()->rowCount(), kOrders, list, floor);

    // The editor.
    const double linesFloor = bench::bestOfMs(kRuns, [&] {
        for (const char* t : {"rcv_posdata", "rcv_cardata"})
            for (db::Reader r = core::cnWork().read(
                     QStringLiteral("Select * From %1 Where ORD_NO = 100001 Order By GYOU")
                         .arg(QLatin1String(t)));
                 !r.atEnd(); r.moveNext())
                for (int i = 0; i < r.columnCount(); ++i)
                    (void)r.value(i);
    });
    const double editor = bench::bestOfMs(kRuns, [&] {
        maintenance::frmOrd_ImpData e(&silent);
        if (!e.MP_Open(100001))
            std::exit(1);
        e.show();
        e.repaint();
    });
    std::printf("editor open, %d + %d lines:            %7.1f ms  (bare read of the lines: %.1f ms)\n",
                kLines, kLines, editor, linesFloor);
    return 0;
}
