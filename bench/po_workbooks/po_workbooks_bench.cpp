// The workbooks of a PO of 500 lines on SQLite: 500 PO lines (25 pages of two sheets), 250 hang-tag
// jobs (an SK sheet each, 14 composition lines and a grid of 6 lines), 250 care-label jobs (one list
// with a barcode a row), 500 assortment rows, the saved order workbook and the receipt workbook.
// Each step's time is printed, best of three, beside the floor: the same template sheets copied into
// MST_DEF and saved without being filled.
// Usage: po_workbooks_bench [WORK_DIR]

#include "bench_support.h"
#include "core/program_folder.h"
#include "core/prompter.h"
#include "output/package_run.h"
#include "output/sheet_common.h"
#include "platform/db/reader.h"
#include "platform/xlsx/workbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using namespace kemnoa;

namespace {

constexpr int kLines = 500;
constexpr int kRuns = 3;
const QString kPo = QStringLiteral("P00000001");

void fill(db::Connection& work, db::Connection& po, db::Connection& sk) {
    db::Transaction tw(work), tp(po), ts(sk);
    po.execute(QStringLiteral("Insert Into TBL_PO_H (PO番号, PO発行日, 希望納期, 納品先名, 発注先名) "
                              "Values (?, '2026/12/10', '2026/12/20', 'さくら衣料', '上海工場')"),
               {kPo});
    for (int i = 1; i <= kLines; ++i) {
        po.execute(
            QStringLiteral("Insert Into TBL_PO_M (PO番号, PO行, 商品CD, 品名1, 品名2, 客先商品CD, 数量, "
                           "下代, 上代) Values (?, ?, ?, ?, '二行目', ?, 100, 12.345, 20)"),
            {kPo, i, QStringLiteral("0871%1").arg(i, 4, 10, QLatin1Char('0')),
             QStringLiteral("下札%1").arg(i), QStringLiteral("C%1").arg(i)});
        work.execute(
            QStringLiteral("Insert Into rcv_skdata (PO_NO, PO_KBN, PO_GYOU, ORD_NO, IRAI_NO, NOU_CD, "
                           "HINBAN, SHO_CD, SHO_NM1, SHO_NM2, SU) "
                           "Values (?, '0', ?, ?, ?, 'C0101-01', ?, '8710001', 'ネーム', ?, 1000)"),
            {kPo, i, 700 + i, QStringLiteral("R%1").arg(i), QStringLiteral("A-%1").arg(i),
             QStringLiteral("%1号").arg(i)});
        const bool tag = i % 2 == 1;
        sk.execute(
            QStringLiteral("Insert Into TBL_H (PO, SKNO, NO, 発注番号, 発注日, 希望納期, 品番, 生産場所, "
                           "工程, ブランド, 品種, 品名) Values (?, '', ?, ?, '2026/12/01', '2026/12/20', "
                           "?, '上海', '', '8710001', ?, 'KT-1001')"),
            {kPo, i, QStringLiteral("R%1").arg(i), QStringLiteral("A-%1").arg(i),
             tag ? QStringLiteral("下札") : QStringLiteral("洗濯ネーム")});
        sk.execute(
            QStringLiteral("Insert Into TBL_NJ (PO, NO, 発注元CD, 発注元名, 請求先CD, 請求先名, 納品先CD, "
                           "納品先名) Values (?, ?, 'H0001', 'ケムノア', 'S0001', '本社', 'C0101-01', "
                           "'さくら衣料')"),
            {kPo, i});
        sk.execute(QStringLiteral("Insert Into TBL_TOTAL (PO, NO, 数量) Values (?, ?, '600')"), {kPo, i});
        if (!tag)
            continue;
        for (int line = 1; line <= 14; ++line)
            sk.execute(QStringLiteral("Insert Into TBL_QUA (PO, NO, LINE, 内容) Values (?, ?, ?, ?)"),
                       {kPo, i, line, QStringLiteral("綿%1%").arg(line)});
        for (int line = 1; line <= 6; ++line)
            sk.execute(QStringLiteral("Insert Into TBL_SKU (PO, NO, LINE, COLS, F1, F2, F3, F6) "
                                      "Values (?, ?, ?, 6, ?, 'M', '100', '①')"),
                       {kPo, i, line,
                        line == 1 ? QStringLiteral("カラー") : QStringLiteral("ネイビー%1").arg(line)});
    }
    tw.commit();
    tp.commit();
    ts.commit();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    const QString program = QStringLiteral(KEMNOA_SOURCE_DIR) + QStringLiteral("/resources");
    core::setProgramFolder(program);
    db::Connection work, po, sk;
    work.open(bench::sqliteSettings(dir, db::DatabaseKind::Work));
    po.open(bench::sqliteSettings(dir, db::DatabaseKind::Po));
    sk.open(bench::sqliteSettings(dir, db::DatabaseKind::Sk));
    if (po.read(QStringLiteral("Select Count(*) From TBL_PO_M")).value(0).toInt() == 0)
        fill(work, po, sk);

    core::SilentPrompter silent;
    struct Figure {
        const char* name;
        double ms = 0;
    };
    std::vector<Figure> figures = {{"PO sheets (25 pages x 2)"},   {"SK sheets (250 jobs)"},
                                   {"care-label list (250 rows)"}, {"assortment list (500 rows)"},
                                   {"order workbook saved"},       {"receipt workbook (500 rows)"}};
    double total = 1e9;
    for (int r = 0; r < kRuns; ++r) {
        xlsx::Workbook book = output::openTemplate(program, QStringLiteral("MST_DEF.xlsx"));
        output::PackageRun run{
            silent, work, po, sk, kPo, QStringLiteral("0"), program, dir + QLatin1Char('/'), &book};
        std::function<core::Outcome()> steps[] = {
            [&] { return output::MF_PoSheetMake(run); },
            [&] { return output::MF_SkSheetMake(run); },
            [&] { return output::MF_CareSheetMake(run); },
            [&] { return output::MF_AssortSheetMake(run); },
            [&] {
                book.deleteSheet(1);
                book.save(dir + QLatin1Char('/') + output::poBookFileName(kPo, QStringLiteral("0")));
                return core::Outcome::Done;
            },
            [&] { return output::MP_OrderSheetMake(silent, work, po, kPo, QStringLiteral("0"), dir); }};
        double sum = 0;
        for (size_t i = 0; i < figures.size(); ++i) {
            QElapsedTimer t;
            t.start();
            if (core::failed(steps[i]())) {
                std::fprintf(stderr, "%s failed\n", figures[i].name);
                return 1;
            }
            const double ms = double(t.nsecsElapsed()) / 1e6;
            figures[i].ms = r == 0 ? ms : std::min(figures[i].ms, ms);
            sum += ms;
        }
        total = std::min(total, sum);
    }

    // The floor: the same sheets copied from their templates and saved, nothing filled.
    const double floor = bench::bestOfMs(kRuns, [&] {
        xlsx::Workbook book = output::openTemplate(program, QStringLiteral("MST_DEF.xlsx"));
        xlsx::Workbook poTemplate = output::openTemplate(program, QStringLiteral("MST_PO.xlsx"));
        xlsx::Workbook skTemplate = output::openTemplate(program, QStringLiteral("MST_SK.xlsx"));
        for (int p = 1; p <= kLines / 20; ++p) {
            book.copySheetToEnd(poTemplate.sheet(1)).setName(QStringLiteral("納品情報%1").arg(p));
            book.copySheetToEnd(poTemplate.sheet(2)).setName(QStringLiteral("PO%1").arg(p));
        }
        for (int j = 1; j <= kLines / 2; ++j)
            book.copySheetToEnd(skTemplate.sheet(1)).setName(QStringLiteral("SK%1").arg(j));
        book.copySheetToEnd(output::openTemplate(program, QStringLiteral("MST_CAR_SK.xlsx")).sheet(1));
        book.copySheetToEnd(output::openTemplate(program, QStringLiteral("アソート.xlsx")).sheet(1));
        book.deleteSheet(1);
        book.save(dir + QStringLiteral("/floor.xlsx"));
    });
    for (const Figure& f : figures)
        std::printf("%-32s %9.1f ms\n", f.name, f.ms);
    std::printf("%-32s %9.1f ms  (floor, the same sheets copied and saved unfilled: %.1f ms)\n",
                "all workbooks", total, floor);
    return 0;
}
