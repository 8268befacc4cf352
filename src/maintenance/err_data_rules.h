#pragma once
// The rules of the master check: what is wrong with one order, judged against the company's masters
// and the PO database's delivery destinations. docs/master-check.md lists them.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <vector>

namespace kemnoa::maintenance {

// One order as the check reads it: rows by column name (upper-case keys), lines in GYOU order.
struct OrderSnapshot {
    QVariantMap header;
    std::vector<QVariantMap> posLines;
    std::vector<QVariantMap> carLines;
    std::vector<QVariantMap> addFukiLines;
    std::vector<QVariantMap> fuzokuLines;
};

// What the masters know. Each question may be asked many times; implementations cache as they like.
class MasterLookup {
public:
    virtual ~MasterLookup() = default;
    virtual bool hasEhj(const QString& ehjNo) = 0;                            // kemmst_ehj
    virtual bool hasFuki(const QString& fukiNo) = 0;                          // kemmst_fuki
    virtual bool hasName(const QString& nameNm) = 0;                          // kemmst_namecode
    virtual bool hasSizai(const QString& nameNm, const QString& sizaiCd) = 0; // kemmst_sizaicode
    // MST_NOUHIN of the PO database, by the client's destination code (NOUKYAKU_CD).
    virtual bool hasNouhin(const QString& nouCd) = 0;
};

struct Finding {
    QString title;   // ERR_TITLE
    QString value;   // ERR_VALUE
    QString message; // ERR_MESSAGE
};

// The columns the rules read from each table; a snapshot needs no others.
const QStringList& checkedHeaderColumns();    // rcv_denheaddata
const QStringList& checkedLabelLineColumns(); // rcv_posdata and rcv_cardata
const QStringList& checkedAddFukiColumns();   // rcv_addfukidata
const QStringList& checkedFuzokuColumns();    // rcv_fuzokudata

// True for eight digits yyyymmdd naming a real calendar date.
bool isValidYmd(const QString& text);

// The findings of one order, in the documented order.
std::vector<Finding> checkOrder(const OrderSnapshot& order, MasterLookup& masters);

} // namespace kemnoa::maintenance
