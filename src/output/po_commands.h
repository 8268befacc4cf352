#pragma once
// The job runner's commands of PO issue: numbering over listed orders, the print and production rows
// of a PO, the PO database and production-control database updates, and the list of POs.

#include "core/job.h"

namespace kemnoa::output {

// number [--all|ORD_NO...]: without arguments lists the orders ready for numbering; with --all or
// order numbers runs the numbering over those orders and prints each order's PO number and kind.
core::Outcome runNumberCommand(core::JobContext& ctx, const QStringList& args);
// po-rows [PO KBN]: rebuilds the print rows, then the production rows, of one PO or of every unsent one.
core::Outcome runPoRowsCommand(core::JobContext& ctx, const QStringList& args);
// po-db [PO KBN], sk-db [PO KBN]: the PO database or production-control update of one PO or of every
// unsent one.
core::Outcome runPoDbCommand(core::JobContext& ctx, const QStringList& args);
core::Outcome runSkDbCommand(core::JobContext& ctx, const QStringList& args);
// create-po [--all|PO KBN...]: without arguments lists the POs ready for the factory; with --all or PO
// number and kind pairs runs the PO creation over those POs and prints each one's state, folder and
// archive.
core::Outcome runCreatePoCommand(core::JobContext& ctx, const QStringList& args);
// pos: every PO with its kind, orders, send state and print count.
core::Outcome runPosCommand(core::JobContext& ctx, const QStringList& args);

} // namespace kemnoa::output
