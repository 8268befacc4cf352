#pragma once
// Calls of the work database's procedures that compute derived rows: the master check of an order
// (kem_errdatamake_main), the print rows (kem_csvdatamake_main) and the production-control rows
// (kem_skdatamake_main) of a PO. Each shows its progress text and reports a failure in a message
// box; the caller is not told and goes on.

#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QString>

namespace kemnoa::maintenance {

// Over the shared work connection cnWork.
void MP_ErrDataMake(core::Prompter& prompter, qint32 ordNo);
void MP_CsvDataMake(core::Prompter& prompter, const QString& poNo, const QString& poKbn);
void MP_SkDataMake(core::Prompter& prompter, const QString& poNo, const QString& poKbn);

// Over a given work connection.
void MP_ErrDataMake(core::Prompter& prompter, db::Connection& work, qint32 ordNo);
void MP_CsvDataMake(core::Prompter& prompter, db::Connection& work, const QString& poNo,
                    const QString& poKbn);
void MP_SkDataMake(core::Prompter& prompter, db::Connection& work, const QString& poNo, const QString& poKbn);

} // namespace kemnoa::maintenance
