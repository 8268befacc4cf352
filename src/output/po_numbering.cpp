#include "output/po_numbering.h"

#include "core/error.h"
#include "core/session.h"
#include "maintenance/server_procedures.h"
#include "output/po_number_procedures.h"
#include "platform/db/command.h"
#include "platform/db/reader.h"

#include <optional>

namespace kemnoa::output {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString getNumber(core::Prompter& prompter, db::Connection& po, const QString& nouCd, bool gk) {
    registerNumberProcedures();
    const QString failure =
        gk ? QStringLiteral("GK番号取得に失敗しました。") : QStringLiteral("PO番号取得に失敗しました。");
    auto fail = [&](const QString& detail) {
        prompter.message(failure + kCrLf + kCrLf + detail, QStringLiteral("エラー"), core::MsgIcon::Critical);
        return QString();
    };
    try {
        const core::Session& s = core::session();
        db::Reader r =
            po.read(QStringLiteral("Select HACYUGAISYACD From HcyCd_Find Where NOUKYAKU_CD = ? "
                                   "And TOKCD = ? And SEICD = ? "),
                    {nouCd, s.fixed(QStringLiteral("得意先CD")), s.fixed(QStringLiteral("請求先CD"))});
        if (r.atEnd())
            return fail(
                QStringLiteral("納品先(%1)の発注会社コードがHcyCd_Findに登録されていません。").arg(nouCd));
        const QString kubun = r.text(0);
        db::Command cmd(po, gk ? QStringLiteral("GET_GK_NUMBER") : QStringLiteral("GET_PO_NUMBER"), 50);
        cmd.addParameter(QStringLiteral("@KUBUN"), db::ParamType::VarChar, db::ParamDirection::Input, 50,
                         kubun);
        cmd.addParameter(QStringLiteral("@PONO"), db::ParamType::VarChar, db::ParamDirection::InputOutput, 50,
                         QStringLiteral(""));
        cmd.addParameter(QStringLiteral("@errMsg"), db::ParamType::VarChar, db::ParamDirection::Output, 4000);
        cmd.execute();
        if (cmd.returnValue() != 0)
            return fail(cmd.value(QStringLiteral("@errMsg")).toString());
        const QString number = cmd.value(QStringLiteral("@PONO")).toString().trimmed();
        if (number.isEmpty())
            return fail(QStringLiteral("納品先(%1)の番号が返されませんでした。").arg(nouCd));
        return number;
    } catch (const core::Error& e) {
        return fail(e.text());
    }
}

// The check pass: the master check of every marked order, in list order. Stops at the first order
// that has findings or whose check could not run, after saying so; true when every order passed.
bool checkPass(core::Prompter& prompter, db::Connection& work, const std::vector<PoNoRow>& rows) {
    for (const PoNoRow& row : rows) {
        if (!row.chk)
            continue;
        if (failed(maintenance::MP_ErrDataMake(prompter, work, row.ordNo.toInt())))
            return false; // the check's own message has said why
        db::Reader r = work.read(QStringLiteral("Select * From rcv_errdata Where ORD_NO = ? Order By GYOU"),
                                 {row.ordNo.toInt()});
        if (r.atEnd())
            continue;
        for (; !r.atEnd(); r.moveNext())
            prompter.message(QStringLiteral("エラーが発見されました。エラー内容は以下の通りです。") + kCrLf +
                                 kCrLf + r.text(QStringLiteral("ERR_VALUE")) + kCrLf +
                                 r.text(QStringLiteral("ERR_MESSAGE")) + kCrLf + kCrLf +
                                 QStringLiteral("発注番号(") + row.ordNo +
                                 QStringLiteral(")にエラーが含まれています。"),
                             r.text(QStringLiteral("ERR_TITLE")), core::MsgIcon::Critical);
        return false;
    }
    return true;
}

// The marked rows in groups: a row starts a new group when one of its grouping values differs from
// the previous marked row's.
std::vector<std::vector<const PoNoRow*>> groupsOf(const std::vector<PoNoRow>& rows) {
    std::vector<std::vector<const PoNoRow*>> groups;
    std::optional<std::array<QString, 6>> previous;
    for (const PoNoRow& row : rows) {
        if (!row.chk)
            continue;
        if (!previous || row.groupKey() != *previous)
            groups.emplace_back();
        groups.back().push_back(&row);
        previous = row.groupKey();
    }
    return groups;
}

} // namespace

std::vector<PoNoRow> loadPoNoList(db::Connection& work) {
    std::vector<PoNoRow> rows;
    for (db::Reader r = work.read(QStringLiteral(
             "Select ORD_NO,IRAI_NO,NOU_CD,NOU_NM,SIR_CD,KESSAI,SHKA_PLACE,ORD_DATE,KIBO_DATE,BIKO2 "
             "From rcv_denheaddata Where SEND_FLG <> '1' And ERR_SU = 0 And PO_NO = '' "
             "Order By KIBO_DATE,NOU_CD,KESSAI,SHKA_PLACE,BIKO2,ORD_NO "));
         !r.atEnd() && int(rows.size()) < kPoNoListLimit; r.moveNext())
        rows.push_back({r.text(0), r.text(1), r.text(2), r.text(3), r.text(4), r.text(5), r.text(6),
                        r.text(7), r.text(8), r.text(9), true});
    return rows;
}

void warnDuplicateRequests(core::Prompter& prompter, db::Connection& work) {
    for (db::Reader r = work.read(QStringLiteral("Select IRAI_NO,Count(IRAI_NO) From rcv_denheaddata "
                                                 "Where SEND_FLG <> '1' And ERR_SU = 0 And PO_NO = '' "
                                                 "Group By IRAI_NO Order By IRAI_NO "));
         !r.atEnd(); r.moveNext())
        if (r.value(1).toLongLong() > 1)
            prompter.message(QStringLiteral("依頼番号が重複しています。") + kCrLf +
                                 QStringLiteral("確認してください。"),
                             QStringLiteral("依頼番号=") + r.text(0), core::MsgIcon::Critical);
}

QString MF_GetPoNumber(core::Prompter& prompter, db::Connection& po, const QString& nouCd) {
    return getNumber(prompter, po, nouCd, false);
}

QString MF_GetGkNumber(core::Prompter& prompter, db::Connection& po, const QString& nouCd) {
    return getNumber(prompter, po, nouCd, true);
}

core::Outcome runPoNumbering(core::Prompter& prompter, db::Connection& work, db::Connection& po,
                             const std::vector<PoNoRow>& rows, NumberingResult* result) {
    core::BusyPointer busy(prompter);
    NumberingResult counts;
    try {
        if (!checkPass(prompter, work, rows)) {
            prompter.message(QStringLiteral("エラーを解消し再度実行してください。"),
                             QStringLiteral("エラー終了"), core::MsgIcon::Information);
            prompter.splashEnd();
            counts.stopped = true;
            if (result)
                *result = counts;
            return core::Outcome::Failed;
        }
        for (const auto& group : groupsOf(rows)) {
            const PoNoRow& first = *group.front();
            const QString number = first.gk() ? MF_GetGkNumber(prompter, po, first.nouCd)
                                              : MF_GetPoNumber(prompter, po, first.nouCd);
            if (number.isEmpty()) {
                counts.unnumbered += int(group.size());
                continue;
            }
            // A group is written whole or not at all, and never over a number or a send that another
            // workstation wrote after this list was read.
            db::Transaction tx(work);
            int written = 0;
            for (const PoNoRow* row : group)
                written += work.execute(
                    QStringLiteral("Update rcv_denheaddata Set PO_NO = ?, PO_KBN = ? "
                                   "Where ORD_NO = ? And PO_NO = '' And SEND_FLG <> '1' "),
                    {number, row->gk() ? QStringLiteral("1") : QStringLiteral("0"), row->ordNo.toInt()});
            tx.commit();
            counts.numbered += written;
            counts.skipped += int(group.size()) - written;
        }
    } catch (const core::Error& e) {
        prompter.splashEnd();
        prompter.message(e.text(), QStringLiteral("cmdOk_Click"), core::MsgIcon::Critical);
        if (result)
            *result = counts;
        return core::Outcome::Failed;
    }
    QString text = QStringLiteral("処理は終了しました。");
    if (counts.unnumbered > 0)
        text += kCrLf + kCrLf +
                QStringLiteral("番号を取得できなかった発注が%1件あります。次回あらためて採番してください。")
                    .arg(counts.unnumbered);
    if (counts.skipped > 0)
        text += kCrLf + kCrLf +
                QStringLiteral("他の端末で採番または送信された発注%1件はそのままにしました。")
                    .arg(counts.skipped);
    prompter.message(text, QStringLiteral("完了"), core::MsgIcon::Information);
    if (result)
        *result = counts;
    return counts.unnumbered > 0 ? core::Outcome::DoneWithFailures : core::Outcome::Done;
}

} // namespace kemnoa::output
