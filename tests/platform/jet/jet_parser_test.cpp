// The parsing child kept for a run of files: each job bounded on its own, a failed or crashed job
// never taking the next one with it, and a file parsed ahead used only while it is still that file.

#include "demo/generated_orders.h"
#include "platform/jet/isolated_worker.h"
#include "platform/jet/jet_parser.h"

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace kemnoa::jet;
using kemnoa::Error;
namespace of = kemnoa::demo;

namespace {

// Jobs named by their request; "pid:FILE" writes the child's process id to FILE, "fd:N" succeeds
// when descriptor N is not open in the child.
bool job(const QByteArray& request) {
    if (request == "ok")
        return true;
    if (request == "fail")
        return false;
    if (request == "throw")
        throw std::runtime_error("x");
    if (request == "abort")
        std::abort();
    if (request == "hang")
        for (;;)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (request.startsWith("pid:")) {
        QFile f(QString::fromUtf8(request.mid(4)));
        return f.open(QIODevice::WriteOnly) && f.write(QByteArray::number(getpid())) > 0;
    }
    if (request.startsWith("fd:"))
        return fcntl(request.mid(3).toInt(), F_GETFD) < 0;
    return false;
}

IsolatedOutcome run(IsolatedWorker& w, const QByteArray& request) {
    EXPECT_TRUE(w.send(request));
    EXPECT_TRUE(w.busy());
    return w.wait();
}

TEST(JetWorker, EachJobEndsOnItsOwnAndTheNextStillRuns) {
    IsolatedWorker w(job, IsolationLimits{1500, qint64(512) << 20});
    const struct {
        const char* request;
        IsolatedOutcome outcome;
    } cases[] = {
        {"ok", IsolatedOutcome::Succeeded},
        {"fail", IsolatedOutcome::Failed},
        {"throw", IsolatedOutcome::Failed},
        {"hang", IsolatedOutcome::TimedOut},
#if !defined(__SANITIZE_ADDRESS__)
        {"abort", IsolatedOutcome::Crashed},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request);
        EXPECT_EQ(run(w, c.request), c.outcome);
        EXPECT_FALSE(w.busy());
        EXPECT_EQ(run(w, "ok"), IsolatedOutcome::Succeeded);
    }
    EXPECT_FALSE(w.send("ok") && w.send("ok")) << "a second job before the first was waited for";
}

TEST(JetWorker, OneChildServesTheRunAndHoldsNoneOfTheProgramsFiles) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a")), b = dir.filePath(QStringLiteral("b")),
                  c = dir.filePath(QStringLiteral("c"));
    auto pidIn = [](const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    QFile open(dir.filePath(QStringLiteral("held")));
    ASSERT_TRUE(open.open(QIODevice::WriteOnly));
    const int held = fcntl(open.handle(), F_DUPFD, 50); // clear of the child's own descriptors
    ASSERT_GE(held, 50);
    IsolatedWorker w(job, IsolationLimits{5000, qint64(512) << 20});
    EXPECT_EQ(run(w, "fd:" + QByteArray::number(held)), IsolatedOutcome::Succeeded);
    ::close(held);
    EXPECT_EQ(run(w, "pid:" + a.toUtf8()), IsolatedOutcome::Succeeded);
    EXPECT_EQ(run(w, "pid:" + b.toUtf8()), IsolatedOutcome::Succeeded);
    EXPECT_EQ(pidIn(a), pidIn(b));
    EXPECT_NE(pidIn(a), QByteArray::number(getpid()));
    EXPECT_EQ(run(w, "fail"), IsolatedOutcome::Failed); // a failed parse gets no second file
    EXPECT_EQ(run(w, "pid:" + c.toUtf8()), IsolatedOutcome::Succeeded);
    EXPECT_NE(pidIn(c), pidIn(a));
}

class JetParserTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString a, b;
    void SetUp() override {
        a = dir.filePath(QStringLiteral("A.mdb"));
        b = dir.filePath(QStringLiteral("B.mdb"));
        of::Options o;
        o.orders = 3;
        o.linesPerOrder = 2;
        of::makeOrderFile(a, o);
        o.seed = 99;
        o.firstOrderNumber = 700000;
        of::makeOrderFile(b, o);
    }
};

std::vector<Row> allRows(const JetReader& r) {
    std::vector<Row> out;
    for (const QString& t : r.tables())
        r.forEachRow(t, [&](const Row& row) { out.push_back(row); });
    return out;
}

TEST_F(JetParserTest, ReadsWhatAChildPerFileReadsAndParsesAChangedFileAgain) {
    const std::vector<Row> rowsA = allRows(JetReader(a)), rowsB = allRows(JetReader(b));
    ASSERT_NE(rowsA, rowsB);
    JetParser parser;
    EXPECT_EQ(allRows(parser.read(a)), rowsA);
    parser.prefetch(b);
    EXPECT_EQ(allRows(parser.read(b)), rowsB);
    parser.prefetch(b); // a guess that turns out wrong
    EXPECT_EQ(allRows(parser.read(a)), rowsA);
    // Replaced after it was parsed ahead: the new file is read, not what was parsed.
    parser.prefetch(a);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(QFile::remove(a));
    ASSERT_TRUE(QFile::copy(b, a));
    EXPECT_EQ(allRows(parser.read(a)), rowsB);
}

TEST_F(JetParserTest, FailuresAreTheOnesOfAChildPerFile) {
    QFile f(b);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(2 * 4096);
    f.write("\x01", 1);
    f.close();
    auto failure = [](const std::function<void()>& read) {
        try {
            read();
        } catch (const Error& e) {
            return std::make_pair(e.number(), e.description());
        }
        return std::make_pair(0L, QString());
    };
    const auto expected = failure([&] { JetReader r(b); });
    ASSERT_NE(expected.first, 0);
    JetParser parser;
    parser.prefetch(b);
    EXPECT_EQ(failure([&] { parser.read(b); }), expected);
    EXPECT_EQ(failure([&] { parser.read(b); }), expected);
    EXPECT_EQ(allRows(parser.read(a)), allRows(JetReader(a))) << "the next file after a failure";
    const auto missing = failure([&] { parser.read(dir.filePath(QStringLiteral("gone.mdb"))); });
    EXPECT_EQ(missing, failure([&] { JetReader r(dir.filePath(QStringLiteral("gone.mdb"))); }));
}

} // namespace
