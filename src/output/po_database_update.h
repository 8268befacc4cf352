#pragma once
// The PO database update of one PO: its header row in TBL_PO_H and one detail row per product in
// TBL_PO_M, from the PO's orders, its production rows (rcv_skdata), the session's fixed company
// values and the PO database's partner, terms and destination masters. Both tables are rewritten in
// one transaction on the PO connection.

#include "core/outcome.h"
#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QDate>
#include <QString>

namespace kemnoa::output {

// Done when both tables were written and committed; Failed after rolling back and saying so
// ("PO作成エラー"). issueDate is the PO's issue date (today when invalid).
core::Outcome MF_PoDatabaseUpdate(core::Prompter& prompter, db::Connection& work, db::Connection& po,
                                  const QString& poNo, const QString& poKbn, const QDate& issueDate = {});

} // namespace kemnoa::output
