#pragma once
// The file package of one PO: the order workbook (opened from the MST_DEF template, filled by the four
// sheet steps, saved as prefix + PO number + ".xlsx") and the PO's XML file, both in the PO's output
// folder. The PO creation run archives the folder's PDF and XML files afterwards.

#include "output/package_run.h"

#include <functional>

namespace kemnoa::output {

// The steps of the package in the order they run. Tests replace single steps to make them fail.
struct PackageSteps {
    using Step = std::function<core::Outcome(PackageRun&)>;
    Step poSheet = MF_PoSheetMake;
    Step skSheet = MF_SkSheetMake;
    Step careSheet = MF_CareSheetMake;
    Step assortSheet = MF_AssortSheetMake;
    Step xml = MF_PoXmlMake;
};

// The folder of the workbook templates: "templates" in the program folder, ending in "/".
QString templateFolder();

// "GK." + PO number + ".xlsx" for PO kind "1" (GK numbers), "PO." + PO number + ".xlsx" otherwise.
QString orderWorkbookName(const QString& poNo, const QString& poKbn);

// Why a value from data cannot be part of a file name (a separator, "..", a character file names cannot
// hold, a blank or dot at its end, a device name), or empty text when it can.
QString fileNameProblem(const QString& value);

// Removes the PO's earlier workbook (either prefix) and every XML file of its folder, which the archive
// would take for this run's. Throws core::Error when one cannot be removed.
void removeEarlierPackage(const QString& poFolder, const QString& poNo);

// Builds the package of the PO in poFolder (its output folder, which must exist). Removes the PO's
// earlier workbook and the folder's XML files first, so that nothing of an earlier run is taken for
// this one; then runs the five steps, each shown in the progress window and each failure reported
// ("PO作成中にエラーが発生。" ...) without stopping the others. The workbook is saved only when every
// sheet step succeeded, the XML only when its step did (both appear complete or not at all). Failed
// when anything failed.
core::Outcome MF_FilePackageMake(core::Prompter& prompter, db::Connection& work, db::Connection& po,
                                 db::Connection& sk, const QString& poNo, const QString& poKbn,
                                 const QString& poFolder, const QString& templates = templateFolder(),
                                 const PackageSteps& steps = {});

} // namespace kemnoa::output
