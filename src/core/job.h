#pragma once
// The job table: every job of the program is one row. The main menu opens a row's window by its
// job code, kemnoa-cli runs a row's headless run function by its command name, and both hold the
// connections the row declares for as long as the job lasts. Adding a job is its row (in its
// subsystem's jobs.cpp), its logic, and its window (in the subsystem's ui library).

#include "core/connection_lease.h"
#include "core/outcome.h"
#include "core/prompter.h"
#include "core/session.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>
#include <vector>

class QTextStream;

namespace kemnoa::core {

class PrinterQuery;

// What a job is handed: where it talks to the user, the session values (read only), the
// connections its row declares (already taken), the printers, and the job runner's output.
struct JobContext {
    Prompter& prompter;
    const Session& session;
    const ConnectionSet& connections;
    const PrinterQuery* printers = nullptr; // null where no printer list is needed
    QTextStream* out = nullptr;             // the job runner's standard output; null in the desktop program
    // What the job did, for the job runner's closing line ("files 2, orders 14, failures 1"); a run
    // sets it when it has counts to tell.
    QString summary;

    // The same context talking through another prompter (a screen's own list and dialogs).
    JobContext with(Prompter& other) const { return {other, session, connections, printers, out, {}}; }
};

// Thrown by a run function for arguments it cannot take; the job runner prints the row's usage.
class JobUsageError : public std::runtime_error {
public:
    explicit JobUsageError(const std::string& what = "usage") : std::runtime_error(what) {}
};

using JobRun = std::function<Outcome(JobContext&, const QStringList& args)>;

struct Job {
    QString name;              // unique; the job runner's command name
    int menuCode = 0;          // the main menu's three-digit job code; 0 when not on the menu
    QString usage;             // the job runner's arguments after the name
    QString summary;           // one line for the job runner's help
    QList<qint32> connections; // connection kinds held while the job runs or its window is open
    bool readsSettings = true; // the settings file is read before the job (MF_FirstSetting)
    // The job runner refuses a run without its work connection; other kinds may be missing, as a
    // job then reports at its first use of them.
    int minArgs = 0;
    int maxArgs = 0; // -1: any number
    // The environment variable whose value answers the job's input box in the job runner (a
    // password); without it the job runner reads the answer from standard input.
    QString inputVariable;
    JobRun run; // the headless run; null for a job that only has a window
};

class JobTable {
public:
    // Adds a row; throws std::logic_error for an empty or repeated name or a repeated menu code.
    void add(Job job);
    const std::vector<Job>& jobs() const { return jobs_; }
    const Job* byName(const QString& name) const;
    const Job* byMenuCode(int code) const;

private:
    std::vector<Job> jobs_;
};

// The connections and the context of one job for its lifetime: a job runner's run, or a window.
class JobScope {
public:
    JobScope(const Job& job, Prompter& prompter, const PrinterQuery* printers = nullptr,
             QTextStream* out = nullptr);
    JobScope(const QList<qint32>& kinds, Prompter& prompter, const PrinterQuery* printers = nullptr,
             QTextStream* out = nullptr);

    JobContext& context() { return context_; }
    const ConnectionSet& connections() const { return connections_; }
    // The work connection is open, or the job declared none.
    bool workReady() const;

private:
    ConnectionSet connections_;
    JobContext context_;
};

// The job runner's standard output, or a stream that discards everything where there is none.
QTextStream& jobOutput(JobContext& context);

// A value from an order file, a database or an archive made fit for the job output: every control
// character replaced (text::printable, never cut), so it can neither split a record nor drive the
// terminal.
QString outputField(const QString& value);
// One record of the job output: the fields made fit (outputField), TAB-separated, then a line feed.
void writeRecord(QTextStream& out, const QStringList& fields);

// Runs a row headless: the settings read (when the row says so), its connections taken, the run,
// the connections released on every way out. Throws JobUsageError for arguments the row refuses.
// The run's summary, when it set one, is copied to *summary.
Outcome runJob(const Job& job, const QStringList& args, Prompter& prompter, QTextStream* out = nullptr,
               const PrinterQuery* printers = nullptr, QString* summary = nullptr);

} // namespace kemnoa::core
