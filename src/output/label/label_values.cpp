#include "output/label/label_values.h"

#include <QDir>
#include <QFileInfo>

namespace kemnoa::label {
namespace {

QString joinLines(const QStringList& parts) {
    QStringList kept;
    for (const QString& p : parts)
        if (!p.trimmed().isEmpty())
            kept << p;
    return kept.join(QLatin1Char('\n'));
}

} // namespace

bool isSafeCode(const QString& code) {
    if (code.isEmpty() || code.size() > 40)
        return false;
    for (const QChar c : code) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') ||
                        u == u'_' || u == u'-';
        if (!ok)
            return false;
    }
    return true;
}

report::PageValues labelValues(const PrintRecord& record, const QString& bmpFolder) {
    report::PageValues page;
    const QStringList& names = printColumnNames();
    for (int i = 0; i < names.size() && i < record.size(); ++i)
        page.texts[names[i]] = record[i];
    const auto value = [&record](const QString& name) { return record.value(printColumn(name)); };

    // The composition: one line per material with its share ("綿 80％").
    QStringList composition;
    for (int k = 1; k <= 12; ++k) {
        const QString material = value(QStringLiteral("QUL%1").arg(k)).trimmed();
        const QString share = value(QStringLiteral("PER%1").arg(k)).trimmed();
        if (!material.isEmpty() || !share.isEmpty())
            composition << (share.isEmpty() ? material : material + QLatin1Char(' ') + share);
    }
    page.texts[QStringLiteral("COMPOSITION")] = composition.join(QLatin1Char('\n'));

    QStringList terms;
    for (int k = 1; k <= 8; ++k)
        terms << value(QStringLiteral("FUKI%1").arg(k));
    page.texts[QStringLiteral("FUKI")] = joinLines(terms);
    page.texts[QStringLiteral("TANM")] = joinLines(
        {value(QStringLiteral("TANM1")), value(QStringLiteral("TANM2")), value(QStringLiteral("TANM3"))});
    page.texts[QStringLiteral("HYOJI")] = joinLines(
        {value(QStringLiteral("HYOJI1")), value(QStringLiteral("HYOJI2")), value(QStringLiteral("HYOJI3"))});
    page.texts[QStringLiteral("SHO_NM")] =
        joinLines({value(QStringLiteral("SHO_NM1")), value(QStringLiteral("SHO_NM2"))})
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
    // The colour by number and name; a name that repeats the number is shown once.
    const QString colorNo = value(QStringLiteral("COLOR_NO")).trimmed();
    const QString colorNm = value(QStringLiteral("COLOR_NM")).trimmed();
    page.texts[QStringLiteral("COLOR")] = colorNm.isEmpty() || colorNm == colorNo ? colorNo
                                          : colorNo.isEmpty()                     ? colorNm
                                                              : colorNo + QLatin1Char(' ') + colorNm;

    for (int k = 1; k <= 6; ++k) {
        const QString code = value(QStringLiteral("EHJ%1").arg(k)).trimmed();
        if (!isSafeCode(code))
            continue; // an empty position, or a code that cannot name a file
        const QString file = QDir(bmpFolder).filePath(code + QStringLiteral(".bmp"));
        if (QFileInfo(file).isFile())
            page.pictures[QStringLiteral("EHJ%1_BMP").arg(k)] = file;
    }
    return page;
}

} // namespace kemnoa::label
