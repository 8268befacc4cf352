#include "output/label/label_renderer.h"

#include "output/label/ghostscript.h"
#include "output/label/label_layouts.h"
#include "output/label/label_values.h"
#include "platform/base/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kemnoa::label {
namespace {

// Qt's PDF writer compresses every page with a fresh zlib stream. glibc gives those few hundred
// kilobytes back to the system at each page's end and maps and clears them again for the next one,
// which took two thirds of the time of a PO's labels; a heap margin of some megabytes keeps them.
void keepHeapMargin() {
#if defined(__GLIBC__)
    static const bool once = [] {
        mallopt(M_TOP_PAD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 128 << 20);
        return true;
    }();
    (void)once;
#endif
}

} // namespace

std::vector<report::LayoutPage> labelPages(const std::vector<PrintRecord>& records, LabelLayouts& layouts,
                                           const QString& bmpFolder) {
    std::vector<report::LayoutPage> pages;
    pages.reserve(records.size());
    const int layoutColumn = printColumn(QStringLiteral("LAYOUT"));
    for (const PrintRecord& record : records)
        pages.push_back(
            {&layouts.forCode(record.value(layoutColumn).trimmed()), labelValues(record, bmpFolder)});
    return pages;
}

int renderLabels(const LabelRun& run) {
    if (run.outputFile.isEmpty())
        throw Error(QStringLiteral("ラベルの出力先が指定されていません。"), errnum::General);
    keepHeapMargin();
    QFile::remove(run.outputFile); // a failed run must not leave an earlier image to pass for its own
    LabelLayouts layouts(environmentFolder(run.environment, run.programFolder));
    const std::vector<PrintRecord> records = readPrintFile(run.csvFile);
    if (records.empty())
        throw Error(QStringLiteral("印刷データに行がありません。(%1)").arg(run.csvFile), errnum::General);
    const QString title = QFileInfo(run.csvFile).completeBaseName();
    const std::vector<report::LayoutPage> pages =
        labelPages(records, layouts, QDir(run.programFolder).filePath(QStringLiteral("BMP")));
    if (run.format == LabelFormat::Pdf) {
        try {
            report::writePdf(pages, title, run.outputFile);
        } catch (const Error&) {
            QFile::remove(run.outputFile);
            throw;
        }
        return int(pages.size());
    }
    QTemporaryDir work;
    if (!work.isValid())
        throw Error(QStringLiteral("作業フォルダを作成できません。"), errnum::PathFileAccess);
    const QString pdf = work.filePath(QStringLiteral("labels.pdf"));
    report::writePdf(pages, title, pdf);
    pdfToPostScript(pdf, run.outputFile);
    return int(pages.size());
}

} // namespace kemnoa::label
