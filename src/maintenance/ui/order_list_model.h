#pragma once
// The search list's rows in a grid: the command letter (the only cell meant for input) and the
// header columns of each order, the send state shown as its symbol.

#include "maintenance/order_search.h"

#include <QAbstractTableModel>
#include <vector>

namespace kemnoa::maintenance {

class OrderListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<SearchRow> rows);
    std::vector<SearchRow>& rows() { return rows_; }
    // Tells the views that rows were removed or changed outside the model.
    void reload();
    // Writes the row of that order anew; false when the list holds no row of it.
    bool refreshOrder(const SearchRow& row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<SearchRow> rows_;
};

} // namespace kemnoa::maintenance
