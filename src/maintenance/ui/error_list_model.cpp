#include "maintenance/ui/error_list_model.h"

#include <QBrush>
#include <QColor>

namespace kemnoa::maintenance {

ErrorListModel::ErrorListModel(std::vector<ErrorListRow> rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)) {}

int ErrorListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ErrorListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 6;
}

QVariant ErrorListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size()))
        return {};
    const ErrorListRow& r = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case 0:
            return r.ordNo;
        case 1:
            return r.gyou;
        case 2:
            return r.title;
        case 3:
            return r.value;
        case 4:
            return r.message;
        default:
            return r.band ? QStringLiteral("1") : QStringLiteral("0");
        }
    case Qt::BackgroundRole:
        if (r.band)
            return QBrush(QColor(0xC0, 0xFF, 0xC0));
        return {};
    case Qt::ForegroundRole:
        if (r.band)
            return QBrush(Qt::black);
        return {};
    default:
        return {};
    }
}

QVariant ErrorListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kHeadings[] = {"発注番号", "行", "タイトル", "値", "内容", ""};
    return section >= 0 && section < 6 ? QString::fromUtf8(kHeadings[section]) : QVariant();
}

} // namespace kemnoa::maintenance
