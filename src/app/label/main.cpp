// kemnoa-label ENV CSV [@] [-o FILE]: draws the print rows of CSV on the layouts of the label
// environment ENV, one label a page. Without "@" it prints to the PDF writer: a PDF at the file
// the writer is set to (KEMNOA_PDFWRITER_FILE). With "@" it prints to the PostScript printer: a
// PostScript file at the printer's port (KEMNOA_PRINTER_PORT). "-o FILE" names the file itself
// (PostScript when it ends in ".ps"). Exit status: 0 done, 1 failed (why on standard error), 2 usage.

#include "core/program_folder.h"
#include "output/label/label_renderer.h"
#include "platform/base/error.h"

#include <QGuiApplication>
#include <QTextStream>

using namespace kemnoa;

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // fonts without a display
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    label::LabelRun run;
    bool postScript = false;
    QString output;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("-o") && i + 1 < args.size())
            output = args[++i];
        else if (args[i] == QLatin1String("@"))
            postScript = true;
        else
            positional << args[i];
    }
    if (positional.size() != 2) {
        err << "usage: kemnoa-label ENV CSV [@] [-o FILE]" << Qt::endl;
        return 2;
    }
    run.environment = positional[0];
    run.csvFile = positional[1];
    run.programFolder = core::programFolder();
    if (!output.isEmpty()) {
        postScript = output.endsWith(QLatin1String(".ps"), Qt::CaseInsensitive);
    } else {
        output = qEnvironmentVariable(postScript ? "KEMNOA_PRINTER_PORT" : "KEMNOA_PDFWRITER_FILE");
        if (output.isEmpty()) {
            err << "kemnoa-label: " << (postScript ? "KEMNOA_PRINTER_PORT" : "KEMNOA_PDFWRITER_FILE")
                << " names no output file" << Qt::endl;
            return 1;
        }
    }
    run.format = postScript ? label::LabelFormat::PostScript : label::LabelFormat::Pdf;
    run.outputFile = output;
    try {
        const int labels = label::renderLabels(run);
        QTextStream(stdout) << output << ": " << labels << (labels == 1 ? " label" : " labels") << Qt::endl;
    } catch (const Error& e) {
        err << "kemnoa-label: " << e.text() << Qt::endl;
        return 1;
    }
    return 0;
}
