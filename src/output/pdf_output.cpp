#include "output/pdf_output.h"

#include "core/error.h"
#include "core/file_helpers.h"
#include "core/program_folder.h"
#include "output/label/label_renderer.h"
#include "output/label/pdf_assistant.h"
#include "output/label/print_record.h"
#include "platform/db/reader.h"
#include "platform/text/cp932.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QSaveFile>
#include <QThread>
#include <functional>

namespace kemnoa::output {
namespace {

constexpr const char* kPdfWriterVariable = "KEMNOA_PDFWRITER_FILE";
constexpr const char* kPrinterPortVariable = "KEMNOA_PRINTER_PORT";

struct Kind {
    QString code;
    QString environment;
};

std::vector<Kind> kindsOf(const core::Session& s) {
    return {{QStringLiteral("TAG"), s.TagEnv}, {QStringLiteral("CAR"), s.CarEnv}};
}

// Switches the program's current printer for one call and back on every way out.
class PrinterSwitch {
public:
    PrinterSwitch() : remembered_(core::currentPrinter()) {}
    ~PrinterSwitch() { core::setCurrentPrinter(remembered_); }
    PrinterSwitch(const PrinterSwitch&) = delete;
    PrinterSwitch& operator=(const PrinterSwitch&) = delete;

private:
    QString remembered_;
};

// A name that stays one level inside its folder: a PO number, a job name.
bool isPlainName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20)
            return false;
    return true;
}

void report(PdfRun& run, const QString& title, const QString& text) {
    run.prompter.message(text, title, core::MsgIcon::Critical);
}

bool folderReady(PdfRun& run, const QString& title, const QString& folder, const char* key) {
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return true;
    report(run, title,
           QStringLiteral("フォルダが見つかりません。(%1=%2)").arg(QString::fromLatin1(key), folder));
    return false;
}

// The PO's output folder, created when missing and emptied of earlier PDFs, so that neither a kind
// dropped since nor a renamed first line leaves an old image to be packed. Empty text on failure.
QString preparePoFolder(PdfRun& run, const QString& title, const QString& poNo) {
    if (!isPlainName(poNo)) {
        report(run, title, QStringLiteral("PO番号をフォルダ名に使えません。(%1)").arg(poNo));
        return {};
    }
    const QString folder = core::joinPath(run.session.PoFolder, poNo);
    try {
        core::MF_FolderMake(folder);
        const QDir dir(folder);
        for (const QString& name :
             dir.entryList({QStringLiteral("*.pdf"), QStringLiteral("*.PDF")}, QDir::Files))
            if (!QFile::remove(dir.filePath(name)))
                throw core::Error(QStringLiteral("ファイルを削除できません。") + dir.filePath(name),
                                  core::errnum::PermissionDenied);
    } catch (const core::Error& e) {
        report(run, title, e.text());
        return {};
    }
    return core::withSeparator(folder);
}

// The print rows of one kind of the PO, in print order.
db::Reader printRows(PdfRun& run, const QString& poNo, const QString& poKbn, const QString& kind) {
    return run.work.read(
        QStringLiteral("Select * From rcv_csvdata Where PO_NO = ? And PO_KBN = ? And HINSYU_CD = ? "
                       "Order By PO_NO, PO_GYOU, LAYOUT, HINBAN,COLOR_NO,SORT_LV "),
        {poNo, poKbn, kind});
}

// Writes columns 0 ... 79 of every row from the current one on as the print-data file (code page
// 932, CR LF), replacing it whole.
void writePrintCsv(db::Reader& rows, const QString& path) {
    if (rows.columnCount() < label::kPrintColumns)
        throw core::Error(
            QStringLiteral("印刷データ(rcv_csvdata)の列が%1列しかありません。").arg(rows.columnCount()),
            core::errnum::General);
    QByteArray bytes;
    for (; !rows.atEnd(); rows.moveNext()) {
        QStringList values;
        for (int c = 0; c < label::kPrintColumns; ++c)
            values << rows.text(c);
        bytes += text::toCp932(label::printLine(values)) + "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw core::Error(QStringLiteral("ファイルを書けません。") + path, core::errnum::PathFileAccess);
}

// The kind's CSV file in the confirmation folder; returns the job name (first row's PO_NO + "-" +
// PO_GYOU), or empty text when the kind has no rows. Throws Error.
QString writeKindCsv(PdfRun& run, const QString& poNo, const QString& poKbn, const QString& kind,
                     QString* csv) {
    db::Reader rows = printRows(run, poNo, poKbn, kind);
    if (rows.atEnd())
        return {};
    const QString job =
        rows.text(QStringLiteral("PO_NO")) + QLatin1Char('-') + rows.text(QStringLiteral("PO_GYOU"));
    if (!isPlainName(job))
        throw core::Error(QStringLiteral("ジョブ名をファイル名に使えません。(%1)").arg(job),
                          core::errnum::General);
    *csv = core::joinPath(run.session.KakuninFolder, job + QStringLiteral(".csv"));
    writePrintCsv(rows, *csv);
    return job;
}

// Runs a program and waits for its end, letting the user interface work between polls. Returns
// its exit code, or -1 when it could not start or crashed; *output gets what it wrote.
int runAndWait(core::Prompter& prompter, const QString& program, const QStringList& args, QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // The application reads the program folder's environments and pictures, as the program does.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KEMNOA_HOME"), core::programFolder());
    process.setProcessEnvironment(environment);
    process.start(program, args);
    if (!process.waitForStarted()) {
        *output = process.errorString();
        return -1;
    }
    while (!process.waitForFinished(50))
        prompter.processEvents();
    *output = QString::fromLocal8Bit(process.readAll()).trimmed();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The label application over one CSV file: AppExe, else the renderer in process. postScript: the
// " @" run that prints into the PostScript printer's port. False after a message when it failed.
bool runLabelApplication(PdfRun& run, const QString& title, const QString& environment, const QString& csv,
                         bool postScript) {
    const QString app = run.session.AppExe.trimmed();
    if (!app.isEmpty()) {
        QStringList args{environment, csv};
        if (postScript)
            args << QStringLiteral("@");
        QString output;
        const int rc = runAndWait(run.prompter, app, args, &output);
        if (rc != 0) {
            report(run, title, QStringLiteral("ラベルを印刷できません。(%1)\r\n%2").arg(app, output));
            return false;
        }
        return true;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        report(run, title, QStringLiteral("ラベルの描画にはGUIアプリケーションが必要です。"));
        return false;
    }
    label::LabelRun labels;
    labels.environment = environment;
    labels.csvFile = csv;
    labels.programFolder = core::programFolder();
    labels.format = postScript ? label::LabelFormat::PostScript : label::LabelFormat::Pdf;
    labels.outputFile = postScript ? run.session.PrinterPort : pdfWriterFile();
    try {
        run.prompter.processEvents();
        (void)label::renderLabels(labels);
    } catch (const core::Error& e) {
        report(run, title, e.text());
        return false;
    }
    return true;
}

bool assistant(PdfRun& run, const QStringList& args) {
    QString why;
    if (label::pdfAssistant(args, &why) == 0)
        return true;
    report(run, QStringLiteral("pdf_assistant"), why);
    return false;
}

} // namespace

LabelPrinters::LabelPrinters(const core::PrinterQuery* system, const core::Session& session)
    : system_(system), session_(session) {}

QStringList LabelPrinters::printerNames() const {
    QStringList names = system_ ? system_->printerNames() : QStringList();
    if (!session_.PdfWriterOff && !names.contains(kPdfWriterName))
        names << kPdfWriterName;
    if (!session_.PrinterNm.isEmpty() && !session_.PrinterPort.isEmpty() &&
        !names.contains(session_.PrinterNm))
        names << session_.PrinterNm;
    return names;
}

QString LabelPrinters::defaultPrinterName() const {
    const QString system = system_ ? system_->defaultPrinterName() : QString();
    return system.isEmpty() ? printerNames().value(0) : system;
}

QString pdfWriterFile() {
    return qEnvironmentVariable(kPdfWriterVariable);
}

bool MP_PdfWriterPrint(PdfRun& run, const QString& app, const QString& environment, const QString& csvFile,
                       const QString& outputFolder, const QString& pdfName) {
    (void)app; // the session's AppExe, read where the application is started
    const QString pdf = outputFolder + pdfName;
    // The writer's output file: the process environment, which the label application inherits.
    qputenv(kPdfWriterVariable, pdf.toLocal8Bit());
    if (!runLabelApplication(run, QStringLiteral("MP_PdfWriterPrint"), environment, csvFile, false))
        return false;
    if (!QFileInfo(pdf).isFile()) {
        report(run, QStringLiteral("MP_PdfWriterPrint"),
               QStringLiteral("PDFファイルが作成されませんでした。(%1)").arg(pdf));
        return false;
    }
    return true;
}

namespace {
// Writes each kind's print rows and hands them to `print`; a kind without rows is passed over. The
// number of kinds whose rows could not be written or printed.
int forEachKind(PdfRun& run, const QString& title, const QString& poNo, const QString& poKbn,
                const std::function<bool(const Kind&, const QString& csv, const QString& job)>& print) {
    int failures = 0;
    for (const Kind& kind : kindsOf(run.session)) {
        QString csv;
        QString job;
        try {
            job = writeKindCsv(run, poNo, poKbn, kind.code, &csv);
        } catch (const core::Error& e) {
            report(run, title, e.text());
            ++failures;
            continue;
        }
        if (!job.isEmpty() && !print(kind, csv, job))
            ++failures;
    }
    return failures;
}
} // namespace

core::Outcome MF_PdfWriterMake(PdfRun& run, const QString& poNo, const QString& poKbn) {
    const QString title = QStringLiteral("MF_PdfWriterMake");
    const LabelPrinters printers(run.printers, run.session);
    if (core::currentPrinterName(printers).isEmpty()) {
        run.prompter.message(QStringLiteral("プリンタが一つも見つかりません。"), QStringLiteral("印刷不可能"),
                             core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    if (!printers.printerNames().contains(kPdfWriterName)) {
        run.prompter.message(QStringLiteral("Acrobat PDFWriterがインストールされていません。"), QString(),
                             core::MsgIcon::None);
        return core::Outcome::Failed;
    }
    if (poNo.isEmpty())
        return core::Outcome::Done; // nothing to print
    if (!folderReady(run, title, run.session.KakuninFolder, "KAKUNIN_FOLDER"))
        return core::Outcome::Failed;
    const QString poFolder = preparePoFolder(run, title, poNo);
    if (poFolder.isEmpty())
        return core::Outcome::Failed;
    PrinterSwitch restore;
    if (core::MF_PrinterSet(kPdfWriterName, printers, run.prompter) != 0)
        return core::Outcome::Failed;
    const int failures =
        forEachKind(run, title, poNo, poKbn, [&](const Kind& kind, const QString& csv, const QString& job) {
            run.prompter.processEvents();
            return MP_PdfWriterPrint(run, run.session.AppExe, kind.environment, csv, poFolder,
                                     job + QStringLiteral(".pdf"));
        });
    return failures == 0 ? core::Outcome::Done : core::Outcome::DoneWithFailures;
}

core::Outcome MF_DistillerMake(PdfRun& run, const QString& poNo, const QString& poKbn) {
    const QString title = QStringLiteral("MF_DistillerMake");
    const LabelPrinters printers(run.printers, run.session);
    PrinterSwitch restore;
    if (core::MF_PrinterSet(run.session.PrinterNm, printers, run.prompter) != 0)
        return core::Outcome::Failed; // no PostScript printer with a port file to print into
    int failures = 0;
    if (!poNo.isEmpty()) {
        if (!folderReady(run, title, run.session.KakuninFolder, "KAKUNIN_FOLDER"))
            return core::Outcome::Failed;
        const QString poFolder = preparePoFolder(run, title, poNo);
        if (poFolder.isEmpty())
            return core::Outcome::Failed;
        const QString port = run.session.PrinterPort;
        qputenv(kPrinterPortVariable, port.toLocal8Bit());
        failures += forEachKind(
            run, title, poNo, poKbn, [&](const Kind& kind, const QString& csv, const QString& job) {
                // The port file of an earlier job must not pass for this job's output.
                if (QFileInfo::exists(port) && !QFile::remove(port)) {
                    report(run, title, QStringLiteral("ファイルを削除できません。") + port);
                    return false;
                }
                if (!runLabelApplication(run, title, kind.environment, csv, true) ||
                    !watchPrinterFile(run.prompter, port, run.watch)) {
                    QFile::remove(port);
                    return false; // the kind gets no PDF
                }
                const QString ps = core::joinPath(run.session.KakuninFolder, job + QStringLiteral(".ps"));
                QFile::remove(ps);
                const bool copied = QFile::copy(port, ps);
                QFile::remove(port);
                if (!copied) {
                    report(run, title, QStringLiteral("ファイルをコピーできません。") + ps);
                    return false;
                }
                return assistant(run, {QStringLiteral("B"), run.session.ComputerName, ps, poFolder,
                                       job + QStringLiteral(".pdf")});
            });
    }
    if (!assistant(run, {QStringLiteral("A"), run.session.ComputerName}))
        ++failures;
    return failures == 0 ? core::Outcome::Done : core::Outcome::DoneWithFailures;
}

bool watchPrinterFile(core::Prompter& prompter, const QString& path, const WatchTiming& timing) {
    QElapsedTimer clock;
    clock.start();
    bool warned = false;
    qint64 lastSize = -1;
    for (;;) {
        const QFileInfo info(path);
        if (!path.isEmpty() && info.isFile() && info.size() > 0) {
            if (info.size() == lastSize)
                return true; // it stopped growing: the printer has finished writing it
            lastSize = info.size();
        } else {
            lastSize = -1;
        }
        if (clock.elapsed() >= timing.giveUpMs) {
            prompter.message(QStringLiteral("20000回も監視したのでやめます"), path, core::MsgIcon::None);
            return false;
        }
        if (lastSize < 0 && !warned && clock.elapsed() >= timing.firstMessageMs) {
            warned = true;
            prompter.message(QStringLiteral("5000回も監視したのにまだなの～"), path, core::MsgIcon::None);
        }
        QThread::msleep(static_cast<unsigned long>(timing.intervalMs));
        prompter.processEvents();
    }
}

} // namespace kemnoa::output
