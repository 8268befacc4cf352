#pragma once
// Runs a test against a fresh SQLite file and, when the test cluster is there, a fresh PostgreSQL
// database, both with the schema of one database kind.

#include "platform/db/connection.h"
#include "platform/db/schema.h"
#include "support/pg_database.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace kemnoa::test {

inline std::string dialectLabel(const ::testing::TestParamInfo<db::Dialect>& info) {
    return info.param == db::Dialect::SQLite ? "SQLite" : "PostgreSQL";
}

class DialectTest : public ::testing::TestWithParam<db::Dialect> {
protected:
    // Opens a fresh database of the kind with its schema created.
    void openFresh(db::DatabaseKind kind = db::DatabaseKind::Work) {
        settings_ = freshSettings(kind);
        connection_.open(settings_);
        if (GetParam() == db::Dialect::PostgreSQL)
            db::createSchema(connection_, kind);
    }

    db::ConnectionSettings freshSettings(db::DatabaseKind kind) {
        if (GetParam() == db::Dialect::PostgreSQL) {
            auto s = freshPostgresDatabase(kind);
            if (!s)
                return {};
            return *s;
        }
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.baseFolder = dir_.path();
        s.database = db::kindName(kind) + QStringLiteral("%1.db").arg(++files_);
        s.kind = kind;
        s.createIfMissing = true;
        return s;
    }

    void SetUp() override {
        if (GetParam() == db::Dialect::PostgreSQL && !havePostgres())
            GTEST_SKIP() << "no PostgreSQL test cluster (KEMNOA_TEST_PG_HOST)";
    }

    QTemporaryDir dir_;
    int files_ = 0;
    db::ConnectionSettings settings_;
    db::Connection connection_;
};

} // namespace kemnoa::test
