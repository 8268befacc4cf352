#pragma once
// The PO database's number procedures as the program runs them on SQLite and PostgreSQL:
// GET_PO_NUMBER and GET_GK_NUMBER, registered in the database layer's procedure table under their
// server names. Parameters @KUBUN (the ordering-company code) and @PONO (in/out, the new number);
// output @errMsg; return value 0 when a number was issued. See docs/po-numbers.md.

#include "platform/db/command.h"

namespace kemnoa::output {

int GET_PO_NUMBER(db::ProcedureCall& call);
int GET_GK_NUMBER(db::ProcedureCall& call);

// The text of the n-th number of a series: "P" or "G" and at least eight digits.
QString poNumberText(bool gk, qint64 n);

// Adds both procedures to the registry when they are not there yet.
void registerNumberProcedures(db::ProcedureRegistry& registry = db::ProcedureRegistry::global());

} // namespace kemnoa::output
