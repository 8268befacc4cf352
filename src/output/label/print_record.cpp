#include "output/label/print_record.h"

#include "platform/base/error.h"
#include "platform/text/cp932.h"

#include <QFile>

namespace kemnoa::label {

const QStringList& printColumnNames() {
    static const QStringList names = [] {
        QStringList n{
            QStringLiteral("PO_NO"),        QStringLiteral("PO_KBN"),     QStringLiteral("PO_GYOU"),
            QStringLiteral("ORD_NO"),       QStringLiteral("GYOU"),       QStringLiteral("HINSYU_CD"),
            QStringLiteral("LAYOUT"),       QStringLiteral("HINBAN"),     QStringLiteral("SHO_CD"),
            QStringLiteral("SHO_NM1"),      QStringLiteral("SHO_NM2"),    QStringLiteral("COLOR_NO"),
            QStringLiteral("COLOR_NM"),     QStringLiteral("SORT_LV"),    QStringLiteral("SIZE_VALUE"),
            QStringLiteral("CAPTION_SIZE"), QStringLiteral("SU"),         QStringLiteral("GENSAN"),
            QStringLiteral("KEM_PRICE1"),   QStringLiteral("KEM_PRICE2"), QStringLiteral("JAN_CD"),
            QStringLiteral("TAG_CD"),       QStringLiteral("TANM1"),      QStringLiteral("TANM2"),
            QStringLiteral("TANM3")};
        for (int k = 1; k <= 12; ++k)
            n << QStringLiteral("QUL%1").arg(k) << QStringLiteral("PER%1").arg(k);
        n << QStringLiteral("EHJ_NO");
        for (int k = 1; k <= 6; ++k)
            n << QStringLiteral("EHJ%1").arg(k);
        n << QStringLiteral("EHJ_HENKAN");
        for (int k = 1; k <= 8; ++k)
            n << QStringLiteral("FUKI%1").arg(k);
        n << QStringLiteral("IRAI_NO") << QStringLiteral("NOU_CD") << QStringLiteral("NOU_NM")
          << QStringLiteral("KIBO_DATE") << QStringLiteral("ORD_DATE");
        for (int k = 1; k <= 3; ++k)
            n << QStringLiteral("HYOJI%1").arg(k);
        for (int k = 1; k <= 3; ++k)
            n << QStringLiteral("SIZE_NOTE%1").arg(k);
        n << QStringLiteral("PRINT_HINBAN") << QStringLiteral("MAKER_NM") << QStringLiteral("LOT_NOTE")
          << QStringLiteral("SH_PRICE");
        return n;
    }();
    return names;
}

int printColumn(const QString& name) {
    return int(printColumnNames().indexOf(name));
}

QString printLine(const QStringList& values) {
    QString line;
    for (int i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        line += QLatin1Char('"') + values[i] + QLatin1Char('"');
    }
    return line;
}

PrintRecord parsePrintLine(const QString& line) {
    if (line.size() < 2 || !line.startsWith(QLatin1Char('"')) || !line.endsWith(QLatin1Char('"')))
        throw Error(QStringLiteral("値が二重引用符で囲まれていません"), errnum::General);
    const QStringList values = line.mid(1, line.size() - 2).split(QStringLiteral("\",\""));
    if (values.size() != kPrintColumns)
        throw Error(QStringLiteral("列の数が%1です(%2列のはずです)").arg(values.size()).arg(kPrintColumns),
                    errnum::General);
    return values;
}

std::vector<PrintRecord> readPrintFile(const QString& path) {
    QFile file(path);
    if (!file.exists())
        throw Error(QStringLiteral("印刷データが見つかりません。(%1)").arg(path), errnum::FileNotFound);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("印刷データを開けません。(%1)").arg(path), errnum::PathFileAccess);
    std::vector<PrintRecord> records;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray bytes = lines[i];
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        if (bytes.isEmpty())
            continue;
        try {
            records.push_back(parsePrintLine(text::fromCp932(bytes)));
        } catch (const Error& e) {
            throw Error(QStringLiteral("印刷データ(%1) %2行目: %3").arg(path).arg(i + 1).arg(e.description()),
                        errnum::General);
        }
    }
    return records;
}

} // namespace kemnoa::label
