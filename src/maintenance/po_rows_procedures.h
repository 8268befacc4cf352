#pragma once
// The print rows (rcv_csvdata) and the production rows (rcv_skdata) of one PO as the program computes
// them on SQLite and PostgreSQL: the procedures kem_csvdatamake_main and kem_skdatamake_main,
// registered in the database layer's procedure table under their server names. Parameters @PoNo and
// @PoKbn; output @errMsg; return value 0 when the rows were replaced. The layout of the rows, how
// order lines become PO lines and where every value comes from: docs/po-rows.md.

#include "platform/db/command.h"
#include "platform/db/connection.h"

#include <functional>

namespace kemnoa::maintenance {

int kem_csvdatamake_main(db::ProcedureCall& call);
int kem_skdatamake_main(db::ProcedureCall& call);

// Adds both procedures to the registry when they are not there yet.
void registerPoRowProcedures(db::ProcedureRegistry& registry = db::ProcedureRegistry::global());

// How the procedures reach the office-computer database (the product master). By default the shared
// office connection when it is open, otherwise a connection of its own, opened with the session's
// office settings and kept for later calls. Tests may set another; nullptr restores the default.
using OfficeConnectionResolver = std::function<db::Connection&()>;
void setOfficeConnectionResolver(OfficeConnectionResolver resolver);

// A print layout code as a name that is safe as a file name (also on Windows) and as an XML element
// name: kept when it already is one, otherwise its ASCII letters and digits and a short hash of it.
QString safeLayoutName(const QString& text);

} // namespace kemnoa::maintenance
