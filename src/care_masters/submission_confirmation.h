#pragma once
// The logic of the submission confirmation screens (frmKakunin_Ehj, frmKakunin_Fuki): page through
// the submissions that were waiting when the screen opened, compare each with the master row of the
// same number, apply it to the master or discard it, and keep a note per submission. The headless
// forms (list, apply, discard) serve the job runner.

#include "care_masters/care_symbols.h"
#include "core/outcome.h"
#include "platform/db/connection.h"

#include <QList>
#include <vector>

namespace kemnoa::care_masters {

// One side of a page: the six codes (or the one wording), the spare fields and the update time.
struct SubmissionPanel {
    QStringList values;
    QStringList spares;
    QString upd;
};

struct SubmissionPage {
    QString number; // 絵表示記号 / 付記用語記号
    QString memo;   // メモ, editable
    QString id;     // hidden fields
    QString kakuninFlg;
    QString syoriFlg;
    QString kindLabel;    // 更新 / 削除 / 新規追加 / 不明
    QString handledLabel; // 確認OK処理済み or empty
    SubmissionPanel sent;
    SubmissionPanel master;
};

// The kind label of a SYORI_FLG value.
QString submissionKindLabel(const QString& syoriFlg);

class SubmissionConfirmation {
public:
    SubmissionConfirmation(const MasterKind& kind, core::Prompter& prompter, db::Connection& connection);

    // Opening: the waiting submissions become the pages; false when nothing waits (after saying so)
    // or the staging table cannot be read.
    bool open();

    const MasterKind& kind() const { return kind_; }
    int page() const { return page_; }        // p: 1 ... n, 0 when nothing was waiting
    int pageCount() const { return count(); } // n
    const QList<qint32>& pageIds() const { return ids_; }
    SubmissionPage current; // the window writes the typed note back into current.memo

    void next();     // →
    void previous(); // ←
    void confirm();  // 確認OK→次のページ
    void discard();  // 削除
    // Closing the screen: the note of the page shown is saved.
    void closing();

private:
    int count() const { return static_cast<int>(ids_.size()); }
    void showPage();
    bool saveMemo(const QString& title);

    const MasterKind& kind_;
    core::Prompter& prompter_;
    db::Connection& connection_;
    QList<qint32> ids_;
    int page_ = 0;
};

struct WaitingSubmission {
    qint32 id = 0;
    QString number;
    QString syoriFlg;
    QString upd;
};

// The submissions waiting for confirmation, by ascending ID. Throws core::Error.
std::vector<WaitingSubmission> waitingSubmissions(const MasterKind& kind, db::Connection& connection);

// Reads one staged submission (its page without the note's editing); false when there is no row.
bool readSubmission(const MasterKind& kind, db::Connection& connection, qint32 id, SubmissionPage& page);

// Applies the submission to the master and marks it handled, in one transaction: a failure leaves
// both as they were (after the error box). `memo` is saved with it when given.
core::Outcome applySubmission(const MasterKind& kind, core::Prompter& prompter, db::Connection& connection,
                              const SubmissionPage& page, const std::optional<QString>& memo = std::nullopt);

// The job runner's apply and discard of one submission by ID: the question (apply) or the access code
// (discard) is asked as on the screen.
core::Outcome applySubmissionById(const MasterKind& kind, core::Prompter& prompter,
                                  db::Connection& connection, qint32 id);
core::Outcome discardSubmissionById(const MasterKind& kind, core::Prompter& prompter,
                                    db::Connection& connection, qint32 id);

} // namespace kemnoa::care_masters
