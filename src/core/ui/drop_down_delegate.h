#pragma once
// The editor of a drop-down grid column: a combo box holding the column's list
// (RecordGridModel::DropDownRole). A value typed before the list existed stays selectable.

#include <QStyledItemDelegate>

namespace kemnoa::core {

class DropDownDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};

} // namespace kemnoa::core
