#pragma once
// PO issue against fresh work, PO, production-control and office databases (SQLite, and PostgreSQL
// when the test cluster is there) holding the demo masters, with the session's fixed company values
// loaded, the procedures pointed at these databases and a scripted operator. Orders are written
// straight into the work tables, valid for the master check unless a test says otherwise.

#include "core/session.h"
#include "demo/demo_data.h"
#include "maintenance/err_data_make_procedure.h"
#include "maintenance/po_rows_procedures.h"
#include "platform/db/db_fixture.h"
#include "platform/db/reader.h"
#include "support/scripted_prompter.h"

#include <QMap>

namespace kemnoa::test {

// Column values by name.
using Values = QMap<QString, QVariant>;

class OutputTest : public DialectTest {
protected:
    void SetUp() override {
        DialectTest::SetUp();
        if (IsSkipped())
            return;
        openFresh();
        openKind(po_, db::DatabaseKind::Po);
        openKind(sk_, db::DatabaseKind::Sk);
        openKind(office_, db::DatabaseKind::Office);
        demo::seed(connection_, db::DatabaseKind::Work);
        demo::seed(po_, db::DatabaseKind::Po);
        demo::seed(office_, db::DatabaseKind::Office);
        core::resetSession();
        for (db::Reader r = connection_.read(QStringLiteral("Select 検索条件, 検索値 From kem_setting"));
             !r.atEnd(); r.moveNext())
            core::session().FixedInfo.insert(r.text(0), r.text(1));
        maintenance::setPoConnectionResolver(
            [this](const QString&, const QString&) -> db::Connection& { return po_; });
        maintenance::setOfficeConnectionResolver([this]() -> db::Connection& { return office_; });
    }

    void TearDown() override {
        maintenance::setPoConnectionResolver(nullptr);
        maintenance::setOfficeConnectionResolver(nullptr);
    }

    void openKind(db::Connection& c, db::DatabaseKind kind) {
        c.open(freshSettings(kind));
        if (GetParam() == db::Dialect::PostgreSQL)
            db::createSchema(c, kind);
    }

    static void insert(db::Connection& c, const QString& table, const Values& values) {
        QStringList marks;
        for (int i = 0; i < values.size(); ++i)
            marks << QStringLiteral("?");
        c.execute(QStringLiteral("Insert Into %1 (%2) Values (%3)")
                      .arg(table, values.keys().join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                  values.values());
    }

    // An unsent, error-free order without a PO number for the first demo destination.
    void addOrder(qint32 ordNo, const Values& changes = {}) {
        Values v{{QStringLiteral("ORD_NO"), ordNo},
                 {QStringLiteral("IRAI_NO"), QStringLiteral("R%1").arg(ordNo)},
                 {QStringLiteral("ORD_DATE"), 20261201},
                 {QStringLiteral("KIBO_DATE"), QStringLiteral("20261220")},
                 {QStringLiteral("SIR_CD"), QStringLiteral("S1")},
                 {QStringLiteral("NOU_CD"), QString::fromLatin1(demo::DestinationCodes[0])},
                 {QStringLiteral("NOU_NM"), QStringLiteral("さくら衣料")},
                 {QStringLiteral("NOU_ADR1"), QStringLiteral("東京都")},
                 {QStringLiteral("KESSAI"), QStringLiteral("日本決済")},
                 {QStringLiteral("SHKA_PLACE"), QStringLiteral("上海工場")},
                 {QStringLiteral("PO_NO"), QString()},
                 {QStringLiteral("PO_KBN"), QString()},
                 {QStringLiteral("ERR_SU"), 0},
                 {QStringLiteral("PRN_SU"), 0},
                 {QStringLiteral("SEND_FLG"), QStringLiteral("9")},
                 {QStringLiteral("BIKO2"), QString()}};
        for (auto it = changes.begin(); it != changes.end(); ++it)
            v[it.key()] = it.value();
        insert(connection_, QStringLiteral("rcv_denheaddata"), v);
    }

    // A hang-tag (rcv_posdata) or care-label (rcv_cardata) line.
    void addLine(const QString& table, qint32 ordNo, int gyou, const Values& changes = {}) {
        Values v{{QStringLiteral("ORD_NO"), ordNo},
                 {QStringLiteral("GYOU"), gyou},
                 {QStringLiteral("TAFCD"), QString::fromLatin1(demo::CompanyTagCodes[0])},
                 {QStringLiteral("TAHIN"), QStringLiteral("KM-1000")},
                 {QStringLiteral("TACLT"), QStringLiteral("ネイビー")},
                 {QStringLiteral("TASIZ"), QStringLiteral("M")},
                 {QStringLiteral("SU"), 10},
                 {QStringLiteral("EHJ"), QString()},
                 {QStringLiteral("TAPH1"), QStringLiteral("綿")},
                 {QStringLiteral("TAPR1"), QStringLiteral("80")},
                 {QStringLiteral("TAPP1"), QStringLiteral("%")},
                 {QStringLiteral("TAPH2"), QStringLiteral("ポリエステル")},
                 {QStringLiteral("TAPR2"), QStringLiteral("20")},
                 {QStringLiteral("TAPP2"), QStringLiteral("%")}};
        for (int i = 3; i <= 12; ++i)
            for (const char* part : {"TAPH", "TAPR", "TAPP"})
                v[QString::fromLatin1(part) + QString::number(i)] = QString();
        for (auto it = changes.begin(); it != changes.end(); ++it)
            v[it.key()] = it.value();
        insert(connection_, table, v);
    }

    int count(db::Connection& c, const QString& from, const QVariantList& params = {}) {
        db::Reader r = c.read(QStringLiteral("Select Count(*) From ") + from, params);
        return r.value(0).toInt();
    }
    // The first column of every row, as text.
    QStringList column(db::Connection& c, const QString& sql, const QVariantList& params = {}) {
        QStringList out;
        for (db::Reader r = c.read(sql, params); !r.atEnd(); r.moveNext())
            out << r.text(0);
        return out;
    }

    db::Connection po_, sk_, office_;
    ScriptedPrompter prompter_;
};

} // namespace kemnoa::test
