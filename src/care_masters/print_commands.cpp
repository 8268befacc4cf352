#include "care_masters/print_commands.h"

#include "care_masters/master_printing.h"
#include "core/connection_lease.h"
#include "core/connections.h"
#include "core/error.h"
#include "core/printer.h"
#include "platform/report/render.h"
#include "platform/report/spool.h"

#include <QGuiApplication>
#include <QTextStream>

namespace kemnoa::care_masters {
namespace {

struct PrintArgs {
    bool request = false;
    const MasterKind* kind = nullptr;
    QString pdf;
    QString from;
    QString to;
    bool range = false;
    QStringList keys; // listing keys, or the request's ID
};

PrintArgs parse(const QStringList& args) {
    PrintArgs p;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--pdf") || a == QLatin1String("--from") || a == QLatin1String("--to")) {
            if (i + 1 >= args.size())
                throw core::JobUsageError();
            const QString& v = args[++i];
            if (a == QLatin1String("--pdf"))
                p.pdf = v;
            else if (a == QLatin1String("--from"))
                p.from = v, p.range = true;
            else
                p.to = v, p.range = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            throw core::JobUsageError();
        } else {
            rest << a;
        }
    }
    if (!rest.isEmpty() && rest.first() == QLatin1String("request")) {
        p.request = true;
        rest.removeFirst();
    }
    if (rest.isEmpty() || !(p.kind = kindByName(rest.takeFirst())))
        throw core::JobUsageError();
    p.keys = rest;
    if (p.request && (p.keys.size() != 1 || p.range))
        throw core::JobUsageError();
    if (p.range && !p.keys.isEmpty())
        throw core::JobUsageError();
    return p;
}

} // namespace

core::Outcome runPrintCommand(core::JobContext& context, const QStringList& args) {
    const PrintArgs p = parse(args);
    qint32 id = 0;
    if (p.request) {
        bool ok = false;
        id = p.keys.first().toInt(&ok);
        if (!ok)
            throw core::JobUsageError();
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // Drawing text needs the font database, which only a GUI application has.
        context.prompter.message(QStringLiteral("印刷にはGUIアプリケーションが必要です。"),
                                 QStringLiteral("print"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    core::ConnectionLease work(core::KindWork, context.prompter);
    if (!work.ok())
        return core::Outcome::Failed;

    QString printer;
    report::DocumentReport::Deliver deliver;
    report::DocumentReport::PrinterCheck accepts;
    if (!p.pdf.isEmpty()) {
        printer = QStringLiteral("PDF");
        deliver = [&p](const report::Document& doc) { report::writePdf(doc, p.pdf); };
    } else {
        // The program's current printer, else the one its environment names, else the spooler's default.
        printer = core::currentPrinter();
        for (const char* variable : {"PRINTER", "LPDEST"})
            if (printer.isEmpty())
                printer = qEnvironmentVariable(variable);
        if (printer.isEmpty())
            printer = report::spoolerDefaultQueue();
        accepts = [](const QString& name) {
            return !name.isEmpty() && report::spoolerQueues().contains(name);
        };
        deliver = [](const report::Document& doc) { report::spoolDocument(doc, doc.printerName); };
    }
    report::DocumentReport control(deliver, accepts);
    const int endedBefore = control.jobsEnded();
    if (p.request) {
        printRequest(*p.kind, {control, printer}, context.prompter, work.connection(), id);
    } else {
        const QString statement =
            p.range ? rangeStatement(*p.kind, p.from, p.to) : listingStatement(*p.kind, p.keys);
        printListing(*p.kind, {control, printer}, context.prompter, work.connection(), statement);
    }
    if (control.jobsEnded() == endedBefore)
        return core::Outcome::Failed; // the message box has said why
    const qsizetype pages = control.lastDocument().pages.size();
    core::jobOutput(context) << (p.pdf.isEmpty() ? printer : p.pdf) << ": " << pages
                             << (pages == 1 ? " page" : " pages") << Qt::endl;
    return core::Outcome::Done;
}

} // namespace kemnoa::care_masters
