#pragma once
// The PO creation run (menu 204, screen frmOrd_Exp "PO作成"): the list of POs ready for the factory,
// the check pass (a fresh master check of every order of the ticked POs) and the build pass, which for
// each ticked PO writes the PO database and the production-control database, makes the PO's output
// folder, its file package (order workbook and XML), its receipt-confirmation workbook and its LZH
// archive, and marks its orders as sent. A PO is marked sent only when every one of these succeeded and
// the archive exists; otherwise it stays unsent, the run says so and goes on with the next PO.

#include "output/file_package.h"

#include <QString>
#include <functional>
#include <vector>

namespace kemnoa::output {

// One row of the list, every value as text, and its tick.
struct PoExpRow {
    QString poNo, poKbn, nouCd, nouNm, kiboDate;
    bool chk = true;
};

inline constexpr int kPoExpListLimit = 5000;

// The POs with an unsent, error-free, numbered order and production rows, once per destination and
// requested date, by PO number and kind (at most kPoExpListLimit), each ticked. Throws core::Error.
std::vector<PoExpRow> loadPoExpList(db::Connection& work);

// The steps of a PO's build. Tests replace single steps to make them fail.
struct PoCreationSteps {
    using DatabaseStep =
        std::function<core::Outcome(core::Prompter&, db::Connection& work, db::Connection& target,
                                    const QString& poNo, const QString& poKbn)>;
    using ReceiptStep =
        std::function<core::Outcome(core::Prompter&, db::Connection& work, db::Connection& po,
                                    const QString& poNo, const QString& poKbn, const QString& folder)>;
    DatabaseStep poDatabase; // MF_PoDatabaseUpdate when empty
    DatabaseStep skDatabase; // MF_SkDatabaseUpdate when empty
    PackageSteps package;    // the steps of MF_FilePackageMake
    ReceiptStep receipt = MP_OrderSheetMake;
};

struct PoCreationResult {
    QStringList sent;     // "PO番号 PO区分" of the POs marked sent, in run order
    QStringList unsent;   // the ticked POs left unsent
    bool stopped = false; // the check pass stopped the run; nothing was built
};

// Where a PO's files go: its folder under the PO base folder, and its archive beside that folder.
QString poOutputFolder(const QString& poBase, const QString& poNo);
QString poArchivePath(const QString& poBase, const QString& poNo);

// The button 作成開始 over the ticked rows: the check pass, then the build pass PO by PO, then the
// final message. poBase is the PO base folder (PoFolder). Failed when the check pass stopped the run or
// no ticked PO was sent; DoneWithFailures when some were sent and some not.
core::Outcome runPoCreation(core::Prompter& prompter, db::Connection& work, db::Connection& po,
                            db::Connection& sk, const std::vector<PoExpRow>& rows, const QString& poBase,
                            const QString& templates = templateFolder(), const PoCreationSteps& steps = {},
                            PoCreationResult* result = nullptr);

} // namespace kemnoa::output
