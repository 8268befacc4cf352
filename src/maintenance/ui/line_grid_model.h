#pragma once
// An editable grid of text cells laid out from a list of column specifications, with the empty
// row at the end where a new line is typed, rows deleted by selecting them and pressing Delete,
// and drop-down lists for chosen columns. Every cell is held as text; the rows are the window's
// working copy until it saves them.

#include <QAbstractTableModel>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <vector>

namespace kemnoa::maintenance {

struct GridColumn {
    QString caption;   // the heading
    QString source;    // the table's column it shows
    int width = 80;    // in pixels
    int adoType = 200; // the database type code of the column (3 integer, 200 text, ...)
    bool editable = true;
};

class LineGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LineGridModel(std::vector<GridColumn> columns, QObject* parent = nullptr);

    const std::vector<GridColumn>& columns() const { return columns_; }
    // The index of a column by its source name (case-insensitive), -1 when there is none.
    int columnOf(const QString& source) const;

    // Changes a column's heading (the size titles head the quantity columns).
    void setCaption(int column, const QString& caption);

    // Replaces every row; the grid counts as unchanged.
    void setRows(std::vector<QStringList> rows);
    const std::vector<QStringList>& rows() const { return rows_; }
    QString cell(int row, int column) const;

    // Whether the empty row at the end takes new lines (on by default) and rows may be deleted.
    void setAllowAddNew(bool allow);
    bool allowAddNew() const { return allowAddNew_; }
    // True when the row is the empty row at the end.
    bool isAddNewRow(int row) const { return allowAddNew_ && row == static_cast<int>(rows_.size()); }

    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

    // Deletes the rows (any order, duplicates ignored); the empty row at the end is never deleted.
    void removeLines(QList<int> rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

Q_SIGNALS:
    void modified();

private:
    std::vector<GridColumn> columns_;
    std::vector<QStringList> rows_;
    bool allowAddNew_ = true;
    bool modified_ = false;
};

// A drop-down list in the cells of a column: the list is asked for each time an editor opens (the
// material list depends on the row's name type). Text that is not in the list may be typed.
class ChoiceDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using ListOf = std::function<QStringList(const QModelIndex&)>;
    ChoiceDelegate(ListOf list, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    ListOf list_;
};

// A grid view that can end the cell edit in progress, keeping what was typed (before a save).
class LineGridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    void commitPendingEdit();
};

// Sets up a view over the model: column widths, row selection by the row headers, and Delete on
// selected rows deleting them.
void setUpLineGrid(QTableView* view, LineGridModel* model);

} // namespace kemnoa::maintenance
