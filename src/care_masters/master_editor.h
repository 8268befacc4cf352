#pragma once
// The logic of the care-symbol master screen (frmMst_Ehj) and of its twin, the term master screen
// (frmMst_Fuki): browse the sets one at a time, and once unlocked with the access code create,
// change, renumber and delete them. The window shows `fields` and writes what was typed back into
// it before each action; everything the user is told goes through the Prompter.

#include "care_masters/care_symbols.h"
#include "platform/db/connection.h"
#include "platform/db/recordset.h"

#include <optional>

namespace kemnoa::care_masters {

struct MasterFields {
    QString number;     // the number field (drop-down text)
    QStringList values; // EHJ1 ... EHJ6 (six code fields) or FUKI_NAIYO (one wording)
    QStringList spares; // B01 ... B05
    QString upd;        // 更新日
    QString henkan;     // 絵表示変換記号 (care symbols only)
};

class MasterEditor {
public:
    enum class Mode { Normal, New };

    MasterEditor(const MasterKind& kind, core::Prompter& prompter, db::Connection& connection);

    // Opening: locked, the master loaded and its last set shown. False (after the error box) when
    // the master cannot be read.
    bool open();

    const MasterKind& kind() const { return kind_; }
    MasterFields fields;
    const QStringList& numberList() const { return numbers_; }
    bool locked() const { return locked_; }
    Mode mode() const { return mode_; }
    QString modeText() const;
    // True while a set is shown (false for an empty master).
    bool hasCurrent() const;

    void choose(const QString& number);
    void unlock();
    void pickSymbol(const QString& code);
    void removeSymbol(int position); // 1 ... 6
    void newSet();
    void deleteSet();
    void save();

private:
    void load();
    void show();
    void clearFields(const QString& number);
    int position() const;
    void moveTo(int position);
    bool findNumber(const QString& number); // from the first row; stays there when found

    const MasterKind& kind_;
    core::Prompter& prompter_;
    db::Connection& connection_;
    std::optional<db::Recordset> rs_;
    QStringList numbers_;
    bool locked_ = true;
    Mode mode_ = Mode::Normal;
};

} // namespace kemnoa::care_masters
