#pragma once
// The run values of one PO's file package (order workbook and XML), shared by the package build and
// the sheet and XML steps it calls in turn. Each step adds its sheets to `PkgBook` (opened from the
// MST_DEF template) or writes its file into the PO folder, reports its own failures through the
// prompter and returns Failed so that the package counts as incomplete.

#include "core/outcome.h"
#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QString>

namespace kemnoa::xlsx {
class Workbook;
}

namespace kemnoa::output {

struct PackageRun {
    core::Prompter& prompter;
    db::Connection& work; // rcv_* tables of the PO's orders
    db::Connection& po;   // TBL_PO_* rows written for the PO
    db::Connection& sk;   // production-control rows written for the PO
    QString PkgPoNo;
    QString PkgPoKbn;
    QString programFolder; // where the workbook templates lie
    QString poFolder;      // the PO's output folder, ending in "/"
    xlsx::Workbook* PkgBook = nullptr;
};

// Sheet steps of the order workbook and the XML step, in the order the package runs them.
core::Outcome MF_PoSheetMake(PackageRun& run);
core::Outcome MF_SkSheetMake(PackageRun& run);
core::Outcome MF_CareSheetMake(PackageRun& run);
core::Outcome MF_AssortSheetMake(PackageRun& run);
core::Outcome MF_PoXmlMake(PackageRun& run);

// The receipt-confirmation workbook of one PO, written into folder as PO number + ".xlsx".
core::Outcome MP_OrderSheetMake(core::Prompter& prompter, db::Connection& work, db::Connection& po,
                                const QString& poNo, const QString& poKbn, const QString& folder);

} // namespace kemnoa::output
