#pragma once
// Calls of the work database's procedures that compute derived rows: the master check of an order
// (kem_errdatamake_main), the print rows (kem_csvdatamake_main) and the production-control rows
// (kem_skdatamake_main) of a PO. Each shows its progress text, reports a failure in a message box
// and returns Failed when the procedure did not run to its end (a non-zero return value, or a call
// that could not be made), so that a caller never reads stale or empty rows as the procedure's result.

#include "core/outcome.h"
#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QString>

namespace kemnoa::maintenance {

// Over the shared work connection cnWork.
core::Outcome MP_ErrDataMake(core::Prompter& prompter, qint32 ordNo);
core::Outcome MP_CsvDataMake(core::Prompter& prompter, const QString& poNo, const QString& poKbn);
core::Outcome MP_SkDataMake(core::Prompter& prompter, const QString& poNo, const QString& poKbn);

// Over a given work connection.
core::Outcome MP_ErrDataMake(core::Prompter& prompter, db::Connection& work, qint32 ordNo);
core::Outcome MP_CsvDataMake(core::Prompter& prompter, db::Connection& work, const QString& poNo,
                             const QString& poKbn);
core::Outcome MP_SkDataMake(core::Prompter& prompter, db::Connection& work, const QString& poNo,
                            const QString& poKbn);

} // namespace kemnoa::maintenance
