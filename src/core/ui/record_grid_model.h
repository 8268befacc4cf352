#pragma once
// The one table model of the grid windows: columns from a GridColumn list, rows as loaded from a
// record set (core/grid_columns.h). Editable columns take edits (numbers must read as numbers,
// ticks toggle between "1" and "0"), rows can be inserted up to the grid's row limit and removed,
// and every change marks the grid dirty until it is saved. A column with a drop-down list offers
// that list through DropDownRole, which DropDownDelegate turns into a combo box.

#include "core/grid_columns.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QStringList>
#include <functional>

class QTableView;

namespace kemnoa::core {

class RecordGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The choices of a drop-down column (a QStringList); invalid for other columns.
    static constexpr int DropDownRole = Qt::UserRole + 1;
    static constexpr int NoRowLimit = -1;

    struct RowColours {
        QColor background; // invalid: the view's own
        QColor foreground;
    };

    explicit RecordGridModel(std::vector<GridColumn> columns, QObject* parent = nullptr);

    const std::vector<GridColumn>& columns() const { return columns_; }
    // The position of the column whose source is that name (without regard to case), -1 when none.
    int columnOf(const QString& source) const;

    // Replaces every row; the grid is clean afterwards.
    void setRows(std::vector<GridRow> rows);
    const std::vector<GridRow>& rows() const { return rows_; }
    // The value of a row in the column whose source is that name; Null when there is no such column.
    QVariant value(int row, const QString& source) const;

    // The most rows the grid holds; insertRows refuses to go beyond it.
    void setRowLimit(int limit) { rowLimit_ = limit; }
    int rowLimit() const { return rowLimit_; }

    // The choices of the drop-down lists, by the name the columns give in GridColumn::dropDown.
    void setDropDownList(const QString& name, const QStringList& values);
    QStringList dropDownList(int column) const;

    // Colours of a row (bands, marks), asked for every cell of the row.
    void setRowColours(std::function<RowColours(const GridRow& row)> colours);

    bool isDirty() const { return dirty_; }
    void setClean();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // New rows are empty, their ticks "0".
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

Q_SIGNALS:
    void dirtyChanged(bool dirty);

private:
    void markDirty();

    std::vector<GridColumn> columns_;
    std::vector<GridRow> rows_;
    QHash<QString, QStringList> dropDowns_;
    std::function<RowColours(const GridRow&)> colours_;
    int rowLimit_ = NoRowLimit;
    bool dirty_ = false;
};

// Shows the model in the view: the columns' widths, a drop-down editor for the drop-down columns,
// and no editing at all when no column is editable.
void showInGrid(QTableView* view, RecordGridModel* model);

} // namespace kemnoa::core
