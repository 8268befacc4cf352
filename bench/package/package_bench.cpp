// Times one PO of LINES lines (hang tags of two layouts and care labels, 10 lines an order) from its
// orders to its archive on SQLite files: the master check of its orders, its print and production rows,
// the PO database and production-control updates, the file package (order workbook with the sheet steps
// there are, and the XML), the archive, and the whole creation run once more end to end. Beside them, as
// a floor, a plain read of every row the XML holds.
// Usage: package_bench [LINES] [WORK_DIR]

#include "bench_support.h"
#include "core/lzh_make.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "demo/demo_data.h"
#include "maintenance/err_data_make_procedure.h"
#include "maintenance/po_rows_procedures.h"
#include "maintenance/server_procedures.h"
#include "output/file_package.h"
#include "output/po_creation.h"
#include "output/po_database_update.h"
#include "output/sk_database_update.h"
#include "platform/db/reader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

using namespace kemnoa;

namespace {

const QString kPo = QStringLiteral("P00000001");

void insert(db::Connection& c, const QString& table, const QStringList& columns, const QVariantList& values) {
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    c.execute(
        QStringLiteral("Insert Into %1 (%2) Values (%3)").arg(table, columns.join(u','), marks.join(u',')),
        values);
}

// LINES lines in orders of ten: every fifth a care label, the hang tags alternating two layouts, each
// with two materials.
void seedOrders(db::Connection& work, int lines) {
    db::Transaction t(work);
    const QStringList header = {"ORD_NO", "IRAI_NO",  "ORD_DATE", "KIBO_DATE",  "SIR_CD", "NOU_CD",
                                "NOU_NM", "NOU_ADR1", "KESSAI",   "SHKA_PLACE", "PO_NO",  "PO_KBN",
                                "ERR_SU", "PRN_SU",   "SEND_FLG", "BIKO2"};
    QStringList line = {"ORD_NO", "GYOU",  "TAFCD", "TAHIN", "TACLT", "TASIZ", "SU",   "EHJ",
                        "TAPH1",  "TAPR1", "TAPP1", "TAPH2", "TAPR2", "TAPP2", "FUKI1"};
    for (int n = 0; n < lines; ++n) {
        const int ordNo = 900001 + n / 10;
        if (n % 10 == 0)
            insert(work, QStringLiteral("rcv_denheaddata"), header,
                   {ordNo, QStringLiteral("R%1").arg(ordNo), 20261201, QStringLiteral("20261220"),
                    QStringLiteral("S1"), QString::fromLatin1(demo::DestinationCodes[0]),
                    QStringLiteral("さくら衣料"), QStringLiteral("東京都"), QStringLiteral("日本決済"),
                    QStringLiteral("上海工場"), kPo, QStringLiteral("0"), 0, 0, QStringLiteral("9"),
                    QString()});
        const bool care = n % 5 == 4;
        insert(work, care ? QStringLiteral("rcv_cardata") : QStringLiteral("rcv_posdata"), line,
               {ordNo, n % 10 + 1,
                care ? QString::fromLatin1(demo::ClientTagCodes[0])
                     : QString::fromLatin1(demo::CompanyTagCodes[n % 2]),
                QStringLiteral("KM-%1").arg(1000 + n % 7),
                n % 3 ? QStringLiteral("ネイビー") : QStringLiteral("ホワイト"),
                care ? QStringLiteral("120") : QStringLiteral("M"), 10 + n % 20,
                care ? QStringLiteral("E0001") : QString(), QStringLiteral("綿"), QStringLiteral("80"),
                QStringLiteral("%"), QStringLiteral("ポリエステル"), QStringLiteral("20"),
                QStringLiteral("%"), care ? QStringLiteral("F001") : QString()});
    }
    t.commit();
}

double ms(QElapsedTimer& t) {
    const double v = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    return v;
}

bool ok(core::Outcome o) {
    return succeeded(o);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 500;
    QTemporaryDir tmp;
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
    QDir().mkpath(dir + QStringLiteral("/po"));
    const QString poBase = dir + QStringLiteral("/po/");

    db::Connection work, po, sk, office;
    work.open(bench::sqliteSettings(dir, db::DatabaseKind::Work));
    po.open(bench::sqliteSettings(dir, db::DatabaseKind::Po));
    sk.open(bench::sqliteSettings(dir, db::DatabaseKind::Sk));
    office.open(bench::sqliteSettings(dir, db::DatabaseKind::Office));
    demo::seed(work, db::DatabaseKind::Work);
    demo::seed(po, db::DatabaseKind::Po);
    demo::seed(office, db::DatabaseKind::Office);
    for (db::Reader r = work.read(QStringLiteral("Select 検索条件, 検索値 From kem_setting")); !r.atEnd();
         r.moveNext())
        core::session().FixedInfo.insert(r.text(0), r.text(1));
    maintenance::setPoConnectionResolver(
        [&](const QString&, const QString&) -> db::Connection& { return po; });
    maintenance::setOfficeConnectionResolver([&]() -> db::Connection& { return office; });
    seedOrders(work, lines);
    core::SilentPrompter quiet;
    // The receipt workbook's template is looked up in the program folder, as the program does.
    core::setProgramFolder(QDir(QStringLiteral(KEMNOA_TEMPLATES) + QStringLiteral("..")).absolutePath());

    QElapsedTimer t;
    t.start();
    bool good = true;
    std::vector<qint32> orders;
    for (db::Reader r = work.read(QStringLiteral("Select ORD_NO From rcv_denheaddata Order By ORD_NO"));
         !r.atEnd(); r.moveNext())
        orders.push_back(r.value(0).toInt());
    for (qint32 o : orders)
        good = good && ok(maintenance::MP_ErrDataMake(quiet, work, o));
    const double check = ms(t);
    good = good && ok(maintenance::MP_CsvDataMake(quiet, work, kPo, QStringLiteral("0"))) &&
           ok(maintenance::MP_SkDataMake(quiet, work, kPo, QStringLiteral("0")));
    const double rows = ms(t);
    good = good && ok(output::MF_PoDatabaseUpdate(quiet, work, po, kPo, QStringLiteral("0")));
    const double poDb = ms(t);
    good = good && ok(output::MF_SkDatabaseUpdate(quiet, work, sk, kPo, QStringLiteral("0")));
    const double skDb = ms(t);
    const QString folder = output::poOutputFolder(poBase, kPo);
    QDir().mkpath(folder);
    t.restart();
    output::PackageSteps noXml;
    noXml.xml = [](output::PackageRun&) { return core::Outcome::Done; };
    good = good && ok(output::MF_FilePackageMake(quiet, work, po, sk, kPo, QStringLiteral("0"), folder,
                                                 QStringLiteral(KEMNOA_TEMPLATES), noXml));
    const double workbook = ms(t);
    output::PackageRun run{quiet, work, po, sk, kPo, QStringLiteral("0"), QStringLiteral(KEMNOA_TEMPLATES),
                           folder};
    good = good && ok(output::MF_PoXmlMake(run));
    const double xml = ms(t);
    QString dest = poBase, message;
    good = good && core::MF_LzhMake(folder, dest, kPo + QStringLiteral(".lzh"), message) == 0;
    const double archive = ms(t);

    // The floor: every row the XML holds, read once.
    qint64 cells = 0;
    const std::pair<db::Connection*, const char*> reads[] = {
        {&po, "Select * From TBL_PO_H Where PO番号 = ?"},
        {&po, "Select * From TBL_PO_M Where PO番号 = ?"},
        {&sk, "Select * From TBL_H Where PO = ?"},
        {&sk, "Select * From TBL_NJ Where PO = ?"},
        {&sk, "Select * From TBL_QUA Where PO = ?"},
        {&sk, "Select * From TBL_SKU Where PO = ?"},
        {&sk, "Select * From TBL_TOTAL Where PO = ?"},
        {&work, "Select * From rcv_denheaddata Where PO_NO = ?"},
        {&work, "Select * From rcv_skdata Where PO_NO = ?"},
        {&work, "Select * From rcv_csvdata Where PO_NO = ?"}};
    for (const auto& [c, sql] : reads)
        for (db::Reader r = c->read(QString::fromUtf8(sql), {kPo}); !r.atEnd(); r.moveNext())
            for (int i = 0; i < r.columnCount(); ++i)
                cells += r.text(i).size() > 0 ? 1 : 0;
    const double floor = ms(t);

    // The whole run once more, as the screen runs it.
    work.execute(QStringLiteral("Update rcv_denheaddata Set SEND_FLG = '9'"));
    t.restart();
    output::PoCreationResult result;
    const core::Outcome whole = output::runPoCreation(quiet, work, po, sk, output::loadPoExpList(work),
                                                      poBase, QStringLiteral(KEMNOA_TEMPLATES), {}, &result);
    const double end = ms(t);
    good = good && whole == core::Outcome::Done;

    const auto size = [](const QString& p) { return QFileInfo(p).size(); };
    std::printf("PO of %d lines (%zu orders), %lld print rows\n", lines, orders.size(),
                static_cast<long long>(
                    work.read(QStringLiteral("Select Count(*) From rcv_csvdata")).value(0).toLongLong()));
    std::printf("  master check of the orders   %8.1f ms\n", check);
    std::printf("  print and production rows    %8.1f ms\n", rows);
    std::printf("  PO database                  %8.1f ms\n", poDb);
    std::printf("  production-control database  %8.1f ms\n", skDb);
    std::printf("  order workbook               %8.1f ms  (%lld bytes)\n", workbook,
                static_cast<long long>(size(folder + output::orderWorkbookName(kPo, QStringLiteral("0")))));
    std::printf("  XML                          %8.1f ms  (%lld bytes)\n", xml,
                static_cast<long long>(size(folder + kPo + QStringLiteral(".xml"))));
    std::printf("  archive                      %8.1f ms  (%lld bytes)\n", archive,
                static_cast<long long>(size(poBase + kPo + QStringLiteral(".lzh"))));
    std::printf("  sum of the stages            %8.1f ms\n",
                check + rows + poDb + skDb + workbook + xml + archive);
    std::printf(
        "  creation run end to end      %8.1f ms  (check, databases, package, archive, sent; goal < 2000)\n",
        end);
    std::printf("  floor: reading its rows      %8.1f ms  (%lld non-empty values)\n", floor,
                static_cast<long long>(cells));
    if (!good) {
        std::printf("FAILED: a stage did not succeed (%s)\n", qPrintable(message));
        return 1;
    }
    return 0;
}
