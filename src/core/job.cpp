#include "core/job.h"

#include "core/connections.h"
#include "core/settings_load.h"
#include "platform/text/printable.h"

#include <QTextStream>
#include <limits>

namespace kemnoa::core {

void JobTable::add(Job job) {
    if (job.name.isEmpty())
        throw std::logic_error("a job without a name");
    if (byName(job.name))
        throw std::logic_error("job name used twice: " + job.name.toStdString());
    if (job.menuCode != 0 && byMenuCode(job.menuCode))
        throw std::logic_error("menu code used twice: " + std::to_string(job.menuCode));
    jobs_.push_back(std::move(job));
}

const Job* JobTable::byName(const QString& name) const {
    for (const Job& job : jobs_)
        if (job.name == name)
            return &job;
    return nullptr;
}

const Job* JobTable::byMenuCode(int code) const {
    if (code == 0)
        return nullptr;
    for (const Job& job : jobs_)
        if (job.menuCode == code)
            return &job;
    return nullptr;
}

JobScope::JobScope(const Job& job, Prompter& prompter, const PrinterQuery* printers, QTextStream* out)
    : JobScope(job.connections, prompter, printers, out) {}

JobScope::JobScope(const QList<qint32>& kinds, Prompter& prompter, const PrinterQuery* printers,
                   QTextStream* out)
    : connections_(kinds, prompter), context_{prompter, session(), connections_, printers, out, {}} {}

bool JobScope::workReady() const {
    return !connections_.kinds().contains(KindWork) || connections_.ok(KindWork);
}

QTextStream& jobOutput(JobContext& context) {
    if (context.out)
        return *context.out;
    static QString discarded;
    static QTextStream none(&discarded);
    discarded.clear();
    return none;
}

QString outputField(const QString& value) {
    return text::printable(value, std::numeric_limits<qsizetype>::max());
}

void writeRecord(QTextStream& out, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out << '\t';
        out << outputField(fields[i]);
    }
    out << '\n';
}

Outcome runJob(const Job& job, const QStringList& args, Prompter& prompter, QTextStream* out,
               const PrinterQuery* printers, QString* summary) {
    if (!job.run || args.size() < job.minArgs || (job.maxArgs >= 0 && args.size() > job.maxArgs))
        throw JobUsageError();
    if (job.readsSettings && failed(MF_FirstSetting(prompter)))
        return Outcome::Failed;
    JobScope scope(job, prompter, printers, out);
    if (!scope.workReady())
        return Outcome::Failed;
    const Outcome outcome = job.run(scope.context(), args);
    if (summary)
        *summary = scope.context().summary;
    return outcome;
}

} // namespace kemnoa::core
