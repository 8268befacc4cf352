#pragma once
// The production-control update of one PO: every hang-tag and care-label line of the PO (rcv_skdata)
// becomes one job in the production-control database, with its header (TBL_H), parties (TBL_NJ),
// composition text (TBL_QUA), size and colour grid (TBL_SKU) and total (TBL_TOTAL); TBL_SJ and TBL_YJ
// are cleared for the PO. The PO's rows are deleted and rebuilt in one transaction on the
// production-control connection.

#include "core/outcome.h"
#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QString>

namespace kemnoa::output {

// Done when the PO's rows were rebuilt and committed; Failed after rolling back (the PO keeps its
// previous rows) and saying so ("SK作成エラー").
core::Outcome MF_SkDatabaseUpdate(core::Prompter& prompter, db::Connection& work, db::Connection& sk,
                                  const QString& poNo, const QString& poKbn);

} // namespace kemnoa::output
