#include "maintenance/order_search.h"

#include "core/error.h"
#include "platform/db/reader.h"

namespace kemnoa::maintenance {
namespace {

const QString kColumns =
    QStringLiteral("Select ORD_NO, IRAI_NO, PO_NO, PO_KBN, ORD_DATE, KIBO_DATE, NOU_NM, ERR_SU, SEND_FLG "
                   "From rcv_denheaddata ");

// A prefix for Like with its wildcards taken literally (escape character '!').
QString likePrefix(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('!') || c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('['))
            out += QLatin1Char('!');
        out += c;
    }
    return out + QLatin1Char('%');
}

SearchRow rowOf(const db::Reader& r) {
    SearchRow row;
    row.ordNo = r.value(0).toInt();
    row.iraiNo = r.text(1);
    row.poNo = r.text(2);
    row.poKbn = r.text(3);
    row.ordDate = r.text(4);
    row.kiboDate = r.text(5);
    row.nouNm = r.text(6);
    row.errSu = r.text(7);
    row.sendFlg = r.text(8);
    return row;
}

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

SearchCriteria defaultCriteria(const QDate& today) {
    SearchCriteria c;
    c.dateFrom = today.addMonths(-1).toString(QStringLiteral("yyyyMMdd"));
    c.dateTo = today.addMonths(1).toString(QStringLiteral("yyyyMMdd"));
    c.sendFlg = QStringLiteral("0");
    return c;
}

bool validSearchDates(const SearchCriteria& criteria) {
    for (const QString& d : {criteria.dateFrom, criteria.dateTo}) {
        if (d.size() != 8)
            return false;
        for (const QChar c : d)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
    }
    return true;
}

QString searchLimitText() {
    return QStringLiteral("条件に合う発注データが%1件を超えています。").arg(kSearchRowLimit) + kCrLf +
           QStringLiteral("発注番号の大きい順に%1件まで表示します。条件を絞り込んでください。")
               .arg(kSearchRowLimit);
}

QString sendStateSymbol(const QString& sendFlg) {
    return sendFlg == QStringLiteral("1") ? QStringLiteral("済") : QString();
}

SearchResult searchOrders(db::Connection& work, const SearchCriteria& c, int limit) {
    QString where = QStringLiteral("Where ORD_DATE Between ? And ?");
    QVariantList params{c.dateFrom.toInt(), c.dateTo.toInt()};
    if (!c.ordNo.isEmpty()) {
        // The order number is a number: its digits are compared as text in every dialect.
        where += QStringLiteral(" And CAST(ORD_NO AS VARCHAR(11)) Like ? Escape '!'");
        params << likePrefix(c.ordNo);
    }
    if (!c.iraiNo.isEmpty()) {
        where += QStringLiteral(" And IRAI_NO Like ? Escape '!'");
        params << likePrefix(c.iraiNo);
    }
    if (!c.poNo.isEmpty()) {
        where += QStringLiteral(" And PO_NO Like ? Escape '!'");
        params << likePrefix(c.poNo);
    }
    if (!c.poKbn.isEmpty()) {
        where += QStringLiteral(" And PO_KBN = ?");
        params << c.poKbn;
    }
    if (!c.sendFlg.isEmpty())
        where += c.sendFlg == QStringLiteral("1") ? QStringLiteral(" And SEND_FLG = '1'")
                                                  : QStringLiteral(" And SEND_FLG <> '1'");
    SearchResult result;
    result.rows.reserve(static_cast<std::size_t>(qMin(limit, 1024)));
    for (db::Reader r = work.read(kColumns + where + QStringLiteral(" Order By ORD_NO DESC "), params);
         !r.atEnd(); r.moveNext()) {
        if (static_cast<int>(result.rows.size()) == limit) {
            result.more = true;
            break;
        }
        result.rows.push_back(rowOf(r));
    }
    return result;
}

std::optional<SearchRow> readSearchRow(db::Connection& work, qint32 ordNo) {
    db::Reader r = work.read(kColumns + QStringLiteral("Where ORD_NO = ?"), {ordNo});
    if (r.atEnd())
        return std::nullopt;
    return rowOf(r);
}

DeleteResult deleteOrder(db::Connection& work, qint32 ordNo) {
    db::Transaction tx(work);
    QString sendFlg, poNo, poKbn;
    {
        db::Reader r = work.read(
            QStringLiteral("Select SEND_FLG, PO_NO, PO_KBN From rcv_denheaddata Where ORD_NO = ?"), {ordNo});
        if (r.atEnd())
            return DeleteResult::Missing;
        sendFlg = r.text(0);
        poNo = r.text(1);
        poKbn = r.text(2);
    }
    if (sendFlg == QStringLiteral("1"))
        return DeleteResult::Sent;
    if (!poNo.isEmpty()) {
        // The PO's print and production rows include this order: they go, to be built again.
        work.execute(QStringLiteral("Delete From rcv_csvdata Where PO_NO = ? And PO_KBN = ?"), {poNo, poKbn});
        work.execute(QStringLiteral("Delete From rcv_skdata Where PO_NO = ? And PO_KBN = ?"), {poNo, poKbn});
        work.execute(QStringLiteral("Update rcv_denheaddata Set PRN_SU = 0 Where PO_NO = ? And PO_KBN = ?"),
                     {poNo, poKbn});
    }
    for (const char* table : {"rcv_denheaddata", "rcv_addfukidata", "rcv_fuzokudata", "rcv_posdata",
                              "rcv_cardata", "rcv_csvdata", "rcv_errdata"})
        work.execute(QStringLiteral("Delete From %1 Where ORD_NO = ?").arg(QLatin1String(table)), {ordNo});
    tx.commit();
    return DeleteResult::Deleted;
}

core::Outcome runListCommands(core::Prompter& prompter, db::Connection& work, std::vector<SearchRow>& rows,
                              bool ask) {
    if (ask && !prompter.question(QStringLiteral("コマンドを実行します。"), QStringLiteral("確認")))
        return core::Outcome::Failed;
    bool someFailed = false;
    for (auto it = rows.begin(); it != rows.end();) {
        if (it->command.compare(QStringLiteral("d"), Qt::CaseInsensitive) != 0) {
            ++it;
            continue;
        }
        const qint32 ordNo = it->ordNo;
        try {
            switch (deleteOrder(work, ordNo)) {
            case DeleteResult::Deleted:
                it = rows.erase(it);
                continue;
            case DeleteResult::Sent:
                prompter.message(QStringLiteral("送信済み伝票(%1)は削除できません。").arg(ordNo),
                                 QStringLiteral("注意"), core::MsgIcon::Critical);
                someFailed = true;
                break;
            case DeleteResult::Missing:
                break;
            }
        } catch (const core::Error& e) {
            prompter.message(QStringLiteral("発注番号(%1)の削除中にエラーが発生しました。").arg(ordNo) +
                                 kCrLf + kCrLf + e.text(),
                             QStringLiteral("エラー"), core::MsgIcon::Critical);
            someFailed = true;
        }
        ++it;
    }
    return someFailed ? core::Outcome::DoneWithFailures : core::Outcome::Done;
}

} // namespace kemnoa::maintenance
