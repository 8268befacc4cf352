#include "care_masters/master_editor.h"

#include "core/error.h"
#include "core/open_recordset.h"

namespace kemnoa::care_masters {
namespace {

constexpr int kPositions = 6;

} // namespace

MasterEditor::MasterEditor(const MasterKind& kind, core::Prompter& prompter, db::Connection& connection)
    : kind_(kind), prompter_(prompter), connection_(connection) {
    clearFields(QString());
}

QString MasterEditor::modeText() const {
    return mode_ == Mode::New ? QStringLiteral("新規") : QStringLiteral("通常");
}

bool MasterEditor::hasCurrent() const {
    return rs_ && !rs_->atEnd() && !rs_->atStart() && rs_->recordCount() > 0;
}

bool MasterEditor::open() {
    core::BusyPointer busy(prompter_);
    locked_ = true;
    try {
        load();
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
        return false;
    }
    return true;
}

void MasterEditor::load() {
    mode_ = Mode::Normal;
    rs_.emplace(core::MF_OpenRecordset(
        connection_, QStringLiteral("Select * From %1 Order By %2").arg(kind_.table, kind_.keyColumn)));
    numbers_.clear();
    for (rs_->moveFirst(); !rs_->atEnd(); rs_->moveNext())
        numbers_ << rs_->text(kind_.keyColumn);
    if (rs_->recordCount() > 0)
        rs_->moveLast();
    show();
}

void MasterEditor::clearFields(const QString& number) {
    fields.number = number;
    fields.values = QStringList(kind_.valueColumns.size(), QString());
    fields.spares = QStringList(spareColumns().size(), QString());
    fields.upd.clear();
    fields.henkan.clear();
}

void MasterEditor::show() {
    if (!hasCurrent()) {
        clearFields(QString()); // an empty master shows empty fields
        return;
    }
    fields.number = rs_->text(kind_.keyColumn);
    for (int i = 0; i < kind_.valueColumns.size(); ++i)
        fields.values[i] = rs_->text(kind_.valueColumns[i]);
    for (int i = 0; i < spareColumns().size(); ++i)
        fields.spares[i] = rs_->text(spareColumns()[i]);
    fields.upd = rs_->text(QStringLiteral("UPD"));
    fields.henkan = kind_.hasHenkan ? rs_->text(QStringLiteral("EHJ_HENKAN")) : QString();
}

int MasterEditor::position() const {
    return rs_ ? rs_->position() : -1;
}

void MasterEditor::moveTo(int pos) {
    if (!rs_)
        return;
    rs_->moveFirst();
    for (int i = 0; i < pos && !rs_->atEnd(); ++i)
        rs_->moveNext();
}

bool MasterEditor::findNumber(const QString& number) {
    // Searched in memory, so any text (an apostrophe too) finds its row.
    rs_->moveFirst();
    return rs_->find(kind_.keyColumn, number);
}

void MasterEditor::choose(const QString& number) {
    if (!rs_)
        return;
    const int before = position();
    if (!findNumber(number)) {
        prompter_.message(QStringLiteral("レコードが見つかりません。"), QStringLiteral("Not Find"),
                          core::MsgIcon::Critical);
        moveTo(before);
        show();
        return;
    }
    show();
}

void MasterEditor::unlock() {
    if (!locked_) {
        prompter_.message(QStringLiteral("既に解除されています。"), QStringLiteral("エラー"),
                          core::MsgIcon::Information);
        return;
    }
    if (askAccessCode(prompter_,
                      QStringLiteral("パスワードを入力してください。\r\n（大文字と小文字は区別されます）"),
                      QStringLiteral("パスワード入力")))
        locked_ = false;
}

void MasterEditor::pickSymbol(const QString& code) {
    if (locked_) {
        prompter_.beep();
        return;
    }
    if (!kind_.symbols || code.isEmpty() || existingSymbolPicture(code).isEmpty())
        return;
    for (QString& value : fields.values) {
        if (value.isEmpty()) {
            value = code;
            return;
        }
    }
}

void MasterEditor::removeSymbol(int p) {
    if (locked_) {
        prompter_.beep();
        return;
    }
    if (!kind_.symbols || p < 1 || p > kPositions || fields.values[p - 1].isEmpty())
        return;
    fields.values[p - 1].clear();
    for (int q = p; q <= kPositions - 1; ++q) {
        if (!fields.values[q].isEmpty()) { // position q + 1 moves to q
            fields.values[q - 1] = fields.values[q];
            fields.values[q].clear();
        }
    }
}

void MasterEditor::newSet() {
    if (locked_ || mode_ == Mode::New) {
        prompter_.beep();
        return;
    }
    const QString number = prompter_.input(kind_.newPrompt, QStringLiteral("新規")).value_or(QString());
    if (number.isEmpty())
        return;
    core::BusyPointer busy(prompter_);
    if (hasCurrent()) {
        const int before = position();
        if (findNumber(number)) {
            prompter_.message(QStringLiteral("既に登録済みです。"), QStringLiteral("新規エラー"),
                              core::MsgIcon::Critical);
            moveTo(before);
            show();
            return;
        }
        moveTo(before);
    }
    clearFields(number);
    mode_ = Mode::New;
}

void MasterEditor::deleteSet() {
    if (locked_ || mode_ == Mode::New) {
        prompter_.beep();
        return;
    }
    if (!prompter_.question(QStringLiteral("削除しますか？"), QStringLiteral("削除確認")))
        return;
    if (!hasCurrent()) {
        prompter_.beep(); // nothing to delete in an empty master
        return;
    }
    // The list entry of the row being deleted, whatever was typed into the number field.
    const QString deleted = rs_->text(kind_.keyColumn);
    try {
        rs_->remove();
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("cmdDelete_Click"), core::MsgIcon::Critical);
        show();
        return;
    }
    numbers_.removeOne(deleted);
    rs_->moveFirst();
    show();
}

void MasterEditor::save() {
    if (!prompter_.question(QStringLiteral("更新しますか？"), QStringLiteral("確認")))
        return;
    if (fields.number.isEmpty()) {
        prompter_.message(kind_.numberLabel + QStringLiteral("が入力されていません。"), QString(),
                          core::MsgIcon::None);
        return;
    }
    if (!rs_)
        return;
    QStringList numbers = numbers_; // takes effect only once the row is written
    const int before = position();
    if (mode_ == Mode::Normal) {
        if (!hasCurrent()) {
            prompter_.beep(); // an empty master: a set is made with 新規
            return;
        }
        const QString current = rs_->text(kind_.keyColumn).toUpper();
        int index = -1;
        for (int i = 0; i < numbers.size() && index < 0; ++i)
            if (numbers[i].toUpper() == current)
                index = i;
        if (index >= 0 && numbers[index].toUpper() != fields.number.toUpper()) {
            if (locked_) {
                prompter_.message(QStringLiteral("ロック解除されていません。\r\nキャンセルします。"),
                                  QStringLiteral("エラー"), core::MsgIcon::Critical);
                return;
            }
            for (int i = 0; i < numbers.size(); ++i) {
                if (i != index && numbers[i].toUpper() == fields.number.toUpper()) {
                    prompter_.message(QStringLiteral("変更された") + kind_.numberLabel + QStringLiteral("(") +
                                          fields.number + QStringLiteral(")は既に登録済みです。"),
                                      QStringLiteral("重複"), core::MsgIcon::Critical);
                    return;
                }
            }
            numbers[index] = fields.number;
        }
    } else {
        numbers << fields.number;
    }
    const QString updBefore = fields.upd;
    try {
        if (mode_ == Mode::New) {
            fields.upd = nowText();
            rs_->addNew();
        }
        if (fields.upd.isEmpty())
            fields.upd = nowText();
        rs_->setValue(kind_.keyColumn, fields.number);
        rs_->setValue(QStringLiteral("UPD"), fields.upd);
        for (int i = 0; i < spareColumns().size(); ++i)
            rs_->setValue(spareColumns()[i], fields.spares[i]);
        if (kind_.hasHenkan)
            rs_->setValue(QStringLiteral("EHJ_HENKAN"), fields.henkan);
        for (int i = 0; i < kind_.valueColumns.size(); ++i)
            rs_->setValue(kind_.valueColumns[i], fields.values[i]);
        rs_->update();
    } catch (const core::Error& e) {
        // The row's change is dropped; the screen keeps what was typed so it can be put right.
        prompter_.message(e.text(), QStringLiteral("cmdUpdate_Click"), core::MsgIcon::Critical);
        if (hasCurrent())
            rs_->cancelUpdate();
        moveTo(before);
        fields.upd = updBefore;
        return;
    }
    numbers_ = numbers;
    mode_ = Mode::Normal;
    show();
}

} // namespace kemnoa::care_masters
