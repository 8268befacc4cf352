// The program's job table, row by row: names and codes, the menu's codes, and the connections every
// row holds while its job runs, released when it ends whichever way it ends.

#include "app/jobs/job_table.h"
#include "core/connection_lease.h"
#include "core/connections.h"
#include "core/menu.h"
#include "core/program_folder.h"
#include "core/session.h"
#include "platform/db/schema.h"
#include "support/scripted_prompter.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

class JobTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        core::resetSession();
        core::setProgramFolder(dir_.path());
        // Four SQLite databases with their tables, and a receive folder with nothing in it.
        const char* sections[] = {"SQLKEM_DB", "OFFICE_DB", "PO_DB", "SK_DB"};
        const db::DatabaseKind kinds[] = {db::DatabaseKind::Work, db::DatabaseKind::Office,
                                          db::DatabaseKind::Po, db::DatabaseKind::Sk};
        QByteArray ini;
        for (int i = 0; i < 4; ++i) {
            const QString file = dir_.filePath(QStringLiteral("db%1.sqlite").arg(i));
            ini += QStringLiteral("[%1]\r\nPROVIDER=SQLite\r\nDB_NM=%2\r\n")
                       .arg(QLatin1String(sections[i]), file)
                       .toLatin1();
            db::ConnectionSettings settings;
            settings.provider = QStringLiteral("SQLite");
            settings.database = file;
            settings.kind = kinds[i];
            db::ensureDatabase(settings);
            db::Connection connection;
            connection.open(settings);
            db::createSchema(connection, kinds[i]);
        }
        QDir(dir_.path()).mkpath(QStringLiteral("recv"));
        ini += QStringLiteral("[FTP]\r\nLOCAL_FOLDER=%1/recv/\r\n").arg(dir_.path()).toLatin1();
        QFile f(dir_.filePath(QStringLiteral("kemnoa.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ini);
        f.close();
        core::setSettingsFile(f.fileName());
    }
    void TearDown() override {
        core::closeAllConnections();
        core::setSettingsFile({});
        core::setProgramFolder({});
    }

    QTemporaryDir dir_;
};

TEST_F(JobTableTest, NamesAndMenuCodesAreUniqueAndEveryMenuCodeIsAJobWindowCode) {
    QSet<QString> names;
    QSet<int> codes;
    for (const core::Job& job : jobs::jobTable().jobs()) {
        EXPECT_FALSE(job.name.isEmpty());
        EXPECT_FALSE(names.contains(job.name)) << job.name.toStdString();
        names.insert(job.name);
        if (job.menuCode == 0)
            continue;
        EXPECT_FALSE(codes.contains(job.menuCode)) << job.menuCode;
        codes.insert(job.menuCode);
        EXPECT_TRUE(core::jobWindowCodes().contains(job.menuCode)) << job.menuCode;
    }
    // The jobs built so far, by their menu codes.
    EXPECT_EQ(jobs::jobTable().byMenuCode(201)->name, QStringLiteral("import"));
    EXPECT_EQ(jobs::jobTable().byMenuCode(203)->name, QStringLiteral("number"));
    EXPECT_EQ(jobs::jobTable().byMenuCode(210)->name, QStringLiteral("errors"));
}

TEST_F(JobTableTest, RepeatedNameOrCodeIsRefused) {
    core::JobTable table;
    table.add({.name = QStringLiteral("a"), .menuCode = 201});
    EXPECT_THROW(table.add({.name = QStringLiteral("a")}), std::logic_error);
    EXPECT_THROW(table.add({.name = QStringLiteral("b"), .menuCode = 201}), std::logic_error);
    EXPECT_THROW(table.add({.name = QString()}), std::logic_error);
    EXPECT_NO_THROW(table.add({.name = QStringLiteral("c")}));
}

// Every row with a run and connections, run headless with nothing to do or a refusal: afterwards no
// lease is left and only the work connection may stay open.
TEST_F(JobTableTest, EveryRowReleasesItsConnectionsWhenItsJobEnds) {
    int ran = 0;
    for (const core::Job& job : jobs::jobTable().jobs()) {
        if (!job.run || job.connections.isEmpty())
            continue;
        SCOPED_TRACE(job.name.toStdString());
        test::ScriptedPrompter prompter; // answers No, cancels every input box
        // As few arguments as the row takes, each one naming nothing that exists; a run that refuses
        // them as a usage error has still taken and released its connections.
        const QStringList args(job.minArgs, QStringLiteral("0"));
        try {
            (void)core::runJob(job, args, prompter);
        } catch (const core::JobUsageError&) {
        }
        ++ran;
        for (qint32 kind : {core::KindWork, core::KindOffice, core::KindPo, core::KindSk})
            EXPECT_EQ(core::leaseCount(kind), 0) << kind;
        for (qint32 kind : {core::KindOffice, core::KindPo, core::KindSk})
            EXPECT_FALSE(core::connectionOfKind(kind)->isOpen()) << kind;
    }
    EXPECT_GE(ran, 3);
}

TEST_F(JobTableTest, AJobThatThrowsStillReleasesItsConnections) {
    const core::Job job{.name = QStringLiteral("boom"),
                        .connections = {core::KindWork, core::KindPo, core::KindSk},
                        .run = [](core::JobContext& ctx, const QStringList&) -> core::Outcome {
                            EXPECT_TRUE(ctx.connections.ok(core::KindPo));
                            EXPECT_TRUE(core::cnSk().isOpen());
                            throw std::runtime_error("boom");
                        }};
    test::ScriptedPrompter prompter;
    EXPECT_THROW((void)core::runJob(job, {}, prompter), std::runtime_error);
    EXPECT_EQ(core::leaseCount(core::KindPo), 0);
    EXPECT_FALSE(core::cnPo().isOpen());
    EXPECT_FALSE(core::cnSk().isOpen());
}

TEST_F(JobTableTest, ArgumentCountsOutsideTheRowAreUsageErrors) {
    test::ScriptedPrompter prompter;
    const core::Job* errors = jobs::jobTable().byName(QStringLiteral("errors"));
    ASSERT_NE(errors, nullptr);
    EXPECT_THROW((void)core::runJob(*errors, {QStringLiteral("1"), QStringLiteral("2")}, prompter),
                 core::JobUsageError);
    EXPECT_THROW((void)core::runJob(*errors, {QStringLiteral("x")}, prompter), core::JobUsageError);
    EXPECT_EQ(core::leaseCount(core::KindWork), 0);
}

} // namespace
