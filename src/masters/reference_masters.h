#pragma once
// The three reference masters (name types, materials, sizes): their grids' columns, loading in sort
// order, the checks before a save and the save itself, which replaces the whole table with the
// grid's rows in one transaction.

#include "core/outcome.h"
#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

namespace kemnoa::masters {

enum class RefMaster { NameCode, Sizai, Size };

struct MasterColumn {
    QString caption; // the grid's heading
    QString column;  // the table's column
};

struct MasterDef {
    RefMaster kind;
    QString command;                   // the job runner's name of the master: namecode, sizaicode, size
    QString table;                     // kemmst_namecode
    QString windowTitle;               // "ネーム種マスタ"
    QString objectName;                // frmMst_Name
    QString windowJob;                 // the job of its window: namecode-master
    int menuCode = 0;                  // the main menu's code of its window
    std::vector<MasterColumn> columns; // the grid's columns, in order
    QString orderBy;
};

const MasterDef& masterDef(RefMaster kind);
// The master of a job runner's name; nullptr for a name that is none.
const MasterDef* masterDefByCommand(const QString& command);
const std::vector<RefMaster>& allMasters();

// The grid's rows: one list of texts per record, in the grid's column order.
using MasterRows = std::vector<QStringList>;

// Every record of the master in its sort order, each value as text (Null as empty). No row is left
// out, since a save replaces the table with exactly these rows. Throws core::Error.
MasterRows loadMaster(db::Connection& work, RefMaster kind);
// Every name type, sorted: the material grid's drop-down list. Throws core::Error.
QStringList loadNameTypes(db::Connection& work);

// A sort order as typed: an optional sign, digits, and optionally a point and digits, surrounding
// blanks ignored; an empty cell reads as 0. Nothing for any other text.
std::optional<QVariant> parseSortValue(const QString& text);

// The refusal of the first row that may not be saved, checked in grid order; empty when every
// row may be saved.
QString checkMasterRows(RefMaster kind, const MasterRows& rows);

// "保存": asks first (unless `ask` is false), checks the rows, then deletes every record and inserts
// the rows in grid order inside one transaction, reporting each outcome as a message box. Failed
// when the user said No, a row was refused or the database failed (the table is then unchanged).
core::Outcome saveMaster(core::Prompter& prompter, db::Connection& work, RefMaster kind,
                         const MasterRows& rows, bool ask = true);

} // namespace kemnoa::masters
