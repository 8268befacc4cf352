#pragma once
// An import against a fresh work database (SQLite, and PostgreSQL when the test cluster is there),
// the demo masters in both, a receive folder of order files and a scripted operator.

#include "core/session.h"
#include "demo/demo_data.h"
#include "demo/sample_orders.h"
#include "maintenance/err_data_make_procedure.h"
#include "maintenance/server_procedures.h"
#include "platform/db/db_fixture.h"
#include "platform/db/reader.h"
#include "receiving/db_work_database.h"
#include "receiving/jet_order_file.h"
#include "receiving/order_import.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>

namespace kemnoa::test {

class ImportTest : public DialectTest {
protected:
    void SetUp() override {
        DialectTest::SetUp();
        if (IsSkipped())
            return;
        openFresh();
        poSettings_ = freshSettings(db::DatabaseKind::Po);
        po_.open(poSettings_);
        if (GetParam() == db::Dialect::PostgreSQL)
            db::createSchema(po_, db::DatabaseKind::Po);
        demo::seed(po_, db::DatabaseKind::Po);
        maintenance::setPoConnectionResolver(
            [this](const QString&, const QString&) -> db::Connection& { return po_; });
        seedMasters();
        folder_ = recv_.path() + QLatin1Char('/');
        core::resetSession();
        core::session().LocalFolder = folder_;
    }

    void TearDown() override { maintenance::setPoConnectionResolver(nullptr); }

    void seedMasters() { demo::seed(connection_, db::DatabaseKind::Work); }

    QString write(const QString& name, const demo::BuiltFile& file) {
        const QString path = folder_ + name;
        demo::writeOrderFile(path, file);
        return path;
    }

    // The import with the real order files and master check; adjust may replace a service.
    receiving::OrderImport importer(const std::function<void(receiving::ImportServices&)>& adjust = {}) {
        receiving::ImportServices s;
        s.openFile = [](const QString& path) { return receiving::openJetOrderFile(path); };
        s.errDataMake = [this](qint32 n) { (void)maintenance::MP_ErrDataMake(prompter_, connection_, n); };
        s.log = [this](const QString& line) { log_ << line; };
        if (adjust)
            adjust(s);
        return receiving::OrderImport(prompter_, work_, s);
    }

    // Makes the work database refuse a statement: a trigger named name fails every Insert or Delete
    // (event) on the table for rows meeting the condition (NEW.column or OLD.column terms).
    void refuse(const QString& name, const QString& event, const QString& table, const QString& condition) {
        if (GetParam() == db::Dialect::SQLite) {
            connection_.execute(QStringLiteral("Create Trigger %1 Before %2 On %3 When %4 Begin "
                                               "Select Raise(Abort, 'refused'); End")
                                    .arg(name, event, table, condition));
            return;
        }
        connection_.execute(QStringLiteral("Create Function %1() Returns trigger As $$ Begin If %2 Then "
                                           "Raise Exception 'refused'; End If; If TG_OP = 'DELETE' Then "
                                           "Return OLD; End If; Return NEW; End $$ Language plpgsql")
                                .arg(name, condition));
        connection_.execute(
            QStringLiteral("Create Trigger %1 Before %2 On %3 For Each Row Execute Function %1()")
                .arg(name, event, table));
    }

    int count(const QString& sql, const QVariantList& params = {}) {
        db::Reader r = connection_.read(QStringLiteral("Select Count(*) From ") + sql, params);
        return r.value(0).toInt();
    }
    QString text(const QString& sql, const QVariantList& params = {}) {
        db::Reader r = connection_.read(sql, params);
        return r.atEnd() ? QStringLiteral("<no row>")
                         : (r.isNull(r.column(0).name) ? QStringLiteral("<null>") : r.text(0));
    }
    QStringList files() const { return QDir(recv_.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir recv_;
    QString folder_;
    db::ConnectionSettings poSettings_;
    db::Connection po_;
    receiving::DbWorkDatabase work_{connection_};
    ScriptedPrompter prompter_;
    QStringList log_;
};

} // namespace kemnoa::test
