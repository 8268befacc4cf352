// Commands for Access files: looking into a client's order file and generating order files.
//   kemnoa-cli jet tables FILE            user tables, one a line
//   kemnoa-cli jet columns FILE TABLE     columns with their types
//   kemnoa-cli jet dump FILE TABLE        the rows as CSV: text quoted, Null as an empty field
//   kemnoa-cli make-order-file OUT.mdb [--orders N] [--lines N] [--seed S] [--first-order N]

#include "app/jobs/tool_jobs.h"
#include "core/error.h"
#include "demo/generated_orders.h"
#include "platform/jet/jet_reader.h"

namespace kemnoa::jobs {

namespace {

// A CSV field: text between double quotes (quotes doubled), numbers bare, Null empty and unquoted,
// so an empty text ("") is told apart from Null.
QString csvField(const jet::Value& v) {
    if (v.isNull())
        return QString();
    if (v.kind() == jet::Value::Kind::Text || v.kind() == jet::Value::Kind::DateTime) {
        QString s = v.toText();
        s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + s + QLatin1Char('"');
    }
    return v.toText();
}

core::Outcome runJet(ToolContext& ctx, const QStringList& args) {
    if (args.size() < 2)
        throw core::JobUsageError();
    const QString& sub = args[0];
    const QString& file = args[1];
    try {
        if (sub == QLatin1String("tables") && args.size() == 2) {
            jet::JetReader reader(file);
            for (const QString& t : reader.tables())
                ctx.out << t << '\n';
            return core::Outcome::Done;
        }
        if (sub == QLatin1String("columns") && args.size() == 3) {
            jet::JetReader reader(file);
            for (const jet::Column& c : reader.columns(args[2]))
                ctx.out << c.name << '\t' << jet::columnTypeName(c.type) << '\t' << c.size << '\n';
            return core::Outcome::Done;
        }
        if (sub == QLatin1String("dump") && args.size() == 3) {
            jet::JetReader reader(file);
            const auto columns = reader.columns(args[2]);
            QStringList header;
            for (const jet::Column& c : columns)
                header << csvField(jet::Value::text(c.name));
            ctx.out << header.join(QLatin1Char(',')) << '\n';
            reader.forEachRow(args[2], [&](const jet::Row& row) {
                QStringList fields;
                for (const jet::Value& v : row)
                    fields << csvField(v);
                ctx.out << fields.join(QLatin1Char(',')) << '\n';
            });
            return core::Outcome::Done;
        }
    } catch (const core::Error& e) {
        ctx.out.flush();
        ctx.prompter.message(e.text(), QStringLiteral("jet"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    throw core::JobUsageError();
}

core::Outcome runMakeOrderFile(ToolContext& ctx, const QStringList& args) {
    demo::Options options;
    QString out;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto number = [&](qint64 lo, qint64 hi, qint64* value) {
            if (i + 1 >= args.size())
                return false;
            bool ok = false;
            *value = args[++i].toLongLong(&ok);
            return ok && *value >= lo && *value <= hi;
        };
        qint64 v = 0;
        if (a == QLatin1String("--orders")) {
            if (!number(0, 1000000, &v))
                throw core::JobUsageError();
            options.orders = int(v);
        } else if (a == QLatin1String("--lines")) {
            if (!number(0, 10000, &v))
                throw core::JobUsageError();
            options.linesPerOrder = int(v);
        } else if (a == QLatin1String("--seed")) {
            if (!number(0, 0xffffffffLL, &v))
                throw core::JobUsageError();
            options.seed = quint32(v);
        } else if (a == QLatin1String("--first-order")) {
            if (!number(0, 0x7fffffffLL, &v))
                throw core::JobUsageError();
            options.firstOrderNumber = qint32(v);
        } else if (a.startsWith(QLatin1String("--")) || !out.isEmpty()) {
            throw core::JobUsageError();
        } else {
            out = a;
        }
    }
    if (out.isEmpty())
        throw core::JobUsageError();
    try {
        const auto data = demo::makeOrderFile(out, options);
        ctx.out << out << ": " << data.orderNumbers.size() << " orders";
        if (!data.orderNumbers.empty())
            ctx.out << " (" << data.orderNumbers.front() << " - " << data.orderNumbers.back() << ")";
        ctx.out << Qt::endl;
        return core::Outcome::Done;
    } catch (const core::Error& e) {
        ctx.prompter.message(e.text(), QStringLiteral("make-order-file"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
}

} // namespace

void addJetJobs(core::JobTable& table) {
    table.add({.name = QStringLiteral("jet"),
               .usage = QStringLiteral("tables FILE | columns FILE TABLE | dump FILE TABLE"),
               .summary = QStringLiteral("list the tables, columns or rows (CSV) of an Access file"),
               .readsSettings = false,
               .minArgs = 2,
               .maxArgs = 3,
               .run = toolRun(runJet)});
    table.add({.name = QStringLiteral("make-order-file"),
               .usage = QStringLiteral("OUT.mdb [--orders N] [--lines N] [--seed S] [--first-order N]"),
               .summary = QStringLiteral("write a client order file with generated orders"),
               .readsSettings = false,
               .minArgs = 1,
               .maxArgs = -1,
               .run = toolRun(runMakeOrderFile)});
}

} // namespace kemnoa::jobs
