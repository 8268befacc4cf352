// Writes the fuzzer's seed files: small Jet 4 databases made by our writer that together use every
// structure the reader parses (several tables, each column type, Null and empty values, long values
// in the row, on one page and chained, tables over several pages).
// Usage: jet_fuzz_seeds OUT_DIR

#include "platform/jet/jet_writer.h"

#include <QDir>
#include <cstdio>

using namespace kemnoa::jet;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    const QDateTime when(QDate(2024, 4, 1), QTime(9, 0));
    try {
        {
            JetWriter w(out.filePath(QStringLiteral("types.mdb")), when);
            w.createTable(QStringLiteral("t"), {{QStringLiteral("T"), ColumnType::Text, 20},
                                                {QStringLiteral("M"), ColumnType::Memo},
                                                {QStringLiteral("B"), ColumnType::Byte},
                                                {QStringLiteral("I"), ColumnType::Integer},
                                                {QStringLiteral("L"), ColumnType::Long},
                                                {QStringLiteral("D"), ColumnType::Double},
                                                {QStringLiteral("C"), ColumnType::Currency},
                                                {QStringLiteral("DT"), ColumnType::DateTime}});
            w.insert(QStringLiteral("t"),
                     Row{Value::text(QStringLiteral("品質")), Value::text(QStringLiteral("メモ")),
                         Value::integer(7), Value::integer(-2), Value::integer(100000), Value::real(0.5),
                         Value::currency(10000), Value::dateTime(45000.25)});
            w.insert(QStringLiteral("t"), Row{Value::text(QString()), Value(), Value(), Value(), Value(),
                                              Value(), Value(), Value()});
            w.close();
        }
        {
            JetWriter w(out.filePath(QStringLiteral("longvalues.mdb")), when);
            w.createTable(QStringLiteral("memo"), {{QStringLiteral("ID"), ColumnType::Long},
                                                   {QStringLiteral("M"), ColumnType::Memo}});
            w.insert(QStringLiteral("memo"), Row{Value::integer(1), Value::text(QString(1500, u'a'))});
            w.insert(QStringLiteral("memo"), Row{Value::integer(2), Value::text(QString(2500, u'綿'))});
            w.close();
        }
        {
            JetWriter w(out.filePath(QStringLiteral("pages.mdb")), when);
            w.createTable(QStringLiteral("a"), {{QStringLiteral("ORD_NO"), ColumnType::Long},
                                                {QStringLiteral("GYOU"), ColumnType::Long},
                                                {QStringLiteral("TEXT"), ColumnType::Text, 100}});
            for (int i = 0; i < 120; ++i)
                w.insert(QStringLiteral("a"), Row{Value::integer(i / 5), Value::integer(i % 5),
                                                  Value::text(QStringLiteral("行%1 ").arg(i).repeated(4))});
            w.createTable(QStringLiteral("b"), {{QStringLiteral("X"), ColumnType::Text}});
            w.close();
        }
    } catch (const kemnoa::Error& e) {
        std::fprintf(stderr, "%s\n", e.text().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
