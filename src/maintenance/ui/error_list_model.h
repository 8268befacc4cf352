#pragma once
// The error list's rows as a read-only table: 発注番号, 行, タイトル, 値, 内容 and the band flag
// (no heading). Rows of every other order are drawn light green.

#include "maintenance/error_list.h"

#include <QAbstractTableModel>

namespace kemnoa::maintenance {

class ErrorListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ErrorListModel(std::vector<ErrorListRow> rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<ErrorListRow> rows_;
};

} // namespace kemnoa::maintenance
