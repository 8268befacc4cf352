// The jobs of PO issue and the factory's output: PO numbering (code 203), the PO creation run (code 205)
// and the job runner's commands for a PO's rows and databases.

#include "output/jobs.h"

#include "core/connections.h"
#include "output/confirm_data.h"
#include "output/po_commands.h"

namespace kemnoa::output {

void addOutputJobs(core::JobTable& table) {
    table.add(
        {.name = QStringLiteral("number"),
         .menuCode = 203,
         .usage = QStringLiteral("[--all|ORD_NO...]"),
         .summary = QStringLiteral("list the orders ready for PO numbers, or number all or the listed ones"),
         .connections = {core::KindWork, core::KindPo},
         .maxArgs = -1,
         .run = runNumberCommand});
    table.add(
        {.name = QStringLiteral("po-rows"),
         .usage = QStringLiteral("[PO KBN]"),
         .summary = QStringLiteral("rebuild the print and production rows of a PO (or of every unsent PO)"),
         .connections = {core::KindWork, core::KindOffice},
         .maxArgs = 2,
         .run = runPoRowsCommand});
    table.add({.name = QStringLiteral("po-db"),
               .usage = QStringLiteral("[PO KBN]"),
               .summary = QStringLiteral("write a PO (or every unsent PO) to the PO database"),
               .connections = {core::KindWork, core::KindPo},
               .maxArgs = 2,
               .run = runPoDbCommand});
    table.add(
        {.name = QStringLiteral("sk-db"),
         .usage = QStringLiteral("[PO KBN]"),
         .summary = QStringLiteral("write a PO (or every unsent PO) to the production-control database"),
         .connections = {core::KindWork, core::KindSk},
         .maxArgs = 2,
         .run = runSkDbCommand});
    table.add({.name = QStringLiteral("confirm-data"),
               .menuCode = 204,
               .usage = QStringLiteral("[--method pdfwriter|distiller] [--all|PO KBN...]"),
               .summary = QStringLiteral(
                   "list the POs for confirmation data, or make the label PDFs of all or the listed ones"),
               .connections = {core::KindWork},
               .maxArgs = -1,
               .run = runConfirmDataCommand});
    table.add({.name = QStringLiteral("create-po"),
               .menuCode = 205,
               .usage = QStringLiteral("[--all|PO KBN...]"),
               .summary = QStringLiteral(
                   "list the POs ready for the factory, or build and send all or the listed ones"),
               .connections = {core::KindWork, core::KindPo, core::KindSk},
               .maxArgs = -1,
               .run = runCreatePoCommand});
    table.add({.name = QStringLiteral("pos"),
               .summary = QStringLiteral("list the POs with their kinds, orders, send state and print count"),
               .connections = {core::KindWork},
               .run = runPosCommand});
}

} // namespace kemnoa::output
