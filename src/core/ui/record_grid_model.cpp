#include "core/ui/record_grid_model.h"

#include "core/ui/drop_down_delegate.h"

#include <QBrush>
#include <QDate>
#include <QDateTime>
#include <QTableView>

namespace kemnoa::core {

namespace {

QString dateText(const QVariant& v) {
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("yyyy/MM/dd"));
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(QStringLiteral("yyyy/MM/dd"));
    const QString s = v.toString().trimmed();
    // Dates of the order data are eight digits yyyymmdd, as text or as a number.
    const QDate d = QDate::fromString(s, QStringLiteral("yyyyMMdd"));
    return s.size() == 8 && d.isValid() ? d.toString(QStringLiteral("yyyy/MM/dd")) : s;
}

// An edit of a number column: empty text is Null, anything else must read as a number.
bool numberFromEdit(const QVariant& edit, QVariant* out) {
    const QString s = edit.toString().trimmed();
    if (s.isEmpty()) {
        *out = QVariant();
        return true;
    }
    bool ok = false;
    const qint64 i = s.toLongLong(&ok);
    if (ok) {
        *out = i;
        return true;
    }
    const double d = s.toDouble(&ok);
    if (ok)
        *out = d;
    return ok;
}

} // namespace

RecordGridModel::RecordGridModel(std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

int RecordGridModel::columnOf(const QString& source) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (!columns_[i].source.isEmpty() && columns_[i].source.compare(source, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void RecordGridModel::setRows(std::vector<GridRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    for (GridRow& r : rows_)
        r.resize(qsizetype(columns_.size()));
    endResetModel();
    setClean();
}

QVariant RecordGridModel::value(int row, const QString& source) const {
    const int c = columnOf(source);
    if (c < 0 || row < 0 || row >= rowCount())
        return {};
    return rows_[std::size_t(row)][c];
}

void RecordGridModel::setDropDownList(const QString& name, const QStringList& values) {
    dropDowns_.insert(name, values);
    for (std::size_t c = 0; c < columns_.size(); ++c)
        if (columns_[c].dropDown == name && rowCount() > 0)
            Q_EMIT dataChanged(index(0, int(c)), index(rowCount() - 1, int(c)), {DropDownRole});
}

QStringList RecordGridModel::dropDownList(int column) const {
    if (column < 0 || column >= columnCount() || columns_[std::size_t(column)].dropDown.isEmpty())
        return {};
    return dropDowns_.value(columns_[std::size_t(column)].dropDown);
}

void RecordGridModel::setRowColours(std::function<RowColours(const GridRow&)> colours) {
    beginResetModel();
    colours_ = std::move(colours);
    endResetModel();
}

void RecordGridModel::setClean() {
    if (!dirty_)
        return;
    dirty_ = false;
    Q_EMIT dirtyChanged(false);
}

void RecordGridModel::markDirty() {
    if (dirty_)
        return;
    dirty_ = true;
    Q_EMIT dirtyChanged(true);
}

int RecordGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int RecordGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant RecordGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const GridColumn& col = columns_[std::size_t(index.column())];
    const GridRow& row = rows_[std::size_t(index.row())];
    const QVariant& v = row[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        if (col.type == CellType::Tick)
            return {};
        if (col.type == CellType::Date)
            return dateText(v);
        return v;
    case Qt::EditRole:
        return v;
    case Qt::CheckStateRole:
        if (col.type == CellType::Tick)
            return isTicked(v) ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        if (col.type == CellType::Number)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::BackgroundRole:
    case Qt::ForegroundRole: {
        if (!colours_)
            return {};
        const RowColours c = colours_(row);
        const QColor& colour = role == Qt::BackgroundRole ? c.background : c.foreground;
        return colour.isValid() ? QVariant(QBrush(colour)) : QVariant();
    }
    case DropDownRole:
        if (col.dropDown.isEmpty())
            return {};
        return dropDownList(index.column());
    default:
        return {};
    }
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return columns_[std::size_t(section)].caption;
}

Qt::ItemFlags RecordGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const GridColumn& col = columns_[std::size_t(index.column())];
    if (col.editable)
        f |= col.type == CellType::Tick ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return f;
}

bool RecordGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return false;
    const GridColumn& col = columns_[std::size_t(index.column())];
    if (!col.editable)
        return false;
    QVariant stored;
    if (col.type == CellType::Tick) {
        if (role == Qt::CheckStateRole)
            stored = value.toInt() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
        else if (role == Qt::EditRole)
            stored = isTicked(value) ? QStringLiteral("1") : QStringLiteral("0");
        else
            return false;
    } else if (role != Qt::EditRole) {
        return false;
    } else if (col.type == CellType::Number) {
        if (!numberFromEdit(value, &stored))
            return false;
    } else {
        stored = value.toString();
    }
    QVariant& cell = rows_[std::size_t(index.row())][index.column()];
    if (cell == stored && cell.typeId() == stored.typeId())
        return true;
    cell = stored;
    Q_EMIT dataChanged(index, index);
    markDirty();
    return true;
}

bool RecordGridModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || row > rowCount() || count <= 0)
        return false;
    if (rowLimit_ != NoRowLimit && rowCount() + count > rowLimit_)
        return false;
    GridRow empty(qsizetype(columns_.size()));
    for (std::size_t c = 0; c < columns_.size(); ++c)
        if (columns_[c].type == CellType::Tick)
            empty[qsizetype(c)] = QStringLiteral("0");
    beginInsertRows(parent, row, row + count - 1);
    rows_.insert(rows_.begin() + row, std::size_t(count), empty);
    endInsertRows();
    markDirty();
    return true;
}

bool RecordGridModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
    endRemoveRows();
    markDirty();
    return true;
}

void showInGrid(QTableView* view, RecordGridModel* model) {
    view->setModel(model);
    bool editable = false;
    for (std::size_t c = 0; c < model->columns().size(); ++c) {
        const GridColumn& col = model->columns()[c];
        view->setColumnWidth(int(c), col.width);
        editable = editable || col.editable;
        if (!col.dropDown.isEmpty())
            view->setItemDelegateForColumn(int(c), new DropDownDelegate(view));
    }
    if (!editable)
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

} // namespace kemnoa::core
