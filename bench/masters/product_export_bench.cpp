// Times the product master export: PRODUCTS matching products (and as many that the conditions
// leave out) in a SQLite office database, read with the export's statement and written as the
// workbook; then openpyxl writes the same sheet as a peer measured in the same run.
// Usage: product_export_bench [PRODUCTS] [WORK_DIR]

#include "masters/product_master.h"
#include "platform/db/connection.h"
#include "platform/db/sql_text.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>

using namespace kemnoa;

namespace {

void seed(db::Connection& office, int products) {
    db::Transaction t(office);
    for (int first = 0; first < products; first += 500) {
        QStringList shows, materials, prices;
        for (int i = first; i < std::min(products, first + 500); ++i) {
            for (const char* prefix : {"8710", "8720"}) { // the second never matches
                const QString code = db::quote(QString::fromLatin1(prefix) +
                                               QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')));
                shows << u'(' + code + QStringLiteral(", '織ネーム %1', '白'").arg(i) + u')';
                materials << u'(' + code +
                                 QStringLiteral(", 'S-%1', %2, %3)")
                                     .arg(i % 97)
                                     .arg(QString::number(i * 1.25, 'f', 2))
                                     .arg(i % 1000 + 0.5);
                prices << u'(' + code + QStringLiteral(", '0', %1)").arg(i + 1);
            }
        }
        office.execute(QStringLiteral("Insert Into FSHOWK (SHO011, SHO032, SHO033) Values ") +
                       shows.join(u','));
        office.execute(QStringLiteral("Insert Into FSKNPF (SKN011, SKN031_1, SKN031_9, SKN031_10) Values ") +
                       materials.join(u','));
        office.execute(QStringLiteral("Insert Into FSHJWK1 (SHJ011, SHJ012, SHJ032) Values ") +
                       prices.join(u','));
    }
    t.commit();
}

double seconds(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int products = argc > 1 ? std::atoi(argv[1]) : 20000;
    QTemporaryDir tmp;
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();

    db::ConnectionSettings s;
    s.provider = QStringLiteral("SQLite");
    s.database = dir + QStringLiteral("/office-bench.db");
    s.kind = db::DatabaseKind::Office;
    s.createIfMissing = true;
    QFile::remove(s.database);
    db::Connection office;
    office.open(s);
    seed(office, products);

    QElapsedTimer t;
    t.start();
    const std::vector<masters::ProductRow> rows = masters::loadProducts(office);
    const double load = seconds(t);
    const QString out = dir + QStringLiteral("/ケムノア商品マスタ.xlsx");
    t.restart();
    masters::writeProductWorkbook(rows, out);
    const double write = seconds(t);
    std::printf("kemnoa: %zu products listed in %.3f s, workbook written in %.3f s (%lld bytes)\n",
                rows.size(), load, write, static_cast<long long>(QFileInfo(out).size()));

    QProcess peer;
    peer.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(KEMNOA_BENCH_PEER), dir + QStringLiteral("/openpyxl.xlsx"),
                QString::number(rows.size())});
    if (peer.waitForFinished(600000) && peer.exitCode() == 0)
        std::printf("%s", peer.readAllStandardOutput().constData());
    else
        std::printf("openpyxl peer did not run: %s\n", peer.readAllStandardError().constData());
    return 0;
}
