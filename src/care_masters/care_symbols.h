#pragma once
// What the care-symbol and term screens share: the two masters and their staging tables, the
// palette of care-symbol codes with their pictures, and the access code of the lock.

#include "core/prompter.h"

#include <QString>
#include <QStringList>

namespace kemnoa::care_masters {

// One of the two masters (care-symbol sets or terms) with its staging table and its wording.
struct MasterKind {
    QString table;            // kemmst_ehj
    QString stagingTable;     // rrk_ehj
    QString keyColumn;        // EHJ_NO
    QStringList valueColumns; // EHJ1 ... EHJ6, or FUKI_NAIYO
    bool symbols = false;     // the values are care-symbol codes with pictures
    bool hasHenkan = false;   // EHJ_HENKAN
    QString numberLabel;      // 絵表示番号
    QString newPrompt;        // the input box of 新規
    QString cliName;          // ehj / fuki
};

const MasterKind& ehjKind();
const MasterKind& fukiKind();
// The kind named on the job runner's command line ("ehj" or "fuki"), or nullptr.
const MasterKind* kindByName(const QString& name);

inline const QStringList& spareColumns() {
    static const QStringList columns = {QStringLiteral("B01"), QStringLiteral("B02"), QStringLiteral("B03"),
                                        QStringLiteral("B04"), QStringLiteral("B05")};
    return columns;
}

// The 42 symbol codes of the palette, in palette order.
const QStringList& paletteCodes();

// The picture file of a code: "BMP/" + code + ".bmp" in the program folder; empty for a code that
// could leave that folder (a value from the database is never trusted as a path).
QString symbolPicturePath(const QString& code);
// The picture file when it exists, else empty text: a code without its file has no picture.
QString existingSymbolPicture(const QString& code);

// The access code that unlocks the master screens and authorises discarding a submission.
QString accessCode();
// Asks for the access code in a masked input box; true when the answer is the code. A wrong answer
// has been told ("パスワードガチガイマス！！").
bool askAccessCode(core::Prompter& prompter, const QString& prompt, const QString& title);

// The present date-time as the masters store it, "yyyy/mm/dd hh:mm:ss".
QString nowText();

} // namespace kemnoa::care_masters
