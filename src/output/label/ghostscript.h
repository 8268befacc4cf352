#pragma once
// Conversions between PDF and PostScript with Ghostscript (`gs`), the PostScript printer's driver
// and the distiller of the program's label output.

#include <QString>

namespace kemnoa::label {

// Writes the PDF as a PostScript file (device ps2write). Throws Error with Ghostscript's own
// message when it fails.
void pdfToPostScript(const QString& pdf, const QString& postScript);
// Distils the PostScript file into a PDF file (device pdfwrite). Throws Error likewise.
void postScriptToPdf(const QString& postScript, const QString& pdf);

} // namespace kemnoa::label
