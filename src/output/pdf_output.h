#pragma once
// The label print images of a PO as PDF files in its output folder, one per product kind (hang tags
// "TAG", then care labels "CAR"), named after the kind's first PO line. The print rows go into a
// CSV file in the confirmation folder; the label application draws them: the program named by
// AppExe, or the program's own renderer in process when AppExe is empty. Two methods:
// - MF_PdfWriterMake prints to the program's PDF writer ("Acrobat PDFWriter"), set beforehand to
//   the PDF's path;
// - MF_DistillerMake prints PostScript into the PostScript printer's port file (PrinterPort),
//   watches for it, keeps a copy in the confirmation folder and distils it into the PDF.
// docs/labels.md describes the files and settings.

#include "core/outcome.h"
#include "core/printer.h"
#include "core/prompter.h"
#include "core/session.h"
#include "platform/db/connection.h"

#include <QString>
#include <QStringList>

namespace kemnoa::output {

inline const QString kPdfWriterName = QStringLiteral("Acrobat PDFWriter");

// The printers the label output can use: the system's, the program's PDF writer (unless the
// settings switch it off) and the PostScript printer PrinterNm when it has a port file.
class LabelPrinters : public core::PrinterQuery {
public:
    LabelPrinters(const core::PrinterQuery* system, const core::Session& session);
    QStringList printerNames() const override;
    QString defaultPrinterName() const override;

private:
    const core::PrinterQuery* system_;
    const core::Session& session_;
};

// How the watch for the PostScript printer's file waits: a check every intervalMs; the first
// message after firstMessageMs, giving up after giveUpMs.
struct WatchTiming {
    int intervalMs = 50;
    int firstMessageMs = 5000;
    int giveUpMs = 20000;
};

struct PdfRun {
    core::Prompter& prompter;
    db::Connection& work;
    const core::Session& session;
    const core::PrinterQuery* printers = nullptr; // the system's printers; none when null
    WatchTiming watch;
};

// 0-style results as outcomes: Done when every kind with print rows got its PDF, DoneWithFailures
// when some did not (each reported), Failed when nothing could be printed (no printer at all, the
// PDF writer missing or switched off, the PostScript printer missing, a PO number that cannot name
// a folder).
core::Outcome MF_PdfWriterMake(PdfRun& run, const QString& poNo, const QString& poKbn);
core::Outcome MF_DistillerMake(PdfRun& run, const QString& poNo, const QString& poKbn);

// Sets the PDF writer's output file and runs the label application over the CSV file, waiting for
// it to end. False (after a message) when the application failed or wrote no PDF.
bool MP_PdfWriterPrint(PdfRun& run, const QString& app, const QString& environment, const QString& csvFile,
                       const QString& outputFolder, const QString& pdfName);

// Waits until the file exists with a size that stays the same over one check; shows
// "5000回も監視したのにまだなの～" once after firstMessageMs and gives up with
// "20000回も監視したのでやめます" after giveUpMs (both titled with the path). True when found.
bool watchPrinterFile(core::Prompter& prompter, const QString& path, const WatchTiming& timing);

// The PDF writer's output file (what MP_PdfWriterPrint set last).
QString pdfWriterFile();

} // namespace kemnoa::output
