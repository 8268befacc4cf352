#pragma once
// The label renderer: the print rows of one CSV file drawn as one label image (one page) per row,
// each on the layout of its LAYOUT code in the label environment, written as a vector PDF with its
// fonts embedded, or as PostScript (the PDF through Ghostscript's ps2write). The program's own
// replacement of the label-printing application: the kemnoa-label program and the PDF output run it.
// Needs a QGuiApplication (fonts).

#include "output/label/print_record.h"
#include "platform/report/render.h"

#include <QString>
#include <vector>

namespace kemnoa::label {

enum class LabelFormat { Pdf, PostScript };

struct LabelRun {
    QString environment;   // the environment value (TagEnv, CarEnv): a folder of layouts
    QString csvFile;       // the print-data file
    QString programFolder; // relative environments and the care-symbol pictures (BMP/) lie here
    LabelFormat format = LabelFormat::Pdf;
    QString outputFile;
};

// Renders every row of the file; returns the number of labels. Throws Error (a missing or
// unreadable file, layout or folder, a line that cannot be parsed, an output that cannot be
// written); nothing is left at the output path then.
int renderLabels(const LabelRun& run);

// The label pages of the records over their layouts (for tests and the benchmark); the layouts
// object must outlive the pages.
class LabelLayouts;
std::vector<report::LayoutPage> labelPages(const std::vector<PrintRecord>& records, LabelLayouts& layouts,
                                           const QString& bmpFolder);

} // namespace kemnoa::label
