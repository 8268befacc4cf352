// The job runner over a table of its own: options, help, usage errors and exit statuses.

#include "app/cli/cli_runner.h"

#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

core::JobTable table() {
    core::JobTable t;
    auto fixed = [](core::Outcome outcome) {
        return [outcome](core::JobContext& ctx, const QStringList& args) {
            core::jobOutput(ctx) << "ran " << args.join(QLatin1Char(',')) << '\n';
            return outcome;
        };
    };
    t.add({.name = QStringLiteral("ok"),
           .summary = QStringLiteral("ends well"),
           .readsSettings = false,
           .maxArgs = 1,
           .run = fixed(core::Outcome::Done)});
    t.add({.name = QStringLiteral("fails"), .readsSettings = false, .run = fixed(core::Outcome::Failed)});
    t.add({.name = QStringLiteral("some"),
           .readsSettings = false,
           .run = fixed(core::Outcome::DoneWithFailures)});
    t.add({.name = QStringLiteral("asks"),
           .readsSettings = false,
           .run = [](core::JobContext& ctx, const QStringList&) {
               return core::failedIf(
                   !ctx.prompter.question(QStringLiteral("続けますか？"), QStringLiteral("確認")));
           }});
    t.add({.name = QStringLiteral("counts"),
           .readsSettings = false,
           .run = [](core::JobContext& ctx, const QStringList&) {
               ctx.prompter.listAdd(QStringLiteral("♯a\r\nforged\x1b[31m"));
               ctx.summary = QStringLiteral("files 2, failures 1");
               return core::Outcome::DoneWithFailures;
           }});
    t.add({.name = QStringLiteral("secret"),
           .readsSettings = false,
           .inputVariable = QStringLiteral("KEMNOA_TEST_SECRET"),
           .run = [](core::JobContext& ctx, const QStringList&) {
               const auto answer = ctx.prompter.input(QStringLiteral("合言葉"), QStringLiteral("確認"));
               return core::failedIf(answer != QStringLiteral("open"));
           }});
    t.add({.name = QStringLiteral("window-only"), .menuCode = 202});
    return t;
}

struct CliRun {
    int rc;
    QString out;
    QString err;
};

CliRun run(const QStringList& args, QString input = {}) {
    static const core::JobTable jobs = table();
    QString out, err;
    QTextStream o(&out), e(&err), i(&input);
    const int rc = cli::runCli(jobs, args, o, e, &i);
    o.flush();
    e.flush();
    return {rc, out, err};
}

TEST(CliRunner, ExitStatusFollowsTheOutcome) {
    struct Case {
        QStringList args;
        int rc;
    } cases[] = {
        {{QStringLiteral("ok")}, 0},
        {{QStringLiteral("ok"), QStringLiteral("x")}, 0},
        {{QStringLiteral("fails")}, 1},
        {{QStringLiteral("some")}, 3},
        {{QStringLiteral("asks")}, 1},
        {{QStringLiteral("--no"), QStringLiteral("asks")}, 1},
        {{QStringLiteral("--yes"), QStringLiteral("asks")}, 0},
        {{QStringLiteral("ok"), QStringLiteral("x"), QStringLiteral("y")}, 2},
        {{QStringLiteral("nosuch")}, 2},
        {{QStringLiteral("window-only")}, 2},
        {{QStringLiteral("--bogus"), QStringLiteral("ok")}, 2},
        {{}, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run(c.args).rc, c.rc) << c.args.join(QLatin1Char(' ')).toStdString();
}

TEST(CliRunner, HelpListsTheRunnableJobsAndUsageNamesTheJob) {
    const CliRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.rc, 0);
    EXPECT_TRUE(help.err.isEmpty());
    EXPECT_TRUE(help.out.contains(QStringLiteral("ends well")));
    for (const char* name : {"ok", "fails", "some", "asks"})
        EXPECT_TRUE(help.out.contains(QStringLiteral("\n  ") + QLatin1String(name))) << name;
    EXPECT_FALSE(help.out.contains(QStringLiteral("window-only")));
    const CliRun version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.rc, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("kemnoa "))) << version.out.toStdString();

    const CliRun usage = run({QStringLiteral("ok"), QStringLiteral("1"), QStringLiteral("2")});
    EXPECT_TRUE(usage.err.endsWith(QStringLiteral("usage: kemnoa-cli ok \n")));
    EXPECT_TRUE(usage.out.isEmpty()); // the job never ran
    EXPECT_EQ(run({QStringLiteral("ok"), QStringLiteral("a")}).out, QStringLiteral("ran a\n"));
}

TEST(CliRunner, EveryRunEndsWithOneSummaryLine) {
    const struct {
        QStringList args;
        QString last;
    } cases[] = {
        {{QStringLiteral("ok")}, QStringLiteral("kemnoa-cli: ok: done\n")},
        {{QStringLiteral("fails")}, QStringLiteral("kemnoa-cli: fails: failed\n")},
        {{QStringLiteral("counts")},
         QStringLiteral("kemnoa-cli: counts: done with failures (files 2, failures 1)\n")},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_TRUE(r.err.endsWith(c.last)) << r.err.toStdString();
        EXPECT_EQ(r.err.count(QStringLiteral("kemnoa-cli: ")), 1);
    }
    EXPECT_FALSE(run({QStringLiteral("ok"), QStringLiteral("1"), QStringLiteral("2")})
                     .err.contains(QStringLiteral(": failed")));
}

TEST(CliRunner, ListLinesCannotForgeLinesOrDriveTheTerminal) {
    const CliRun r = run({QStringLiteral("counts")});
    EXPECT_EQ(r.out, QStringLiteral("♯a forged?[31m\n"));
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("♯a forged?[31m\n"))); // failure lines also on standard error
}

TEST(CliRunner, InputComesFromTheVariableOrStandardInputNeverTheCommandLine) {
    qunsetenv("KEMNOA_TEST_SECRET");
    EXPECT_EQ(run({QStringLiteral("secret")}, QStringLiteral("open\n")).rc, 0);
    EXPECT_EQ(run({QStringLiteral("secret")}, QStringLiteral("shut\n")).rc, 1);
    EXPECT_EQ(run({QStringLiteral("secret")}).rc, 1);
    EXPECT_EQ(run({QStringLiteral("--input"), QStringLiteral("open"), QStringLiteral("secret")}).rc, 2);
    qputenv("KEMNOA_TEST_SECRET", "open");
    EXPECT_EQ(run({QStringLiteral("secret")}, QStringLiteral("shut\n")).rc, 0);
    qunsetenv("KEMNOA_TEST_SECRET");
}

TEST(CliRunner, QuestionsGoToStandardErrorWithTheirTitle) {
    const CliRun r = run({QStringLiteral("--yes"), QStringLiteral("asks")});
    EXPECT_TRUE(r.err.contains(QStringLiteral("[確認] 続けますか？"))) << r.err.toStdString();
}

} // namespace
