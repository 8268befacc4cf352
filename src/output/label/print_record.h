#pragma once
// The print record: the first 80 columns of a print row (rcv_csvdata) as the label application reads
// them, one line of a print-data CSV file. Every value stands between double quotes, the values are
// separated by ",", and quotes inside a value are not doubled; so a field is read between its outer
// quotes up to the next "," separator, never ended by a lone quote. Lines are code page 932, CR LF.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace kemnoa::label {

inline constexpr int kPrintColumns = 80;

// The names of columns 0 ... 79 (PO_NO, PO_KBN, PO_GYOU, ... SH_PRICE).
const QStringList& printColumnNames();
// The position of a column name, or -1.
int printColumn(const QString& name);

using PrintRecord = QStringList; // 80 values

// One CSV line (without its line end) from values, each quoted as it stands.
QString printLine(const QStringList& values);
// The values of one line (without its line end). Throws Error when the line is not quoted values
// separated by "," or does not hold exactly 80 of them.
PrintRecord parsePrintLine(const QString& line);

// Every record of a print-data file (code page 932). Empty lines are skipped. Throws Error naming
// the file and the line for a file that cannot be read or a line that cannot be parsed.
std::vector<PrintRecord> readPrintFile(const QString& path);

} // namespace kemnoa::label
