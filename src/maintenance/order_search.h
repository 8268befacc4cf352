#pragma once
// The order search list: its conditions, the rows it shows (newest order number first, at most
// 5,000), the "d" command that deletes unsent orders, and the refresh of one row after a save.

#include "core/outcome.h"
#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace kemnoa::maintenance {

inline constexpr int kSearchRowLimit = 5000;

struct SearchCriteria {
    QString ordNo;    // prefix
    QString iraiNo;   // prefix
    QString dateFrom; // yyyymmdd
    QString dateTo;   // yyyymmdd
    QString poNo;     // prefix
    QString poKbn;    // exact
    QString sendFlg;  // "1" sent only, other text unsent only, empty either
};

// The screen's starting values: a month either side of today, unsent orders.
SearchCriteria defaultCriteria(const QDate& today);
// True when both dates are eight digits.
bool validSearchDates(const SearchCriteria& criteria);

// One list row: the command letter typed against it and the header columns shown.
struct SearchRow {
    QString command;
    qint32 ordNo = 0;
    QString iraiNo;
    QString poNo;
    QString poKbn;
    QString ordDate;
    QString kiboDate;
    QString nouNm;
    QString errSu;
    QString sendFlg;
};

// The send state as the list shows it: "済" for a sent order ('1'), nothing otherwise (unsent '0',
// imported '9', sending cancelled '9').
QString sendStateSymbol(const QString& sendFlg);

struct SearchResult {
    std::vector<SearchRow> rows;
    bool more = false; // more orders matched than the rows hold
};

// Said when more orders match than the list holds.
QString searchLimitText();

// The orders matching the criteria (dates already checked), newest order number first, at most
// `limit`. Values are bound; the prefixes match literally (% and _ are no wildcards). Throws core::Error.
SearchResult searchOrders(db::Connection& work, const SearchCriteria& criteria, int limit = kSearchRowLimit);

// The list row of one order as stored now; nothing when there is no such order. Throws core::Error.
std::optional<SearchRow> readSearchRow(db::Connection& work, qint32 ordNo);

enum class DeleteResult { Deleted, Sent, Missing };

// Deletes an unsent order in one transaction: its header, additional terms, accessories, hang tags,
// care labels, print rows and findings. A numbered order also takes its PO's print and
// production rows with it and resets the PO's print count, so the PO is rebuilt without it before
// it can be sent. A sent order is left alone. Throws core::Error after rolling back.
DeleteResult deleteOrder(db::Connection& work, qint32 ordNo);

// "コマンド": asks first (unless `ask` is false), then deletes every order whose row carries "d" (or
// "D"), removing its row; a sent order or a failed delete is reported and keeps its row. Failed
// when the user said No; DoneWithFailures when some marked order was not deleted (sent or failed).
core::Outcome runListCommands(core::Prompter& prompter, db::Connection& work, std::vector<SearchRow>& rows,
                              bool ask = true);

} // namespace kemnoa::maintenance
