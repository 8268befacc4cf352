#pragma once
// Draws a document's pages with QPainter: on a PDF file, or on any paged device (a printer).
// Needs a QGuiApplication (fonts); the job runner starts one on the offscreen platform.

#include "platform/report/report.h"

class QPagedPaintDevice;

namespace kemnoa::report {

// Sets the device's page size from the layout and draws every page. Returns false when the device
// could not be painted on (a printer that is not there, a file that cannot be written).
bool renderDocument(const Document& document, QPagedPaintDevice& device);

// Writes the document as a PDF file; throws Error when the file cannot be written.
void writePdf(const Document& document, const QString& path);

// One page drawn with its own layout: documents whose pages differ in paper and content (labels of
// several layouts in one file).
struct LayoutPage {
    const Layout* layout = nullptr;
    PageValues values;
};

// Draws every page, each on its layout's paper. Pictures are read once per file, so a picture
// repeated on many pages is stored once in a PDF. Returns false as renderDocument does.
bool renderPages(const std::vector<LayoutPage>& pages, QPagedPaintDevice& device);

// Writes the pages as a PDF file; throws Error when the file cannot be written.
void writePdf(const std::vector<LayoutPage>& pages, const QString& title, const QString& path);

} // namespace kemnoa::report
