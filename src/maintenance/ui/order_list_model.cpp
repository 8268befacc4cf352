#include "maintenance/ui/order_list_model.h"

namespace kemnoa::maintenance {

void OrderListModel::setRows(std::vector<SearchRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void OrderListModel::reload() {
    beginResetModel();
    endResetModel();
}

bool OrderListModel::refreshOrder(const SearchRow& row) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].ordNo != row.ordNo)
            continue;
        const QString command = rows_[i].command;
        rows_[i] = row;
        rows_[i].command = command;
        Q_EMIT dataChanged(index(static_cast<int>(i), 1), index(static_cast<int>(i), 9));
        return true;
    }
    return false;
}

int OrderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int OrderListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 10;
}

QVariant OrderListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const SearchRow& r = rows_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
    case 0:
        return r.command;
    case 1:
        return QString::number(r.ordNo);
    case 2:
        return r.iraiNo;
    case 3:
        return r.poNo;
    case 4:
        return r.poKbn;
    case 5:
        return r.ordDate;
    case 6:
        return r.kiboDate;
    case 7:
        return r.nouNm;
    case 8:
        return r.errSu;
    case 9:
        return sendStateSymbol(r.sendFlg);
    default:
        return {};
    }
}

bool OrderListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0 || role != Qt::EditRole)
        return false;
    rows_[static_cast<std::size_t>(index.row())].command = value.toString();
    Q_EMIT dataChanged(index, index);
    return true;
}

Qt::ItemFlags OrderListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant OrderListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const headings[] = {"",       "発注番号",   "依頼番号", "PO番号",  "PO区分",
                                           "発注日", "希望出荷日", "納品先",   "ｴﾗｰ件数", "送信済"};
    return section >= 0 && section < 10 ? QString::fromUtf8(headings[section]) : QVariant();
}

} // namespace kemnoa::maintenance
