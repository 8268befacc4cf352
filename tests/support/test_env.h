#pragma once
// Paths and helpers shared by the tests.

#include <QString>

namespace kemnoa::test {

// The source tree (resources/, tests/data/), from KEMNOA_SOURCE_DIR set by CTest.
QString sourceDir();
// The build tree, where the executables lie.
QString binaryDir();
// The system Python with Debian's modules (pyftpdlib, openpyxl).
QString systemPython();
// True when the program is found on PATH.
bool haveProgram(const QString& name);

} // namespace kemnoa::test
