#pragma once
// The order editor's data and its database side: loading an order (header, four line tables, size
// titles), the choice lists, and the save that rewrites every row of the order in one transaction
// (lines renumbered), then runs the master check and reports its findings.

#include "core/prompter.h"
#include "platform/db/connection.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

namespace kemnoa::maintenance {

struct LineColumn {
    QString name;    // the table's column
    QString caption; // the grid's heading
    bool number = false;
};

// One line table of the order: its columns in grid order and its lines as texts.
struct OrderLines {
    QString table;
    std::vector<LineColumn> columns;
    std::vector<QStringList> rows;

    int columnOf(const QString& name) const;
};

struct EditedOrder {
    qint32 ordNo = 0;              // the order opened; every statement of a save is keyed by it
    QMap<QString, QString> header; // rcv_denheaddata's columns (upper case) as text
    OrderLines pos, car, addFuki, fuzoku;
    QStringList titles; // the ten size titles
    // The status the order was opened with: a save refuses when the database has moved on.
    QString loadedSendFlg, loadedPoNo, loadedPoKbn;
};

// The grids' columns before an order is loaded: hang tags and care labels from their tables'
// columns (in the tables' order), the additional terms and the item totals fixed. Throws core::Error.
EditedOrder orderLayout(db::Connection& work);

// Loads the order into the layout; false with the screen's text when there is no such order.
// Every line is loaded. Throws core::Error for a database failure.
bool loadOrder(db::Connection& work, qint32 ordNo, EditedOrder& order, QString* failure);

// Every name type, and the material names of one name type (nothing when the name type is not in
// the master: the list then stays as it was). Throws core::Error.
QStringList nameTypeChoices(db::Connection& work);
std::optional<QStringList> materialChoices(db::Connection& work, const QString& nameType);

// The number a text starts with (sign, digits, point), 0 when it starts with none; as a whole
// number where it is one.
QVariant leadingNumber(const QString& text);
// True for a plain decimal number: [+-]digits[.digits], blanks around it ignored.
bool isPlainNumber(const QString& text);

enum class SaveEnd {
    NotSaved,  // the user said No, the save was refused, or it failed and was rolled back
    SavedStay, // saved; the editor stays open
    SavedClose // saved; the editor closes
};

// "更新": the questions, the refusals, the PO's print and production rows discarded for a numbered
// order, the five write steps in one transaction (no user input is taken while it is open), the
// master check and its findings. `errDataMake` runs the master check of the order.
SaveEnd saveOrder(core::Prompter& prompter, db::Connection& work, EditedOrder& order,
                  const std::function<void(qint32)>& errDataMake);

} // namespace kemnoa::maintenance
