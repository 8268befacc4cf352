#include "output/ui/ticked_list.h"

#include <QHeaderView>

namespace kemnoa::output {

void prepareTickedList(QTableWidget* grid, const QStringList& headers) {
    grid->setColumnCount(int(headers.size()));
    grid->setHorizontalHeaderLabels(headers);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers); // only the tick can change
    grid->verticalHeader()->setVisible(false);
}

void fillTickedList(QTableWidget* grid, const std::vector<QStringList>& values,
                    const std::vector<bool>& ticked, int tickColumn) {
    grid->setRowCount(int(values.size()));
    for (int i = 0; i < int(values.size()); ++i) {
        const QStringList& row = values[std::size_t(i)];
        for (int c = 0; c < row.size(); ++c)
            grid->setItem(i, c, new QTableWidgetItem(row[c]));
        auto* tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        tick->setCheckState(ticked[std::size_t(i)] ? Qt::Checked : Qt::Unchecked);
        grid->setItem(i, tickColumn, tick);
    }
    grid->resizeColumnsToContents();
}

void setAllTicked(QTableWidget* grid, int tickColumn, bool ticked) {
    for (int i = 0; i < grid->rowCount(); ++i)
        grid->item(i, tickColumn)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

} // namespace kemnoa::output
