#pragma once
// The four printed documents of the care-symbol and term masters, drawn through the report control
// with the layout files of the program folder: the registration request of one submission (beside
// the master row of its number) and the listings of the two masters. Each says what went wrong in a
// message box and prints nothing then.

#include "care_masters/care_symbols.h"
#include "platform/db/connection.h"
#include "platform/report/report.h"

#include <QStringList>
#include <array>
#include <vector>

namespace kemnoa::care_masters {

// The layout file of each document in the program folder.
QString layoutPath(const QString& baseName);
inline const QString kEhjRequestLayout = QStringLiteral("絵表示登録依頼書");
inline const QString kFukiRequestLayout = QStringLiteral("付記用語登録依頼書");
inline const QString kEhjListingLayout = QStringLiteral("絵表示");
inline const QString kFukiListingLayout = QStringLiteral("付記用語");

// Where a print goes: the report control and the printer's device name.
struct PrintTarget {
    report::ReportControl& control;
    QString printerName;
};

// The registration request of one row of rrk_ehj / rrk_fuki.
void MP_EhjIraiPrint(PrintTarget target, core::Prompter& prompter, db::Connection& connection, qint32 id);
void MP_FukiIraiPrint(PrintTarget target, core::Prompter& prompter, db::Connection& connection, qint32 id);
void printRequest(const MasterKind& kind, PrintTarget target, core::Prompter& prompter,
                  db::Connection& connection, qint32 id);

// The listing of the rows the statement selects from kemmst_ehj / kemmst_fuki, in its order.
void MP_EhjMstPrint(PrintTarget target, core::Prompter& prompter, db::Connection& connection,
                    const QString& statement);
void MP_FukiMstPrint(PrintTarget target, core::Prompter& prompter, db::Connection& connection,
                     const QString& statement);
void printListing(const MasterKind& kind, PrintTarget target, core::Prompter& prompter,
                  db::Connection& connection, const QString& statement);

// The statement of a listing: the whole master, or only the given numbers (one In list of quoted
// values, however many), always in number order.
QString listingStatement(const MasterKind& kind, const QStringList& numbers = {});
// The statement of the numbers from `from` to `to` (both included; an empty end is open).
QString rangeStatement(const MasterKind& kind, const QString& from, const QString& to);

// The term listing's paging: the three column texts (CR line ends) of each page.
std::vector<std::array<QString, 3>> termListingPages(const std::vector<QString>& blocks);
// The block of one term in the listing (CR LF line ends).
QString termBlock(const QString& number, const QString& upd, const QString& wording,
                  const QStringList& spares);

// The printing screens' list: number, date and tick of every master row.
struct PrintListRow {
    QString number;
    QString date;
    QString tick = QStringLiteral("0");
};
std::vector<PrintListRow> printListRows(const MasterKind& kind, db::Connection& connection);
// "印刷" of a printing screen: the statement for "全部" or for the ticked rows ("指定する"; nothing
// ticked prints the whole master).
QString printScreenStatement(const MasterKind& kind, bool all, const std::vector<PrintListRow>& rows);

} // namespace kemnoa::care_masters
