#include "core/ui/drop_down_delegate.h"

#include "core/ui/record_grid_model.h"

#include <QComboBox>

namespace kemnoa::core {

QWidget* DropDownDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    const QVariant list = index.data(RecordGridModel::DropDownRole);
    if (!list.isValid())
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* combo = new QComboBox(parent);
    combo->addItems(list.toStringList());
    return combo;
}

void DropDownDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo) {
        QStyledItemDelegate::setEditorData(editor, index);
        return;
    }
    const QString current = index.data(Qt::EditRole).toString();
    int i = combo->findText(current);
    if (i < 0 && !current.isEmpty()) {
        combo->addItem(current);
        i = combo->count() - 1;
    }
    combo->setCurrentIndex(i);
}

void DropDownDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    if (combo->currentIndex() >= 0)
        model->setData(index, combo->currentText(), Qt::EditRole);
}

} // namespace kemnoa::core
