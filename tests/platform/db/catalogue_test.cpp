// The table catalogue against the tables the creation scripts really make: both come from the same
// definitions, so every table, column, declared type and key must agree with a fresh SQLite database.

#include "platform/base/error.h"
#include "platform/db/catalogue.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"
#include "platform/db/schema.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

QString declaredType(const db::CatalogueColumn& c) {
    switch (c.type) {
    case db::SqlType::Text:
        return QStringLiteral("VARCHAR(%1)").arg(c.size);
    case db::SqlType::Integer:
    case db::SqlType::Identity:
        return QStringLiteral("INTEGER");
    case db::SqlType::BigInt:
        return QStringLiteral("BIGINT");
    case db::SqlType::Decimal:
        return QStringLiteral("NUMERIC(%1,%2)").arg(c.size).arg(c.scale);
    }
    return QString();
}

} // namespace

TEST(Catalogue, AgreesWithTheCreatedTablesOfEveryDatabase) {
    QTemporaryDir dir;
    for (const db::DatabaseKind kind :
         {db::DatabaseKind::Work, db::DatabaseKind::Office, db::DatabaseKind::Po, db::DatabaseKind::Sk}) {
        SCOPED_TRACE(db::kindName(kind).toStdString());
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.database = dir.filePath(db::kindName(kind) + QStringLiteral(".db"));
        s.kind = kind;
        s.createIfMissing = true;
        db::Connection c;
        c.open(s);

        QStringList tables;
        for (const db::CatalogueTable& t : db::catalogue())
            if (t.database == kind)
                tables << t.tableName();
        ASSERT_EQ(tables, db::schemaTables(kind));

        for (const QString& name : tables) {
            const db::CatalogueTable& t = db::requireCatalogueTable(name);
            QStringList expected, actual;
            for (const db::CatalogueColumn& col : t.columns)
                expected << QStringLiteral("%1 %2 %3")
                                .arg(col.columnName(), declaredType(col),
                                     col.key ? QStringLiteral("key") : QStringLiteral("-"));
            const QString schema = kind == db::DatabaseKind::Office ? QStringLiteral("main.") : QString();
            for (db::Reader r = c.read(QStringLiteral("PRAGMA %1table_info(%2)").arg(schema, name));
                 !r.atEnd(); r.moveNext())
                actual << QStringLiteral("%1 %2 %3")
                              .arg(r.text(QStringLiteral("name")), r.text(QStringLiteral("type")),
                                   r.value(QStringLiteral("pk")).toInt() > 0 ? QStringLiteral("key")
                                                                             : QStringLiteral("-"));
            EXPECT_EQ(actual, expected) << name.toStdString();
        }
    }
}

TEST(Catalogue, FindsTablesAndColumnsWithoutRegardToCase) {
    const db::CatalogueTable* header = db::catalogueTable(u"RCV_DENHEADDATA");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->tableName(), QStringLiteral("rcv_denheaddata"));
    EXPECT_EQ(header->columns.size(), 38u);
    EXPECT_EQ(header->keyColumns(), QStringList{QStringLiteral("ORD_NO")});
    ASSERT_NE(header->column(u"err_su"), nullptr);
    EXPECT_TRUE(header->column(u"err_su")->isNumber());
    EXPECT_FALSE(header->column(u"SEND_FLG")->isNumber());
    EXPECT_EQ(header->column(u"nope"), nullptr);

    const db::CatalogueTable& po = db::requireCatalogueTable(u"tbl_po_m");
    EXPECT_EQ(po.keyColumns(), (QStringList{QStringLiteral("PO番号"), QStringLiteral("PO行")}));
    EXPECT_EQ(po.column(u"下代")->type, db::SqlType::Decimal);
    EXPECT_EQ(po.column(u"下代")->scale, 4);
    const db::CatalogueColumn* memo = db::requireCatalogueTable(u"rrk_ehj").column(u"MEMO");
    ASSERT_NE(memo, nullptr);
    EXPECT_STREQ(memo->defaultValue, "''");

    EXPECT_EQ(db::catalogueTable(u"no_such_table"), nullptr);
    EXPECT_THROW(db::requireCatalogueTable(u"no_such_table"), kemnoa::Error);
}
