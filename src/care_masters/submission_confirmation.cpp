#include "care_masters/submission_confirmation.h"

#include "core/error.h"
#include "platform/db/reader.h"

namespace kemnoa::care_masters {
namespace {

void readPanel(const MasterKind& kind, const db::Reader& r, SubmissionPanel& panel) {
    panel.values.clear();
    for (const QString& c : kind.valueColumns)
        panel.values << r.text(c);
    panel.spares.clear();
    for (const QString& c : spareColumns())
        panel.spares << r.text(c);
    panel.upd = r.text(QStringLiteral("UPD"));
}

SubmissionPanel emptyPanel(const MasterKind& kind) {
    return {
        QStringList(kind.valueColumns.size(), QString()), QStringList(spareColumns().size(), QString()), {}};
}

// The question before applying; kinds other than U, N and D are applied without one.
bool askToApply(core::Prompter& prompter, const QString& syoriFlg) {
    QString line;
    if (syoriFlg == QLatin1String("U"))
        line = QStringLiteral("更新（又は追加）します。よろしいですか？");
    else if (syoriFlg == QLatin1String("N"))
        line = QStringLiteral("新規追加します。よろしいですか？");
    else if (syoriFlg == QLatin1String("D"))
        line = QStringLiteral("削除します。よろしいですか？");
    else
        return true;
    if (prompter.question(QStringLiteral("クライアントより送信されてきたデータを反映させます。\r\n\r\n") +
                              line,
                          QStringLiteral("確認OK?")))
        return true;
    prompter.message(QStringLiteral("キャンセルしました。"), QStringLiteral("キャンセル"),
                     core::MsgIcon::Information);
    return false;
}

void markHandled(const MasterKind& kind, db::Connection& connection, qint32 id) {
    connection.execute(QStringLiteral("Update %1 Set KAKUNIN_FLG = '1' Where ID = ?").arg(kind.stagingTable),
                       {id});
}

void writeMaster(const MasterKind& kind, db::Connection& connection, const SubmissionPage& page) {
    const QString& flg = page.syoriFlg;
    if (flg == QLatin1String("D")) {
        connection.execute(QStringLiteral("Delete From %1 Where %2 = ?").arg(kind.table, kind.keyColumn),
                           {page.number});
        return;
    }
    if (flg != QLatin1String("U") && flg != QLatin1String("N"))
        return; // any other kind leaves the master alone
    const bool exists =
        !connection
             .read(QStringLiteral("Select %2 From %1 Where %2 = ?").arg(kind.table, kind.keyColumn),
                   {page.number})
             .atEnd();
    const QStringList columns = kind.valueColumns + spareColumns();
    QVariantList values;
    for (const QString& v : page.sent.values + page.sent.spares)
        values << v;
    if (!exists) {
        QStringList marks;
        for (int i = 0; i < columns.size() + 3; ++i)
            marks << QStringLiteral("?");
        connection.execute(QStringLiteral("Insert Into %1(%2,%3,UPD,SYORI_FLG) Values(%4)")
                               .arg(kind.table, kind.keyColumn, columns.join(QLatin1Char(',')),
                                    marks.join(QLatin1Char(','))),
                           QVariantList{page.number} + values + QVariantList{nowText(), flg});
    } else {
        // The conversion code and SYORI_FLG of the master row stay as they are.
        QStringList sets;
        for (const QString& c : columns)
            sets << c + QStringLiteral("=?");
        connection.execute(QStringLiteral("Update %1 Set %2,UPD=? Where %3 = ?")
                               .arg(kind.table, sets.join(QLatin1Char(',')), kind.keyColumn),
                           values + QVariantList{nowText(), page.number});
    }
}

} // namespace

QString submissionKindLabel(const QString& syoriFlg) {
    if (syoriFlg == QLatin1String("U"))
        return QStringLiteral("更新");
    if (syoriFlg == QLatin1String("D"))
        return QStringLiteral("削除");
    if (syoriFlg == QLatin1String("N"))
        return QStringLiteral("新規追加");
    return QStringLiteral("不明");
}

bool readSubmission(const MasterKind& kind, db::Connection& connection, qint32 id, SubmissionPage& page) {
    page = SubmissionPage();
    page.sent = emptyPanel(kind);
    page.master = emptyPanel(kind);
    db::Reader r =
        connection.read(QStringLiteral("Select * From %1 Where ID = ?").arg(kind.stagingTable), {id});
    if (r.atEnd())
        return false;
    page.number = r.text(kind.keyColumn);
    page.memo = r.text(QStringLiteral("MEMO"));
    page.id = r.text(QStringLiteral("ID"));
    page.kakuninFlg = r.text(QStringLiteral("KAKUNIN_FLG"));
    page.syoriFlg = r.text(QStringLiteral("SYORI_FLG"));
    page.kindLabel = submissionKindLabel(page.syoriFlg);
    page.handledLabel = page.kakuninFlg == QLatin1String("1") ? QStringLiteral("確認OK処理済み") : QString();
    readPanel(kind, r, page.sent);
    db::Reader m = connection.read(
        QStringLiteral("Select * From %1 Where %2 = ?").arg(kind.table, kind.keyColumn), {page.number});
    if (!m.atEnd())
        readPanel(kind, m, page.master);
    return true;
}

std::vector<WaitingSubmission> waitingSubmissions(const MasterKind& kind, db::Connection& connection) {
    std::vector<WaitingSubmission> out;
    db::Reader r =
        connection.read(QStringLiteral("Select ID, %2, SYORI_FLG, UPD From %1 Where KAKUNIN_FLG = '0' "
                                       "Order By ID")
                            .arg(kind.stagingTable, kind.keyColumn));
    for (; !r.atEnd(); r.moveNext())
        out.push_back({r.value(0).toInt(), r.text(1), r.text(2), r.text(3)});
    return out;
}

core::Outcome applySubmission(const MasterKind& kind, core::Prompter& prompter, db::Connection& connection,
                              const SubmissionPage& page, const std::optional<QString>& memo) {
    bool ok = false;
    const qint32 id = page.id.toInt(&ok);
    if (!ok)
        return core::Outcome::Failed;
    try {
        db::Transaction transaction(connection);
        if (memo)
            connection.execute(QStringLiteral("Update %1 Set MEMO = ? Where ID = ?").arg(kind.stagingTable),
                               {*memo, id});
        writeMaster(kind, connection, page);
        markHandled(kind, connection, id);
        transaction.commit();
    } catch (const core::Error& e) {
        prompter.message(e.text(), QStringLiteral("cmdOk_Click"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    prompter.message(QStringLiteral("更新処理は完了しました。"), QStringLiteral("完了"),
                     core::MsgIcon::Information);
    return core::Outcome::Done;
}

core::Outcome applySubmissionById(const MasterKind& kind, core::Prompter& prompter,
                                  db::Connection& connection, qint32 id) {
    SubmissionPage page;
    try {
        if (!readSubmission(kind, connection, id, page)) {
            prompter.message(QStringLiteral("レコードが見つかりません。"), QStringLiteral("エラー"),
                             core::MsgIcon::Critical);
            return core::Outcome::Failed;
        }
    } catch (const core::Error& e) {
        prompter.message(e.text(), QStringLiteral("cmdOk_Click"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    if (!askToApply(prompter, page.syoriFlg))
        return core::Outcome::Failed;
    return applySubmission(kind, prompter, connection, page);
}

core::Outcome discardSubmissionById(const MasterKind& kind, core::Prompter& prompter,
                                    db::Connection& connection, qint32 id) {
    if (!askAccessCode(prompter, QStringLiteral("削除パスワードを教えてください。"), QStringLiteral("削除")))
        return core::Outcome::Failed;
    try {
        if (connection.execute(
                QStringLiteral("Update %1 Set KAKUNIN_FLG = '1' Where ID = ?").arg(kind.stagingTable),
                {id}) == 0) {
            prompter.message(QStringLiteral("レコードが見つかりません。"), QStringLiteral("エラー"),
                             core::MsgIcon::Critical);
            return core::Outcome::Failed;
        }
    } catch (const core::Error& e) {
        prompter.message(e.text(), QStringLiteral("cmdDelete_Click"), core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    return core::Outcome::Done;
}

// The screen.

SubmissionConfirmation::SubmissionConfirmation(const MasterKind& kind, core::Prompter& prompter,
                                               db::Connection& connection)
    : kind_(kind), prompter_(prompter), connection_(connection) {
    current.sent = emptyPanel(kind);
    current.master = emptyPanel(kind);
}

bool SubmissionConfirmation::open() {
    ids_.clear();
    page_ = 0;
    try {
        for (const WaitingSubmission& w : waitingSubmissions(kind_, connection_))
            ids_ << w.id;
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
        return false;
    }
    if (ids_.isEmpty()) {
        prompter_.message(QStringLiteral("確認可能なデータはありません。"), QStringLiteral("なし"),
                          core::MsgIcon::Information);
        return false;
    }
    page_ = 1;
    showPage();
    return true;
}

void SubmissionConfirmation::showPage() {
    if (page_ < 1 || page_ > count())
        return;
    try {
        readSubmission(kind_, connection_, ids_[page_ - 1], current);
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("PP_Show"), core::MsgIcon::Critical);
    }
}

bool SubmissionConfirmation::saveMemo(const QString& title) {
    if (page_ == 0 || current.id.isEmpty())
        return true;
    try {
        connection_.execute(QStringLiteral("Update %1 Set MEMO = ? Where ID = ?").arg(kind_.stagingTable),
                            {current.memo, current.id.toInt()});
    } catch (const core::Error& e) {
        prompter_.message(e.text(), title, core::MsgIcon::Critical);
        return false;
    }
    return true;
}

void SubmissionConfirmation::next() {
    if (page_ == count()) {
        prompter_.beep();
        return;
    }
    if (!saveMemo(QStringLiteral("cmdNext_Click")))
        return;
    ++page_;
    showPage();
}

void SubmissionConfirmation::previous() {
    if (page_ <= 1) {
        prompter_.beep();
        return;
    }
    if (!saveMemo(QStringLiteral("cmdBack_Click")))
        return;
    --page_;
    showPage();
}

void SubmissionConfirmation::confirm() {
    if (page_ == 0 || current.id.isEmpty())
        return;
    if (!askToApply(prompter_, current.syoriFlg))
        return;
    // The note is saved in the same transaction as the change it comes with.
    if (failed(applySubmission(kind_, prompter_, connection_, current, current.memo)))
        return;
    if (page_ != count())
        ++page_;
    showPage();
}

void SubmissionConfirmation::discard() {
    if (page_ == 0 || current.id.isEmpty()) {
        prompter_.beep(); // nothing shown, nothing to discard
        return;
    }
    if (!askAccessCode(prompter_, QStringLiteral("削除パスワードを教えてください。"), QStringLiteral("削除")))
        return;
    try {
        markHandled(kind_, connection_, current.id.toInt());
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("cmdDelete_Click"), core::MsgIcon::Critical);
        return;
    }
    if (page_ != count())
        ++page_;
    showPage();
}

void SubmissionConfirmation::closing() {
    (void)saveMemo(QStringLiteral("Form_Unload"));
}

} // namespace kemnoa::care_masters
