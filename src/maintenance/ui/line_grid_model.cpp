#include "maintenance/ui/line_grid_model.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace kemnoa::maintenance {

LineGridModel::LineGridModel(std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

int LineGridModel::columnOf(const QString& source) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].source.compare(source, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

void LineGridModel::setCaption(int column, const QString& caption) {
    if (column < 0 || column >= columnCount())
        return;
    columns_[static_cast<std::size_t>(column)].caption = caption;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

void LineGridModel::setRows(std::vector<QStringList> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    for (QStringList& r : rows_)
        while (r.size() < static_cast<int>(columns_.size()))
            r << QString();
    endResetModel();
    modified_ = false;
}

QString LineGridModel::cell(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return {};
    return rows_[static_cast<std::size_t>(row)].value(column);
}

void LineGridModel::setAllowAddNew(bool allow) {
    if (allow == allowAddNew_)
        return;
    beginResetModel();
    allowAddNew_ = allow;
    endResetModel();
}

void LineGridModel::removeLines(QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the bottom up, so the numbers of the rows still to go stay right.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        const int r = *it;
        if (r < 0 || r >= static_cast<int>(rows_.size()))
            continue;
        beginRemoveRows({}, r, r);
        rows_.erase(rows_.begin() + r);
        endRemoveRows();
        modified_ = true;
        Q_EMIT modified();
    }
}

int LineGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size()) + (allowAddNew_ ? 1 : 0);
}

int LineGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant LineGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && columns_[static_cast<std::size_t>(index.column())].adoType == 3)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool LineGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString();
    if (isAddNewRow(index.row())) {
        if (text.isEmpty())
            return false; // nothing typed: no new line
        const int r = static_cast<int>(rows_.size());
        beginInsertRows({}, r + 1, r + 1); // a new empty row appears below the new line
        QStringList row;
        for (std::size_t i = 0; i < columns_.size(); ++i)
            row << QString();
        rows_.push_back(row);
        endInsertRows();
    }
    QString& cellText = rows_[static_cast<std::size_t>(index.row())][index.column()];
    if (cellText == text && !isAddNewRow(index.row()))
        return true;
    cellText = text;
    modified_ = true;
    Q_EMIT dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(columnCount() - 1));
    Q_EMIT modified();
    return true;
}

Qt::ItemFlags LineGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (columns_[static_cast<std::size_t>(index.column())].editable)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant LineGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < columnCount() ? columns_[static_cast<std::size_t>(section)].caption
                                                       : QString();
    return isAddNewRow(section) ? QStringLiteral("*") : QString::number(section + 1);
}

ChoiceDelegate::ChoiceDelegate(ListOf list, QObject* parent)
    : QStyledItemDelegate(parent), list_(std::move(list)) {}

QWidget* ChoiceDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                      const QModelIndex& index) const {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(list_(index));
    return combo;
}

void ChoiceDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = static_cast<QComboBox*>(editor);
    combo->setCurrentText(index.data(Qt::EditRole).toString());
}

void ChoiceDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                  const QModelIndex& index) const {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
}

void LineGridView::commitPendingEdit() {
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void setUpLineGrid(QTableView* view, LineGridModel* model) {
    view->setModel(model);
    for (int c = 0; c < model->columnCount(); ++c)
        view->setColumnWidth(c, model->columns()[static_cast<std::size_t>(c)].width);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    // Delete on rows chosen by their headers deletes those lines; on single cells it does nothing.
    auto* remove = new QAction(view);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(remove, &QAction::triggered, view, [view, model] {
        if (view->indexWidget(view->currentIndex()) || !model->allowAddNew()) // a cell is being edited
            return;
        QList<int> rows;
        for (const QModelIndex& i : view->selectionModel()->selectedRows())
            rows << i.row();
        model->removeLines(rows);
    });
    view->addAction(remove);
}

} // namespace kemnoa::maintenance
