#pragma once
// The menu grid (TDBGrid1): 17 rows with the columns "処理コード", "作業名", "状況" and "残件数",
// read from the controller's rows.

#include "core/menu.h"

#include <QAbstractTableModel>

namespace kemnoa::core {

class MenuGridModel : public QAbstractTableModel {
public:
    explicit MenuGridModel(const MenuController& controller, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Rebinds the grid to the controller's rows after they changed.
    void refresh();

private:
    const MenuController& controller_;
};

} // namespace kemnoa::core
