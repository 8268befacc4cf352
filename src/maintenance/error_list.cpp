#include "maintenance/error_list.h"

#include "platform/db/reader.h"

namespace kemnoa::maintenance {

std::vector<ErrorListRow> loadErrorList(db::Connection& work, qint32 ordNo) {
    QString sql = QStringLiteral("Select ORD_NO, GYOU, ERR_TITLE, ERR_VALUE, ERR_MESSAGE From rcv_errdata ");
    QVariantList params;
    if (ordNo != 0) {
        sql += QStringLiteral("Where ORD_NO = ? ");
        params << ordNo;
    }
    sql += QStringLiteral("Order By ORD_NO, GYOU ");
    std::vector<ErrorListRow> rows;
    for (db::Reader r = work.read(sql, params); !r.atEnd(); r.moveNext())
        rows.push_back({r.value(0).toInt(), r.value(1).toInt(), r.text(2), r.text(3), r.text(4), false});
    assignBands(rows);
    return rows;
}

void assignBands(std::vector<ErrorListRow>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].band = i == 0 ? false : (rows[i].gyou == 1 ? !rows[i - 1].band : rows[i - 1].band);
}

} // namespace kemnoa::maintenance
