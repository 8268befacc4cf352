#pragma once
// The rows of the error list (frmErr): the master-check findings of one order, or of all orders,
// with the band flag that alternates from one order to the next.

#include "platform/db/connection.h"

#include <QString>
#include <vector>

namespace kemnoa::maintenance {

struct ErrorListRow {
    qint32 ordNo = 0;
    qint32 gyou = 0;
    QString title;
    QString value;
    QString message;
    bool band = false; // drawn light green
};

// The findings of the order, or of every order when ordNo is 0, by order and finding number.
std::vector<ErrorListRow> loadErrorList(db::Connection& work, qint32 ordNo);

// Band flags: the first row is off; a row whose GYOU is 1 takes the opposite of the row before it,
// any other row the flag of the row before it.
void assignBands(std::vector<ErrorListRow>& rows);

} // namespace kemnoa::maintenance
