// Commands for Access files: looking into a client's order file and generating order files.
//   kemnoa-cli jet tables FILE            user tables, one a line
//   kemnoa-cli jet columns FILE TABLE     columns with their types
//   kemnoa-cli jet dump FILE TABLE        the rows as CSV: text quoted, Null as an empty field
//   kemnoa-cli make-order-file OUT.mdb [--orders N] [--lines N] [--seed S] [--first-order N]

#include "app/cli/command.h"
#include "core/error.h"
#include "demo/generated_orders.h"
#include "platform/jet/jet_reader.h"

namespace kemnoa::cli {

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

int runJet(CliContext& ctx, const QStringList& args) {
    if (args.size() < 2)
        return ExitUsage;
    const QString& sub = args[0];
    const QString& file = args[1];
    try {
        if (sub == QLatin1String("tables") && args.size() == 2) {
            jet::JetReader reader(file);
            for (const QString& t : reader.tables())
                ctx.out << t << '\n';
            return ExitOk;
        }
        if (sub == QLatin1String("columns") && args.size() == 3) {
            jet::JetReader reader(file);
            for (const jet::Column& c : reader.columns(args[2]))
                ctx.out << c.name << '\t' << jet::columnTypeName(c.type) << '\t' << c.size << '\n';
            return ExitOk;
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
            return ExitOk;
        }
    } catch (const core::Error& e) {
        ctx.out.flush();
        ctx.err << "kemnoa-cli jet: " << e.text() << Qt::endl;
        return ExitFailed;
    }
    return ExitUsage;
}

int runMakeOrderFile(CliContext& ctx, const QStringList& args) {
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
                return ExitUsage;
            options.orders = int(v);
        } else if (a == QLatin1String("--lines")) {
            if (!number(0, 10000, &v))
                return ExitUsage;
            options.linesPerOrder = int(v);
        } else if (a == QLatin1String("--seed")) {
            if (!number(0, 0xffffffffLL, &v))
                return ExitUsage;
            options.seed = quint32(v);
        } else if (a == QLatin1String("--first-order")) {
            if (!number(0, 0x7fffffffLL, &v))
                return ExitUsage;
            options.firstOrderNumber = qint32(v);
        } else if (a.startsWith(QLatin1String("--")) || !out.isEmpty()) {
            return ExitUsage;
        } else {
            out = a;
        }
    }
    if (out.isEmpty())
        return ExitUsage;
    try {
        const auto data = demo::makeOrderFile(out, options);
        ctx.out << out << ": " << data.orderNumbers.size() << " orders";
        if (!data.orderNumbers.empty())
            ctx.out << " (" << data.orderNumbers.front() << " - " << data.orderNumbers.back() << ")";
        ctx.out << Qt::endl;
        return ExitOk;
    } catch (const core::Error& e) {
        ctx.err << "kemnoa-cli make-order-file: " << e.text() << Qt::endl;
        return ExitFailed;
    }
}

} // namespace

void addJetCommands(CommandList& commands) {
    commands.push_back({QStringLiteral("jet"),
                        QStringLiteral("tables FILE | columns FILE TABLE | dump FILE TABLE"),
                        QStringLiteral("list the tables, columns or rows (CSV) of an Access file"), runJet});
    commands.push_back({QStringLiteral("make-order-file"),
                        QStringLiteral("OUT.mdb [--orders N] [--lines N] [--seed S] [--first-order N]"),
                        QStringLiteral("write a client order file with generated orders"), runMakeOrderFile});
}

} // namespace kemnoa::cli
