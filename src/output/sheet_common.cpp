#include "output/sheet_common.h"

#include "core/program_folder.h"

#include <QDate>
#include <QFileInfo>
#include <QRegularExpression>

namespace kemnoa::output {

QString MF_PoBookPrefix(const QString& poKbn) {
    return poKbn == QStringLiteral("1") ? QStringLiteral("GK.") : QStringLiteral("PO.");
}

QString poBookFileName(const QString& poNo, const QString& poKbn) {
    return MF_PoBookPrefix(poKbn) + poNo + QStringLiteral(".xlsx");
}

xlsx::Workbook openTemplate(const QString& folder, const QString& name) {
    const QString direct = core::joinPath(folder, name);
    if (QFileInfo::exists(direct))
        return xlsx::Workbook::open(direct);
    const QString resources = core::joinPath(core::joinPath(folder, QStringLiteral("templates")), name);
    if (QFileInfo::exists(resources))
        return xlsx::Workbook::open(resources);
    throw core::Error(QStringLiteral("テンプレート \"") + direct + QStringLiteral("\" が見つかりません"),
                      core::errnum::FileNotFound);
}

QString slashDate(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("yyyy/MM/dd"));
    const QString text = value.toString().trimmed();
    static const QRegularExpression eight(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    static const QRegularExpression parts(
        QStringLiteral("^(\\d{4})[/-](\\d{1,2})[/-](\\d{1,2})(?:[ T].*)?$"));
    QRegularExpressionMatch m = eight.match(text);
    if (!m.hasMatch())
        m = parts.match(text);
    if (m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (d.isValid())
            return d.toString(QStringLiteral("yyyy/MM/dd"));
    }
    return text;
}

QString asText(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Double) {
        // Decimal columns arrive as doubles: their shortest form, as Excel shows them.
        return QString::number(value.toDouble(), 'g', 15);
    }
    return value.toString();
}

QString numberText(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return QString();
    bool ok = false;
    const double d = value.toString().trimmed().toDouble(&ok);
    return ok ? QString::number(d, 'g', 15) : value.toString();
}

void formatListRow(xlsx::Sheet& sheet, uint32_t row, std::initializer_list<ListBlock> blocks) {
    for (const ListBlock& b : blocks) {
        xlsx::Range r = sheet.range(
            QStringLiteral("%1%3:%2%3").arg(QLatin1String(b.first), QLatin1String(b.last)).arg(row));
        if (b.font) {
            xlsx::FontChange f;
            f.name = QStringLiteral("ＭＳ Ｐゴシック");
            f.size = 10;
            f.strikethrough = f.superscript = f.subscript = f.outline = f.shadow = false;
            f.underline = xlsx::Underline::None;
            f.colorIndex = xlsx::kColorAutomatic;
            r.cell(1, 1).setFont(f);
        }
        r.merge();
        r.setNumberFormat(QString::fromLatin1(b.numberFormat));
        if (b.alignment)
            r.setHorizontalAlignment(*b.alignment);
        r.setBorders(xlsx::EdgeBottom, xlsx::LineStyle::Dot);
        r.setBorders(b.leftEdge ? (xlsx::EdgeLeft | xlsx::EdgeRight) : xlsx::EdgeRight,
                     xlsx::LineStyle::Continuous);
    }
}

core::Outcome reportFailure(core::Prompter& prompter, const QString& procedure, const core::Error& error) {
    prompter.message(error.text(), procedure, core::MsgIcon::Critical);
    return core::Outcome::Failed;
}

bool isPlainFileName(const QString& name) {
    static const QString refused = QStringLiteral("\\/:*?\"<>|");
    if (name.trimmed().isEmpty() || name == QStringLiteral(".") || name.contains(QStringLiteral("..")))
        return false;
    for (QChar c : name)
        if (refused.contains(c) || c.unicode() < 0x20)
            return false;
    return !name.endsWith(u'.') && !name.endsWith(u' ');
}

} // namespace kemnoa::output
