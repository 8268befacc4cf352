#include "maintenance/po_cancel.h"

#include "core/error.h"
#include "platform/db/reader.h"

#include <optional>

namespace kemnoa::maintenance {
namespace {

// "And PO_KBN = ?" when a kind is given.
QString kindCondition(const QString& k, QVariantList& params) {
    if (k.isEmpty())
        return {};
    params << k;
    return QStringLiteral(" And PO_KBN = ?");
}

// Finds the PO in the state the cancel needs and runs its statements; false when there is none.
bool runCancel(db::Connection& work, PoCancel which, const QString& p, const QString& k) {
    db::Transaction tx(work);
    const QString state = which == PoCancel::Send ? QStringLiteral(" And SEND_FLG = '1'")
                                                  : QStringLiteral(" And SEND_FLG <> '1'");
    QVariantList params{p};
    const QString kind = kindCondition(k, params);
    {
        db::Reader r = work.read(QStringLiteral("Select PO_NO,PO_KBN From rcv_denheaddata Where PO_NO = ?") +
                                     state + kind,
                                 params);
        if (r.atEnd())
            return false;
    }
    if (which == PoCancel::Send) {
        work.execute(QStringLiteral("Update rcv_denheaddata Set SEND_FLG = '9' Where PO_NO = ?") + state +
                         kind,
                     params);
    } else {
        // A sent order of the same number keeps its number: only unsent orders are released.
        work.execute(
            QStringLiteral("Update rcv_denheaddata Set PO_NO='',PO_KBN='',PRN_SU=0 Where PO_NO = ?") + state +
                kind,
            params);
        work.execute(QStringLiteral("Delete From rcv_skdata Where PO_NO = ?") + kind, params);
        work.execute(QStringLiteral("Delete From rcv_csvdata Where PO_NO = ?") + kind, params);
    }
    tx.commit();
    return true;
}

} // namespace

QStringList cancellablePoNumbers(db::Connection& work, PoCancel which) {
    const QString sql =
        which == PoCancel::Send
            ? QStringLiteral(
                  "Select PO_NO From rcv_denheaddata Where SEND_FLG = '1' Group By PO_NO Order By PO_NO")
            : QStringLiteral("Select PO_NO From rcv_denheaddata Where SEND_FLG <> '1' And PO_NO <> '' "
                             "Group By PO_NO Order By PO_NO");
    QStringList out;
    for (db::Reader r = work.read(sql); !r.atEnd(); r.moveNext())
        out << r.text(0);
    return out;
}

core::Outcome cancelPo(core::Prompter& prompter, db::Connection& work, PoCancel which, const QString& p,
                       const QString& k) {
    if (p.isEmpty()) {
        prompter.message(QStringLiteral("条件を入力して下さい。"), QStringLiteral("エラー"),
                         core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    bool found = false;
    std::optional<QString> failure;
    {
        core::BusyPointer busy(prompter);
        try {
            found = runCancel(work, which, p, k);
        } catch (const core::Error& e) {
            failure = e.description(); // rolled back; told once the busy pointer is gone
        }
    }
    if (failure) {
        prompter.message(QStringLiteral("以下のエラーが発生しました。\r\n\r\n") + *failure,
                         QStringLiteral("お問い合わせください"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    if (!found) {
        prompter.message(QStringLiteral("見つからないか、送信済みではありません。"), QStringLiteral("エラー"),
                         core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    prompter.message(QStringLiteral("解除しました。"), QString(), core::MsgIcon::None);
    return core::Outcome::Done;
}

} // namespace kemnoa::maintenance
