#pragma once
// The error list's rows in the grid model: 発注番号, 行, タイトル, 値, 内容 and the band flag
// (no heading), read-only. Rows of every other order are drawn light green. A finding's message
// shows whole as the tooltip of its cell, however narrow the column.

#include "core/ui/record_grid_model.h"
#include "maintenance/error_list.h"

namespace kemnoa::maintenance {

class ErrorListModel : public core::RecordGridModel {
    Q_OBJECT
public:
    explicit ErrorListModel(const std::vector<ErrorListRow>& rows, QObject* parent = nullptr);

    // The column of the finding's message (内容).
    int messageColumn() const { return message_; }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    int message_ = -1;
};

} // namespace kemnoa::maintenance
