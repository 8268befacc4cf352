// The assortment list of the order workbook: every production row of the PO, from the template
// アソート.

#include "output/package_run.h"
#include "output/po_list_sheet.h"
#include "output/sheet_common.h"

namespace kemnoa::output {

core::Outcome MF_AssortSheetMake(PackageRun& run) {
    try {
        const PoListData data = readPoList(run.work, run.po, run.PkgPoNo, run.PkgPoKbn);
        if (data.lines.empty())
            return core::Outcome::Done;
        xlsx::Workbook source = openTemplate(run.programFolder, QStringLiteral("アソート.xlsx"));
        xlsx::Sheet sheet = run.PkgBook->copySheetToEnd(source.sheet(1));
        using A = xlsx::HorizontalAlignment;
        fillPoList(sheet, data, run.PkgPoNo,
                   {{"B", "D", {QStringLiteral("PO_GYOU")}, "@", std::nullopt},
                    {"E", "J", {QStringLiteral("IRAI_NO")}, "@", std::nullopt},
                    {"K", "P", {QStringLiteral("HINBAN")}, "@", std::nullopt},
                    {"Q", "V", {QStringLiteral("SHO_CD")}, "@", std::nullopt},
                    {"W", "AN", {QStringLiteral("SHO_NM1"), QStringLiteral("SHO_NM2")}, "@", std::nullopt},
                    {"AO", "AT", {QStringLiteral("SU")}, "#,##0_ ", A::Right}});
        return core::Outcome::Done;
    } catch (const core::Error& e) {
        return reportFailure(run.prompter, QStringLiteral("MF_AssortSheetMake"), e);
    }
}

} // namespace kemnoa::output
