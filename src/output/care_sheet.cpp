// The care-label list of the order workbook: one sheet listing every care-label job of the PO with
// its barcode, from the production-control tables and the template MST_CAR_SK. Rows past the
// template's prepared ones (12 to 32) are formatted like them, height included, so the barcodes of
// later rows never overlap.

#include "output/package_run.h"
#include "output/sheet_common.h"
#include "platform/db/reader.h"
#include "platform/xlsx/barcode.h"

#include <vector>

namespace kemnoa::output {
namespace {

constexpr uint32_t kFirstRow = 12;
constexpr uint32_t kLastPrepared = 32;

struct CareJob {
    QString po, no, productNo, layout, orderDate, wishDate, destinationCode, destinationName, quantity;
};

void make(PackageRun& run) {
    std::vector<CareJob> jobs;
    for (db::Reader r = run.sk.read(
             QStringLiteral(
                 "Select TBL_H.NO, TBL_H.PO, TBL_H.品番, TBL_H.品名, TBL_H.発注日, TBL_H.希望納期, "
                 "TBL_NJ.納品先CD, TBL_NJ.納品先名, TBL_TOTAL.数量 "
                 "From (TBL_H Left Join TBL_NJ On TBL_H.PO = TBL_NJ.PO And TBL_H.NO = TBL_NJ.NO) "
                 "Left Join TBL_TOTAL On TBL_H.PO = TBL_TOTAL.PO And TBL_H.NO = TBL_TOTAL.NO "
                 "Where TBL_H.PO = ? And TBL_H.品種 = '洗濯ネーム' Order By TBL_H.NO "),
             {run.PkgPoNo});
         !r.atEnd(); r.moveNext())
        jobs.push_back({r.text(1), r.text(0), r.text(2), r.text(3), r.text(4), r.text(5), r.text(6),
                        r.text(7), numberText(r.value(8))});
    if (jobs.empty())
        return;
    xlsx::Workbook source = openTemplate(run.programFolder, QStringLiteral("MST_CAR_SK.xlsx"));
    xlsx::Sheet s = run.PkgBook->copySheetToEnd(source.sheet(1));
    run.PkgBook->activate(s.index());

    const CareJob& first = jobs.front();
    s.range(QStringLiteral("AE3")).setText(slashDate(first.orderDate));
    s.range(QStringLiteral("AQ3")).setText(slashDate(first.wishDate));
    s.range(QStringLiteral("AG5")).setText(run.PkgPoNo);
    s.range(QStringLiteral("D5")).setText(first.destinationCode + QLatin1Char(' ') + first.destinationName);

    const double preparedHeight = s.rowHeight(kLastPrepared);
    uint32_t row = kFirstRow;
    for (const CareJob& job : jobs) {
        if (row > kLastPrepared) {
            using A = xlsx::HorizontalAlignment;
            formatListRow(s, row,
                          {{"B", "G", "@", std::nullopt},
                           {"H", "M", "@", std::nullopt},
                           {"N", "S", "@", std::nullopt},
                           {"T", "X", "#,##0_ ", A::Right},
                           {"Y", "AI", "@", A::Center, false, false},
                           {"AJ", "AX", "@", A::Center, false, false}});
            s.range(QStringLiteral("A%1").arg(row)).setRowHeight(preparedHeight);
        }
        const QString poNo = job.po + QLatin1Char('-') + job.no;
        s.range(QStringLiteral("B%1").arg(row)).setText(poNo);
        s.range(QStringLiteral("H%1").arg(row)).setText(job.productNo);
        s.range(QStringLiteral("N%1").arg(row)).setText(job.layout);
        s.range(QStringLiteral("T%1").arg(row)).setValue(job.quantity);
        const QString shape = xlsx::insertCode39(s, QStringLiteral("AJ%1").arg(row),
                                                 QLatin1Char('*') + poNo + QLatin1Char('*'), {145, 25, true});
        s.moveShape(shape, 2, 2);
        ++row;
    }
}

} // namespace

core::Outcome MF_CareSheetMake(PackageRun& run) {
    try {
        make(run);
        return core::Outcome::Done;
    } catch (const core::Error& e) {
        return reportFailure(run.prompter, QStringLiteral("MF_CareSheetMake"), e);
    }
}

} // namespace kemnoa::output
