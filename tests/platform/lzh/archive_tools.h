#pragma once
// Helpers for the archiver tests: deterministic inputs and the independent LHA programs.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
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

// Lists, tests and extracts the archive with lhasa and extracts it with jlha (each when installed);
// every member must come out byte-identical and no other file may appear. Returns the problems found,
// one a line; empty when all is well. workDir is a scratch folder.
std::string checkWithLhaTools(const QString& archive, const std::vector<ExpectedMember>& members,
                              const QString& workDir);

// Deterministic pseudo-random bytes.
QByteArray randomBytes(size_t size, uint32_t seed);
// Text-like data that compresses the way documents do: repeated words, numbers and markup.
QByteArray documentLike(size_t size, uint32_t seed);

} // namespace kemnoa::test::lzh
