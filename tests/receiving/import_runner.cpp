// The import command over a receive folder into a SQLite work database, run as its own process so
// that a test can kill it part-way. Prints one "." after each committed order.
// Usage: import_runner FOLDER WORK.db PO.db   (exit 0 when the command ran to its end)

#include "core/error.h"
#include "core/prompter.h"
#include "maintenance/err_data_make_procedure.h"
#include "maintenance/server_procedures.h"
#include "platform/db/connection.h"
#include "receiving/db_work_database.h"
#include "receiving/jet_order_file.h"
#include "receiving/order_import.h"

#include <QCoreApplication>
#include <cstdio>

using namespace kemnoa;

namespace {

class RunnerPrompter : public core::SilentPrompter {
public:
    bool question(const QString&, const QString&, bool, core::MsgIcon) override { return true; }
    void processEvents() override {
        std::fputc('.', stdout);
        std::fflush(stdout);
    }
};

db::ConnectionSettings sqlite(const char* path, db::DatabaseKind kind) {
    db::ConnectionSettings s;
    s.provider = QStringLiteral("SQLite");
    s.database = QString::fromLocal8Bit(path);
    s.kind = kind;
    return s;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: import_runner FOLDER WORK.db PO.db\n");
        return 2;
    }
    try {
        db::Connection work, po;
        work.open(sqlite(argv[2], db::DatabaseKind::Work));
        po.open(sqlite(argv[3], db::DatabaseKind::Po));
        maintenance::setPoConnectionResolver(
            [&po](const QString&, const QString&) -> db::Connection& { return po; });
        RunnerPrompter prompter;
        receiving::DbWorkDatabase db(work);
        receiving::ImportServices services;
        services.openFile = [files = std::make_shared<receiving::JetOrderFiles>()](const QString& path) {
            return files->open(path);
        };
        services.errDataMake = [&](qint32 n) { (void)maintenance::MP_ErrDataMake(prompter, work, n); };
        receiving::OrderImport importer(prompter, db, services);
        const maintenance::MasterCheckRun checks(work);
        const bool done = importer.cmdImp_Click(QString::fromLocal8Bit(argv[1]) + QLatin1Char('/'));
        maintenance::setPoConnectionResolver(nullptr);
        return done ? 0 : 1;
    } catch (const core::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
}
