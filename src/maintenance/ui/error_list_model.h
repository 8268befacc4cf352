#pragma once
// The error list's rows in the grid model: 発注番号, 行, タイトル, 値, 内容 and the band flag
// (no heading), read-only. Rows of every other order are drawn light green.

#include "core/ui/record_grid_model.h"
#include "maintenance/error_list.h"

namespace kemnoa::maintenance {

class ErrorListModel : public core::RecordGridModel {
    Q_OBJECT
public:
    explicit ErrorListModel(const std::vector<ErrorListRow>& rows, QObject* parent = nullptr);
};

} // namespace kemnoa::maintenance
