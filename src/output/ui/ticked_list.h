#pragma once
// The PO lists of the output windows: read-only text columns and one tick column the user changes.

#include <QStringList>
#include <QTableWidget>
#include <vector>

namespace kemnoa::output {

// Columns and headers; nothing but the ticks can be edited.
void prepareTickedList(QTableWidget* grid, const QStringList& headers);
// One row per entry of `values`, ticked as `ticked` says; the columns then fit their contents.
void fillTickedList(QTableWidget* grid, const std::vector<QStringList>& values,
                    const std::vector<bool>& ticked, int tickColumn);
void setAllTicked(QTableWidget* grid, int tickColumn, bool ticked);

// The rows with each one's `chk` taken from the list.
template <class Row>
std::vector<Row> withTicks(std::vector<Row> rows, const QTableWidget* grid, int tickColumn) {
    for (int i = 0; i < int(rows.size()); ++i)
        rows[std::size_t(i)].chk = grid->item(i, tickColumn)->checkState() == Qt::Checked;
    return rows;
}

} // namespace kemnoa::output
