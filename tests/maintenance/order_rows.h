#pragma once
// Orders written straight into the received-order tables for the maintenance tests.

#include "platform/db/connection.h"

#include <QString>

namespace kemnoa::test {

struct HeaderRow {
    qint32 ordNo = 0;
    QString iraiNo = QStringLiteral("100");
    int ordDate = 20240115;
    QString sendFlg = QStringLiteral("9");
    QString poNo;
    QString poKbn;
    int prnSu = 0;
    QString nouNm = QStringLiteral("納品先");
};

inline void insertHeader(db::Connection& c, const HeaderRow& h) {
    c.execute(
        QStringLiteral(
            "Insert Into rcv_denheaddata (ORD_NO, IRAI_NO, ORD_DATE, KIBO_DATE, NOU_NM, ERR_SU, "
            "PRN_SU, SEND_FLG, PO_NO, PO_KBN, BIKO2) Values (?, ?, ?, '20240220', ?, 0, ?, ?, ?, ?, '0')"),
        {h.ordNo, h.iraiNo, h.ordDate, h.nouNm, h.prnSu, h.sendFlg, h.poNo, h.poKbn});
}

// One row in each line table and a print, production and finding row for the order.
inline void insertLines(db::Connection& c, qint32 ordNo, const QString& poNo = {},
                        const QString& poKbn = {}) {
    for (int g = 1; g <= 2; ++g) {
        c.execute(QStringLiteral("Insert Into rcv_posdata (ORD_NO, GYOU, TACD) Values (?, ?, 'T')"),
                  {ordNo, g});
        c.execute(QStringLiteral("Insert Into rcv_cardata (ORD_NO, GYOU, EHJ) Values (?, ?, 'E')"),
                  {ordNo, g});
        c.execute(QStringLiteral("Insert Into rcv_addfukidata (ORD_NO, GYOU, FUKI_SU) Values (?, ?, 1)"),
                  {ordNo, g});
        c.execute(QStringLiteral("Insert Into rcv_fuzokudata (ORD_NO, GYOU, NAME_NM) Values (?, ?, 'TAG')"),
                  {ordNo, g});
    }
    c.execute(QStringLiteral("Insert Into rcv_errdata (ORD_NO, GYOU, ERR_TITLE) Values (?, 1, 't')"),
              {ordNo});
    c.execute(QStringLiteral("Insert Into rcv_csvdata (PO_NO, PO_KBN, ORD_NO) Values (?, ?, ?)"),
              {poNo, poKbn, ordNo});
    c.execute(QStringLiteral("Insert Into rcv_skdata (PO_NO, PO_KBN, ORD_NO) Values (?, ?, ?)"),
              {poNo, poKbn, ordNo});
}

} // namespace kemnoa::test
