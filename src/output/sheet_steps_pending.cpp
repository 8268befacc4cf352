// TEMPORARY stand-ins for the order workbook's sheet steps and the receipt-confirmation workbook, so that
// the package build and the PO creation run link and run before the sheet steps land. Each sheet step
// adds an empty sheet named after itself; the receipt workbook writes nothing. This file is removed
// when the sheet steps land.

#include "output/package_run.h"
#include "platform/xlsx/workbook.h"

namespace kemnoa::output {
namespace {

core::Outcome addEmptySheet(PackageRun& run, const QString& name) {
    xlsx::Workbook empty = xlsx::Workbook::create();
    run.PkgBook->copySheetToEnd(empty.sheet(1)).setName(name);
    return core::Outcome::Done;
}

} // namespace

core::Outcome MF_PoSheetMake(PackageRun& run) {
    return addEmptySheet(run, QStringLiteral("PO"));
}

core::Outcome MF_SkSheetMake(PackageRun& run) {
    return addEmptySheet(run, QStringLiteral("SK"));
}

core::Outcome MF_CareSheetMake(PackageRun& run) {
    return addEmptySheet(run, QStringLiteral("洗濯ネーム"));
}

core::Outcome MF_AssortSheetMake(PackageRun& run) {
    return addEmptySheet(run, QStringLiteral("アソート"));
}

core::Outcome MP_OrderSheetMake(core::Prompter&, db::Connection&, db::Connection&, const QString&,
                                const QString&, const QString&) {
    return core::Outcome::Done;
}

} // namespace kemnoa::output
