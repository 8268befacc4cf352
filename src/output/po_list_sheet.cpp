#include "output/po_list_sheet.h"

#include "output/sheet_common.h"
#include "platform/db/reader.h"

namespace kemnoa::output {
namespace {

constexpr uint32_t kFirstRow = 16;
constexpr uint32_t kLastPrepared = 58;

QHash<QString, QVariant> rowValues(const db::Reader& r) {
    QHash<QString, QVariant> row;
    for (int c = 0; c < r.columnCount(); ++c)
        row.insert(r.column(c).name.toLower(), r.value(c));
    return row;
}

} // namespace

PoListData readPoList(db::Connection& work, db::Connection& po, const QString& poNo, const QString& poKbn) {
    PoListData data;
    for (db::Reader r = work.read(QStringLiteral("Select * From rcv_skdata Where PO_NO = ? And PO_KBN = ? "
                                                 "Order By rcv_skdata.PO_GYOU "),
                                  {poNo, poKbn});
         !r.atEnd(); r.moveNext())
        data.lines.push_back(rowValues(r));
    if (data.lines.empty())
        return data;
    db::Reader h = po.read(QStringLiteral("Select * From TBL_PO_H Where PO番号 = ? "), {poNo});
    if (!h.atEnd())
        data.header = rowValues(h);
    return data;
}

void fillPoList(xlsx::Sheet& sheet, const PoListData& data, const QString& poNo,
                std::initializer_list<PoListColumn> columns) {
    if (data.header) {
        const auto& h = *data.header;
        sheet.range(QStringLiteral("AE3")).setText(slashDate(h.value(QStringLiteral("po発行日"))));
        sheet.range(QStringLiteral("AQ3")).setText(slashDate(h.value(QStringLiteral("希望納期"))));
        sheet.range(QStringLiteral("AG5")).setText(poNo);
        sheet.range(QStringLiteral("D5")).setText(asText(data.lines.front().value(QStringLiteral("nou_cd"))));
        sheet.range(QStringLiteral("I5")).setText(asText(h.value(QStringLiteral("納品先名"))));
    }
    uint32_t row = kFirstRow;
    for (const auto& line : data.lines) {
        if (row > kLastPrepared) {
            for (const PoListColumn& c : columns)
                formatListRow(sheet, row, {{c.first, c.last, c.numberFormat, c.alignment}});
        }
        for (const PoListColumn& c : columns) {
            QString value;
            for (const QString& name : c.values) {
                const QVariant v = line.value(name.toLower());
                value +=
                    name.compare(QStringLiteral("SU"), Qt::CaseInsensitive) == 0 ? numberText(v) : asText(v);
            }
            sheet.range(QStringLiteral("%1%2").arg(QLatin1String(c.first)).arg(row)).setText(value);
        }
        ++row;
    }
}

} // namespace kemnoa::output
