#pragma once
// Label tests: a GUI application for the fonts, a program folder with the care-symbol pictures and
// the label environments, print records, and the poppler readers of the PDFs made.

#include "core/program_folder.h"
#include "output/label/print_record.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

namespace kemnoa::test {

// The fonts need a QGuiApplication (offscreen in the tests); made once for the test program.
inline void ensureGuiApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "label-test";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);
}

inline void copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString& f : source.entryList(QDir::Files))
        QFile::copy(source.filePath(f), QDir(to).filePath(f));
    for (const QString& d : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        copyTree(source.filePath(d), QDir(to).filePath(d));
}

// resources/BMP and resources/labels copied into the folder, made the program folder.
inline void prepareLabelFolder(const QString& folder) {
    const QString resources = sourceDir() + QStringLiteral("/resources/");
    copyTree(resources + QStringLiteral("BMP"), folder + QStringLiteral("/BMP"));
    copyTree(resources + QStringLiteral("labels"), folder + QStringLiteral("/labels"));
    core::setProgramFolder(folder);
}

// A print record with the named columns set, every other column empty.
inline label::PrintRecord record(const QMap<QString, QString>& values) {
    label::PrintRecord r;
    for (int i = 0; i < label::kPrintColumns; ++i)
        r << QString();
    for (auto it = values.begin(); it != values.end(); ++it)
        r[label::printColumn(it.key())] = it.value();
    return r;
}

inline QString tool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The PDF's text, every run of white space made one blank.
inline QString pdfText(const QString& pdf) {
    return tool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
        .replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

inline int pdfPages(const QString& pdf) {
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(tool(QStringLiteral("pdfinfo"), {pdf})).captured(1).toInt();
}

// How far two PDFs' first pages look apart: the mean difference of their grey levels (0 ... 255) at
// 30 dpi; -1 when a page could not be drawn or the sizes differ.
inline double pageDifference(const QString& a, const QString& b, const QString& workFolder) {
    QImage images[2];
    const QString pdfs[2] = {a, b};
    for (int i = 0; i < 2; ++i) {
        const QString base = QDir(workFolder).filePath(QStringLiteral("page%1").arg(i));
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-gray"),
                           QStringLiteral("-singlefile"), QStringLiteral("-f"), QStringLiteral("1"),
                           QStringLiteral("-l"), QStringLiteral("1"), pdfs[i], base});
        images[i] = QImage(base + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
    }
    if (images[0].isNull() || images[0].size() != images[1].size())
        return -1;
    double sum = 0;
    for (int y = 0; y < images[0].height(); ++y)
        for (int x = 0; x < images[0].width(); ++x)
            sum += std::abs(int(images[0].constScanLine(y)[x]) - int(images[1].constScanLine(y)[x]));
    return sum / (images[0].width() * images[0].height());
}

inline bool havePoppler() {
    return haveProgram(QStringLiteral("pdftotext")) && haveProgram(QStringLiteral("pdffonts")) &&
           haveProgram(QStringLiteral("pdfimages")) && haveProgram(QStringLiteral("pdfinfo"));
}

} // namespace kemnoa::test
