#pragma once
// The grid windows of the reference masters ("ネーム種マスタ", "資材マスタ", "サイズマスタ"): the
// whole table in an editable grid that fills the window, and "ﾌｧｲﾙ(&F)" → "保存" replacing the table
// with the grid's rows. Thin: loading, checks and the save live in kemnoa_masters.

#include "core/job.h"
#include "core/ui/gui_prompter.h"
#include "masters/reference_masters.h"

#include <QWidget>

class QAction;

namespace kemnoa::maintenance {
class LineGridModel;
class LineGridView;
} // namespace kemnoa::maintenance

namespace kemnoa::masters {

class frmMst : public QWidget {
    Q_OBJECT
public:
    // context: the window's job, holding the work connection while the window is open.
    // dialogs: where message boxes and questions go; the window's own when null.
    frmMst(RefMaster kind, const core::JobContext& context, QWidget* parent = nullptr,
           core::Prompter* dialogs = nullptr);

    RefMaster kind() const { return kind_; }
    maintenance::LineGridView* grid() const { return grid_; }
    maintenance::LineGridModel* model() const { return model_; }
    QAction* mnuSave = nullptr;
    // False when the table could not be read: the window then refuses to save.
    bool loaded() const { return loaded_; }

public Q_SLOTS:
    void mnuSave_Click();

private:
    void load();

    RefMaster kind_;
    core::ui::GuiPrompter gui_;
    core::Prompter& prompter_;
    maintenance::LineGridView* grid_;
    maintenance::LineGridModel* model_;
    QStringList nameTypes_; // the material window's drop-down list
    bool loaded_ = false;
};

} // namespace kemnoa::masters
