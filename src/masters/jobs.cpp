// The jobs of the reference masters: the master export to the clients (code 310) and the product
// master export (code 306).

#include "masters/jobs.h"

#include "core/connections.h"
#include "core/error.h"
#include "masters/master_export.h"
#include "masters/product_master.h"
#include "masters/reference_master_jobs.h"

namespace kemnoa::masters {
namespace {

// The product master written to the given workbook, or to the desktop one.
core::Outcome runProductExport(core::JobContext& ctx, const QStringList& args) {
    std::vector<ProductRow> rows;
    try {
        rows = loadProducts(core::cnOffice());
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    if (args.isEmpty())
        return exportProducts(ctx.prompter, rows, desktopWorkbookPath());
    return exportProducts(ctx.prompter, rows, args.first(), false);
}

} // namespace

void addMasterJobs(core::JobTable& table) {
    table.add(
        {.name = QStringLiteral("export-masters"),
         .menuCode = 310,
         .summary = QStringLiteral("publish the name-type, material and size masters on the FTP server as "
                                   "MST*.mdb (asks first)"),
         .connections = {core::KindWork},
         .run = [](core::JobContext& ctx, const QStringList&) {
             return runMasterExport(ctx.prompter, core::cnWork());
         }});
    table.add({.name = QStringLiteral("export-products"),
               .menuCode = 306,
               .usage = QStringLiteral("[OUT.xlsx]"),
               .summary = QStringLiteral("write the office-computer product master to a workbook (default: "
                                         "ケムノア商品マスタ.xlsx on the desktop)"),
               .connections = {core::KindOffice},
               .maxArgs = 1,
               .run = runProductExport});
    addReferenceMasterJobs(table);
}

} // namespace kemnoa::masters
