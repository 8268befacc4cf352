#include "maintenance/ui/error_list_model.h"

namespace kemnoa::maintenance {

namespace {

using core::CellType;

std::vector<core::GridColumn> errorListColumns() {
    return {
        {QStringLiteral("発注番号"), QStringLiteral("ORD_NO"), 80, CellType::Number},
        {QStringLiteral("行"), QStringLiteral("GYOU"), 40, CellType::Number},
        {QStringLiteral("タイトル"), QStringLiteral("ERR_TITLE"), 140},
        {QStringLiteral("値"), QStringLiteral("ERR_VALUE"), 140},
        {QStringLiteral("内容"), QStringLiteral("ERR_MESSAGE"), 360},
        {QString(), QStringLiteral("BAND"), 16},
    };
}

} // namespace

ErrorListModel::ErrorListModel(const std::vector<ErrorListRow>& rows, QObject* parent)
    : core::RecordGridModel(errorListColumns(), parent) {
    std::vector<core::GridRow> grid;
    grid.reserve(rows.size());
    for (const ErrorListRow& r : rows)
        grid.push_back({r.ordNo, r.gyou, r.title, r.value, r.message,
                        r.band ? QStringLiteral("1") : QStringLiteral("0")});
    setRows(std::move(grid));
    message_ = columnOf(QStringLiteral("ERR_MESSAGE"));
    const int band = columnOf(QStringLiteral("BAND"));
    setRowColours([band](const core::GridRow& row) {
        if (row[band].toString() != QLatin1String("1"))
            return RowColours{};
        return RowColours{QColor(0xC0, 0xFF, 0xC0), QColor(Qt::black)};
    });
}

QVariant ErrorListModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::ToolTipRole && index.column() == message_) {
        const QString text = RecordGridModel::data(index, Qt::DisplayRole).toString();
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    return RecordGridModel::data(index, role);
}

} // namespace kemnoa::maintenance
