#pragma once
// An import against a fresh work database (SQLite, and PostgreSQL when the test cluster is there),
// a PO database holding the demo destination, a receive folder of order files and a scripted operator.

#include "core/session.h"
#include "maintenance/err_data_make_procedure.h"
#include "maintenance/server_procedures.h"
#include "platform/db/db_fixture.h"
#include "platform/db/reader.h"
#include "receiving/db_work_database.h"
#include "receiving/jet_order_file.h"
#include "receiving/order_file_builder.h"
#include "receiving/order_import.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QTemporaryDir>

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
        po_.execute(
            QStringLiteral("Insert Into MST_NOUHIN (NOUCD, NOU_NM) Values (501, '上海物流センター')"));
        maintenance::setPoConnectionResolver(
            [this](const QString&, const QString&) -> db::Connection& { return po_; });
        seedMasters();
        folder_ = recv_.path() + QLatin1Char('/');
        core::resetSession();
        core::session().LocalFolder = folder_;
    }

    void TearDown() override { maintenance::setPoConnectionResolver(nullptr); }

    void seedMasters() {
        auto& c = connection_;
        c.execute(
            QStringLiteral("Insert Into kemmst_ehj (EHJ_NO, EHJ1, EHJ2) Values ('E001', '101', '202')"));
        c.execute(QStringLiteral(
            "Insert Into kemmst_fuki (FUKI_NO, FUKI_NAIYO) Values ('F001', '手洗い'), ('F002', '陰干し')"));
        c.execute(QStringLiteral("Insert Into kemmst_namecode (name_nm) Values ('ピスネーム')"));
        c.execute(QStringLiteral(
            "Insert Into kemmst_sizaicode (name_nm, sizai_cd, sizai_nm) Values ('ピスネーム', 'S10', '織')"));
        c.execute(QStringLiteral(
            "Insert Into tagcd_henkan (TAFCD, TAG_CD) Values ('T0', 'KT-900'), ('T1', 'KT-901')"));
    }

    QString write(const QString& name, const receiving::BuiltFile& file) {
        const QString path = folder_ + name;
        receiving::writeOrderFile(path, file);
        return path;
    }

    receiving::OrderImport importer() {
        receiving::ImportServices s;
        s.openFile = receiving::openJetOrderFile;
        s.errDataMake = [this](qint32 n) { maintenance::MP_ErrDataMake(prompter_, connection_, n); };
        s.log = [this](const QString& line) { log_ << line; };
        return receiving::OrderImport(prompter_, work_, s);
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
