#pragma once
// Helpers of the Jet tests: running the independent readers (mdbtools programs, npm mdb-reader).

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace kemnoa::test {

struct ProgramResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a program to its end (at most two minutes).
ProgramResult runProgram(const QString& program, const QStringList& args);

// The folder of the npm test readers, from KEMNOA_TEST_NODE_MODULES; empty when not installed.
QString nodeModules();
// mdb-reader's view of a file (see mdb_reader_dump.mjs); tables limits the tables read.
QJsonObject mdbReaderDump(const QString& file, const QStringList& tables = {});

// mdb-export's CSV of a table split into rows of fields (header first), quotes removed; Null is
// shown as kNullMark, so it is told apart from empty text.
extern const QString kNullMark;
std::vector<QStringList> mdbExportRows(const QString& file, const QString& table);

} // namespace kemnoa::test
