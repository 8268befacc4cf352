#include "db_fixture.h"

#include "platform/base/error.h"
#include "platform/db/command.h"
#include "platform/db/reader.h"

using namespace kemnoa;
using kemnoa::test::DialectTest;

TEST_P(DialectTest, RegisteredProcedureRunsOnTheConnectionWithItsParameters) {
    openFresh();
    db::ProcedureRegistry registry;
    int seenTimeout = 0;
    const bool postgres = GetParam() == db::Dialect::PostgreSQL;
    // The statement time-out the server applies: PostgreSQL's setting; SQLite has none.
    auto serverTimeout = [&] {
        return postgres ? connection_.read(QStringLiteral("SHOW statement_timeout")).text(0) : QString();
    };
    QString timeoutDuringCall;
    registry.add(QStringLiteral("kem_errdatamake_main"), [&](db::ProcedureCall& call) {
        seenTimeout = call.timeoutSeconds();
        timeoutDuringCall = serverTimeout();
        const int ordNo = call.input(QStringLiteral("@OrdNo")).toInt();
        call.connection().execute(
            QStringLiteral("Insert Into rcv_errdata (ORD_NO, GYOU, ERR_TITLE) Values (?, 1, ?)"),
            {ordNo, call.input(QStringLiteral("PoDb"))});
        call.setOutput(QStringLiteral("@errMsg"), QStringLiteral("long message"));
        return 0;
    });
    db::Command cmd(connection_, QStringLiteral("KEM_ERRDATAMAKE_MAIN"), 100, &registry);
    cmd.addParameter(QStringLiteral("@OrdNo"), db::ParamType::Integer, db::ParamDirection::Input, 4, 42);
    cmd.addParameter(QStringLiteral("@PoSv"), db::ParamType::VarChar, db::ParamDirection::Input, 50,
                     QStringLiteral("sv"));
    cmd.addParameter(QStringLiteral("@PoDb"), db::ParamType::VarChar, db::ParamDirection::Input, 50,
                     QStringLiteral("podb"));
    cmd.addParameter(QStringLiteral("@errMsg"), db::ParamType::VarChar, db::ParamDirection::Output, 4);
    cmd.execute();
    EXPECT_EQ(cmd.returnValue(), 0);
    EXPECT_EQ(cmd.value(QStringLiteral("RETURN_VALUE")).toInt(), 0);
    EXPECT_EQ(cmd.value(QStringLiteral("@errMsg")).toString(), QStringLiteral("long")); // cut to its size
    EXPECT_EQ(seenTimeout, 100);
    db::Reader r = connection_.read(QStringLiteral("Select ORD_NO, ERR_TITLE From rcv_errdata"));
    ASSERT_FALSE(r.atEnd());
    EXPECT_EQ(r.value(0).toInt(), 42);
    EXPECT_EQ(r.text(1), QStringLiteral("podb"));
    // The call's statement time-out applied while it ran and does not stay behind.
    EXPECT_EQ(timeoutDuringCall, postgres ? QStringLiteral("100s") : QString());
    EXPECT_EQ(serverTimeout(), postgres ? QStringLiteral("0") : QString());
    connection_.execute(QStringLiteral("Delete From rcv_errdata"));
}

TEST_P(DialectTest, UnregisteredOrFailingProcedureReturnsNonZeroWithErrMsg) {
    openFresh();
    db::ProcedureRegistry registry;
    db::Command missing(connection_, QStringLiteral("GET_PO_NUMBER"), 50, &registry);
    missing.addParameter(QStringLiteral("@KUBUN"), db::ParamType::VarChar, db::ParamDirection::Input, 10,
                         QStringLiteral("K"));
    missing.execute();
    EXPECT_NE(missing.returnValue(), 0);
    EXPECT_TRUE(
        missing.value(QStringLiteral("@errMsg")).toString().contains(QStringLiteral("GET_PO_NUMBER")));
    EXPECT_THROW(missing.value(QStringLiteral("@PONO")), Error);

    registry.add(QStringLiteral("GET_PO_NUMBER"), [](db::ProcedureCall& call) -> int {
        call.connection().execute(QStringLiteral("Select * From no_such_table"));
        return 0;
    });
    db::Command failing(connection_, QStringLiteral("GET_PO_NUMBER"), 50, &registry);
    failing.addParameter(QStringLiteral("@PONO"), db::ParamType::VarChar, db::ParamDirection::InputOutput, 20,
                         QString());
    failing.addParameter(QStringLiteral("@errMsg"), db::ParamType::VarChar, db::ParamDirection::Output, 255);
    failing.execute();
    EXPECT_NE(failing.returnValue(), 0);
    EXPECT_TRUE(failing.value(QStringLiteral("errMsg"))
                    .toString()
                    .contains(QStringLiteral("no_such_table"), Qt::CaseInsensitive));
    if (GetParam() == db::Dialect::PostgreSQL) {
        // The connection is usable afterwards, without the failed call's time-out.
        EXPECT_EQ(connection_.read(QStringLiteral("SHOW statement_timeout")).text(0), QStringLiteral("0"));
    }
}

TEST(Command, SqlServerBatchCallsTheProcedureByNamedParameters) {
    db::Connection c; // not opened: only the batch text is built
    db::Command cmd(c, QStringLiteral("GET_PO_NUMBER"), 50);
    cmd.addParameter(QStringLiteral("@KUBUN"), db::ParamType::VarChar, db::ParamDirection::Input, 10);
    cmd.addParameter(QStringLiteral("@PONO"), db::ParamType::VarChar, db::ParamDirection::InputOutput, 20);
    cmd.addParameter(QStringLiteral("@errMsg"), db::ParamType::VarChar, db::ParamDirection::Output, 255);
    EXPECT_EQ(
        cmd.sqlServerBatch(),
        QStringLiteral("SET NOCOUNT ON;\nDECLARE @kemnoa_rv int;\n"
                       "DECLARE @kemnoa_p1 varchar(20);\nSET @kemnoa_p1 = ?;\n"
                       "DECLARE @kemnoa_p2 varchar(255);\n"
                       "EXEC @kemnoa_rv = [GET_PO_NUMBER] @KUBUN = ?, @PONO = @kemnoa_p1 OUTPUT, "
                       "@errMsg = @kemnoa_p2 OUTPUT;\n"
                       "SELECT @kemnoa_rv AS RETURN_VALUE, @kemnoa_p1 AS [PONO], @kemnoa_p2 AS [errMsg];"));
    EXPECT_THROW(cmd.addParameter(QStringLiteral("@x; drop table t"), db::ParamType::Integer,
                                  db::ParamDirection::Input),
                 Error);
    db::Command bad(c, QStringLiteral("p; drop table t"), 5);
    EXPECT_THROW(bad.sqlServerBatch(), Error);
}
