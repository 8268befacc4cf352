#pragma once
// Helpers of the workbook tests: independent readers (openpyxl, LibreOffice, zbarimg) and temp files.

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kemnoa::xlsx::test {

// Runs a program; returns its exit code and fills output with its standard output.
int run(const QString& program, const QStringList& args, QByteArray* output = nullptr,
        QByteArray* errors = nullptr, int timeoutMs = 300000);

// What openpyxl reads from the workbook (see dump_xlsx.py).
QJsonObject openpyxlDump(const QString& path);
// One sheet of such a dump, by name.
QJsonObject dumpSheet(const QJsonObject& dump, const QString& name);
// One cell of a dumped sheet ({} when openpyxl has no such cell).
QJsonObject dumpCell(const QJsonObject& sheet, const QString& ref);

// The source tree (resources/templates, tools/).
QString sourceTree();
// A script in tests/platform/xlsx.
QString testScript(const QString& name);

} // namespace kemnoa::xlsx::test
