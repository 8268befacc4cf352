#include "core/menu_grid_model.h"

namespace kemnoa::core {

namespace {
constexpr int VisibleColumns = 4;
}

MenuGridModel::MenuGridModel(const MenuController& controller, QObject* parent)
    : QAbstractTableModel(parent), controller_(controller) {}

int MenuGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : MenuSlotCount;
}

int MenuGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : VisibleColumns;
}

QVariant MenuGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= MenuSlotCount || index.column() >= VisibleColumns)
        return {};
    if (role == Qt::DisplayRole)
        return controller_.rows()[index.row()][index.column()];
    return {};
}

QVariant MenuGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const QStringList headers = {QStringLiteral("処理コード"), QStringLiteral("作業名"),
                                        QStringLiteral("状況"), QStringLiteral("残件数")};
    return headers.value(section);
}

void MenuGridModel::refresh() {
    beginResetModel();
    endResetModel();
}

} // namespace kemnoa::core
