#pragma once
// Helpers for the archiver tests: deterministic inputs and the independent LHA programs.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kemnoa::test::lzh {

struct ToolResult {
    int exitCode = -1;
    QString output;
};

// Runs a program in a folder and waits for it (no timeout of our own; CTest bounds the test).
ToolResult runTool(const QString& program, const QStringList& args, const QString& workDir);

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& data);
// Reads a file by the raw bytes of its path (names an external tool wrote in code page 932).
QByteArray readFileRaw(const std::string& path);

struct ExpectedMember {
    QString name;
    QByteArray data;
};

// What the independent LHA programs found: the problems, one a line (empty when all is well), and the
// programs that are not installed and so checked nothing.
struct ToolCheck {
    std::string problems;
    QStringList missing;
};

// Lists, tests and extracts the archive with lhasa and extracts it with jlha (each when installed);
// every member must come out byte-identical and no other file may appear. workDir is a scratch folder.
ToolCheck checkWithLhaTools(const QString& archive, const std::vector<ExpectedMember>& members,
                            const QString& workDir);

// Checks the archive with the LHA programs; when one of them is not installed the test skips,
// naming it, unless it has failed already. Ends the test either way, so it comes last. The arguments
// are those of checkWithLhaTools (variadic for the braces of a member list).
#define KEMNOA_EXPECT_LHA_TOOLS_ACCEPT(...)                                                                  \
    do {                                                                                                     \
        const ::kemnoa::test::lzh::ToolCheck kemnoaCheck =                                                   \
            ::kemnoa::test::lzh::checkWithLhaTools(__VA_ARGS__);                                             \
        EXPECT_EQ(kemnoaCheck.problems, "");                                                                 \
        if (!kemnoaCheck.missing.isEmpty() && !::testing::Test::HasFailure())                                \
            GTEST_SKIP() << "not installed: " << kemnoaCheck.missing.join(QLatin1Char(' ')).toStdString();   \
        return;                                                                                              \
    } while (false)

// Deterministic pseudo-random bytes.
QByteArray randomBytes(size_t size, uint32_t seed);
// Text-like data that compresses the way documents do: repeated words, numbers and markup.
QByteArray documentLike(size_t size, uint32_t seed);

} // namespace kemnoa::test::lzh
