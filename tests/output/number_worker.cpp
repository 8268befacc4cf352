// A separate program asking the PO database for numbers, for the concurrency test: every call on its
// own connection's procedure, as one workstation would.
//   number_worker PROVIDER SERVER DATABASE USER COUNT
// Prints one issued number per line; exits 1 at the first failed call.

#include "output/po_number_procedures.h"
#include "platform/db/command.h"
#include "platform/db/connection.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

using namespace kemnoa;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return 2;
    db::ConnectionSettings s;
    s.provider = args[1];
    s.server = args[2];
    s.database = args[3];
    s.user = args[4];
    s.kind = db::DatabaseKind::Po;
    s.timeoutSeconds = 60;
    db::Connection c;
    c.open(s);
    output::registerNumberProcedures();
    QTextStream out(stdout);
    const int count = args[5].toInt();
    for (int i = 0; i < count; ++i) {
        db::Command cmd(c, i % 3 == 0 ? QStringLiteral("GET_GK_NUMBER") : QStringLiteral("GET_PO_NUMBER"),
                        50);
        cmd.addParameter(QStringLiteral("@KUBUN"), db::ParamType::VarChar, db::ParamDirection::Input, 50,
                         QStringLiteral("V001"));
        cmd.addParameter(QStringLiteral("@PONO"), db::ParamType::VarChar, db::ParamDirection::InputOutput, 50,
                         QStringLiteral(""));
        cmd.addParameter(QStringLiteral("@errMsg"), db::ParamType::VarChar, db::ParamDirection::Output, 4000);
        cmd.execute();
        if (cmd.returnValue() != 0) {
            fprintf(stderr, "%s\n", qPrintable(cmd.value(QStringLiteral("@errMsg")).toString()));
            return 1;
        }
        out << cmd.value(QStringLiteral("@PONO")).toString() << '\n';
    }
    return 0;
}
