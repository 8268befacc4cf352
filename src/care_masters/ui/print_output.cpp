#include "care_masters/ui/print_output.h"

#include "core/ui/qt_printer_query.h"
#include "platform/report/render.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

namespace kemnoa::care_masters {

void previewAndPrint(const report::Document& document, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(document.title);
    if (!document.printerName.isEmpty())
        printer.setPrinterName(document.printerName);
    else
        core::ui::applyCurrentPrinter(printer);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(document.title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&document](QPrinter* p) { report::renderDocument(document, *p); });
    preview.exec();
}

std::unique_ptr<report::DocumentReport> screenReport(PrintSink sink, const core::PrinterQuery* printers) {
    report::DocumentReport::PrinterCheck accepts;
    if (printers)
        accepts = [printers](const QString& name) { return printers->printerNames().contains(name); };
    return std::make_unique<report::DocumentReport>(std::move(sink), std::move(accepts));
}

QString screenPrinterName(const core::PrinterQuery* printers) {
    return printers ? core::currentPrinterName(*printers) : core::currentPrinter();
}

} // namespace kemnoa::care_masters
