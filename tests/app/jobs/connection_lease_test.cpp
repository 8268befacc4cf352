// Leases on the shared connections: several job windows open together share a connection, and the
// last one to close closes it; nobody reopens (and so replaces) a connection another job holds.

#include "core/connection_lease.h"
#include "core/connections.h"
#include "core/session.h"
#include "platform/db/reader.h"
#include "support/database_files.h"
#include "support/scripted_prompter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;
using namespace kemnoa::core;

namespace {

class ConnectionLeaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSession();
        for (DbSettings* db : {&session().WorkDb, &session().PoDb}) {
            db->Provider = QStringLiteral("SQLite");
            db->DbName =
                dir_.filePath(db == &session().WorkDb ? QStringLiteral("w.db") : QStringLiteral("p.db"));
        }
        test::createSessionDatabases();
    }
    void TearDown() override { closeAllConnections(); }

    QTemporaryDir dir_;
    test::ScriptedPrompter prompter_;
};

TEST_F(ConnectionLeaseTest, ClosingOneWindowKeepsTheConnectionOfAnotherOpen) {
    auto numbering = std::make_unique<ConnectionSet>(QList<qint32>{KindWork, KindPo}, prompter_);
    auto creation = std::make_unique<ConnectionSet>(QList<qint32>{KindWork, KindPo}, prompter_);
    ASSERT_TRUE(numbering->allOk());
    ASSERT_TRUE(creation->allOk());
    EXPECT_EQ(leaseCount(KindPo), 2);

    numbering.reset();
    EXPECT_TRUE(cnPo().isOpen());
    EXPECT_TRUE(creation->ok(KindPo));
    cnPo().execute(QStringLiteral("Create Table t (a int)")); // still usable

    creation.reset();
    EXPECT_FALSE(cnPo().isOpen());
    EXPECT_EQ(leaseCount(KindPo), 0);
}

TEST_F(ConnectionLeaseTest, ASecondLeaseDoesNotReplaceAConnectionInATransaction) {
    ConnectionLease first(KindWork, prompter_);
    ASSERT_TRUE(first.ok());
    const qint32 opensBefore = session().WorkOpenCount;
    cnWork().execute(QStringLiteral("Create Table t (a int)"));
    cnWork().beginTransaction();
    cnWork().execute(QStringLiteral("Insert Into t Values (1)"));
    {
        ConnectionLease second(KindWork, prompter_);
        EXPECT_TRUE(second.ok());
        EXPECT_EQ(session().WorkOpenCount, opensBefore); // shared, not reopened
    }
    cnWork().commit();
    EXPECT_EQ(cnWork().read(QStringLiteral("Select Count(*) From t")).value(0).toInt(), 1);
}

TEST_F(ConnectionLeaseTest, TheWorkConnectionStaysOpenBetweenJobs) {
    ASSERT_EQ(dbOpen(KindWork, prompter_), 0); // the start-up check
    dbClose(KindWork);
    { ConnectionLease job(KindWork, prompter_); }
    EXPECT_TRUE(cnWork().isOpen());
    EXPECT_EQ(leaseCount(KindWork), 0);
}

TEST_F(ConnectionLeaseTest, AFailedOpenIsReportedAndStillReleased) {
    session().SkDb.Provider = QStringLiteral("NoSuchProvider");
    {
        ConnectionSet set({KindSk}, prompter_);
        EXPECT_FALSE(set.ok(KindSk));
        EXPECT_FALSE(set.allOk());
        ASSERT_EQ(prompter_.events.size(), 1u);
        EXPECT_EQ(prompter_.events[0].title, QStringLiteral("dbOpen"));
        EXPECT_EQ(leaseCount(KindSk), 1);
    }
    EXPECT_EQ(leaseCount(KindSk), 0);
}

} // namespace
