#pragma once
// The column lists of the received-order tables and of the staging tables, in the order the work
// tables hold them, taken from the table catalogue (platform/db/catalogue.h). An order file's
// tables carry the same column names (the header without its system columns); the import copies
// them by name.

#include <QString>
#include <QStringList>
#include <vector>

namespace kemnoa::receiving {

enum class Form { Text, Number };

struct ColumnDef {
    QString name;
    Form form;
};

struct TableDef {
    QString workTable; // rcv_posdata
    QString fileTable; // posdata
    std::vector<ColumnDef> columns;

    QStringList names() const;
};

// rcv_denheaddata: 38 columns.
const TableDef& headerTable();
// rcv_posdata and rcv_cardata: 102 columns each.
const TableDef& posTable();
const TableDef& carTable();
// rcv_addfukidata: 11 columns; rcv_fuzokudata: 29 columns.
const TableDef& addFukiTable();
const TableDef& fuzokuTable();
// The four line tables in the order the import writes them.
const std::vector<const TableDef*>& lineTables();

// The header columns the import sets itself instead of reading them from the file.
bool isHeaderSystemColumn(const QString& name);

// rrk_ehj / snd_mst_ehj and rrk_fuki / snd_mst_fuki: the staged columns (without ID,
// KAKUNIN_FLG and MEMO), all text.
const TableDef& ehjStaging();
const TableDef& fukiStaging();

// Every table the delete-all command empties, in its order.
const QStringList& deleteAllTables();

} // namespace kemnoa::receiving
