#pragma once
// Confirmation data "確認データ作成": for every chosen PO the server rebuilds its print rows and
// production rows, the label PDFs are made with the chosen method, and the PO's orders count one
// more print (PRN_SU). POs never printed are chosen when the list opens.

#include "core/job.h"
#include "output/pdf_output.h"

#include <vector>

namespace kemnoa::output {

struct KakuninRow {
    QString poNo;
    QString poKbn;
    QString kiboDate;
    qint32 prnSu = 0;
    bool chk = true;
};

enum class PdfMethod { PdfWriter, Distiller };

// The unsent, error-free, numbered POs, once per requested date and print count, by PO number and
// kind; ticked when never printed. Throws Error.
std::vector<KakuninRow> loadKakuninList(db::Connection& work);

// Runs the ticked rows in list order (a PO ticked on several rows runs once). A PO whose print or
// production rows cannot be rebuilt gets no PDFs and no print count; the run goes on with the next
// PO and its closing message names the POs left out. Done when every PO ran without a failure.
core::Outcome runKakunin(PdfRun& run, const std::vector<KakuninRow>& rows, PdfMethod method);

// confirm-data [--method pdfwriter|distiller] [--all|PO KBN...]: without POs lists the candidates;
// --all runs every listed PO, PO KBN pairs run those.
core::Outcome runConfirmDataCommand(core::JobContext& ctx, const QStringList& args);

} // namespace kemnoa::output
