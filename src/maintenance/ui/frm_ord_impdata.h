#pragma once
// The order editor "データ修正/確認": the header fields, the four line grids on tabs, the size
// titles, and the buttons 更新 (save), 戻る and エラー表示. Thin: loading and the save live in
// maintenance/order_editor. Holds the work connection while it is open.

#include "core/connection_lease.h"
#include "core/ui/gui_prompter.h"
#include "maintenance/order_editor.h"

#include <QMap>
#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kemnoa::maintenance {

class LineGridModel;
class LineGridView;

class frmOrd_ImpData : public QWidget {
    Q_OBJECT
public:
    // dialogs: where message boxes and questions go; the window's own when null.
    explicit frmOrd_ImpData(core::Prompter* dialogs = nullptr, QWidget* parent = nullptr);
    ~frmOrd_ImpData() override;

    // Lays out the grids and loads the order; false (after saying why) when it cannot be shown.
    bool MP_Open(qint32 ordNo);
    qint32 orderNumber() const { return order_.ordNo; }
    // True when something was changed since the order was loaded or saved.
    bool isModified() const;
    // Called with the order number after every successful save (the search list's refresh).
    std::function<void(qint32)> onSaved;

    QLineEdit* field(const QString& column) const { return fields_.value(column); }
    QLineEdit* title(int k) const { return titles_.value(k); }
    LineGridModel* grid(int table) const { return models_[table]; }
    LineGridView* gridView(int table) const { return views_[table]; }
    QCheckBox* chkHoryu = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdErr = nullptr;
    QTabWidget* tabs = nullptr;

    // The material list of the item totals' 資材名 column, as last built.
    const QStringList& materials() const { return materials_; }
    const QStringList& nameTypes() const { return nameTypes_; }

public Q_SLOTS:
    void cmdUpdate_Click();
    void cmdBack_Click();
    void cmdErr_Click();

private:
    void buildHeader();
    void buildGrids();
    void showOrder();
    void collect();
    QStringList materialList(const QModelIndex& index);

    core::ui::GuiPrompter gui_;
    core::Prompter& prompter_;
    std::unique_ptr<core::ConnectionLease> work_;
    EditedOrder order_;
    QMap<QString, QLineEdit*> fields_;
    QList<QLineEdit*> titles_;
    LineGridModel* models_[4] = {};
    LineGridView* views_[4] = {};
    QStringList nameTypes_;
    QStringList materials_;
    bool headerModified_ = false;
};

} // namespace kemnoa::maintenance
