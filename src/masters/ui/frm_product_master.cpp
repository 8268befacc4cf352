#include "masters/ui/frm_product_master.h"

#include "core/connections.h"
#include "core/error.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMenuBar>
#include <QTableView>
#include <QVBoxLayout>

namespace kemnoa::masters {

// The rows as read, shown as text and never edited.
class ProductModel : public QAbstractTableModel {
public:
    ProductModel(std::vector<ProductRow> rows, QObject* parent)
        : QAbstractTableModel(parent), rows_(std::move(rows)) {}
    const std::vector<ProductRow>& rows() const { return rows_; }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kProductColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || role != Qt::DisplayRole)
            return {};
        return rows_[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())];
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < kProductColumns)
            return productCaptions()[section];
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    std::vector<ProductRow> rows_;
};

frmProductMaster::frmProductMaster(const core::JobContext& context, QWidget* parent, core::Prompter* dialogs)
    : QWidget(parent), menuBar(new QMenuBar(this)), grid(new QTableView(this)),
      workbookPath(desktopWorkbookPath()), gui_(this), prompter_(dialogs ? *dialogs : gui_) {
    (void)context; // the office-computer connection is held by the job's context
    setWindowTitle(QStringLiteral("商品マスタ　参照のみ"));
    setObjectName(QStringLiteral("frmProductMaster"));
    grid->setObjectName(QStringLiteral("grid"));

    QMenu* file = menuBar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    mnuExp = file->addAction(QStringLiteral("書き出し"));
    file->addSeparator();
    mnuEnd = file->addAction(QStringLiteral("終了"));
    connect(mnuExp, &QAction::triggered, this, &frmProductMaster::mnuExp_Click);
    connect(mnuEnd, &QAction::triggered, this, &QWidget::close);

    std::vector<ProductRow> rows;
    try {
        rows = loadProducts(core::cnOffice());
    } catch (const core::Error& e) {
        prompter_.message(e.text(), QStringLiteral("Form_Load"), core::MsgIcon::Critical);
    }
    model_ = new ProductModel(std::move(rows), this);
    grid->setModel(model_);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setColumnWidth(0, 90);
    grid->setColumnWidth(1, 110);
    grid->setColumnWidth(2, 200);
    grid->setColumnWidth(3, 200);

    // The grid fills the window below the menu and follows its size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(grid);
    resize(960, 540);
}

void frmProductMaster::mnuExp_Click() {
    (void)exportProducts(prompter_, model_->rows(), workbookPath);
}

} // namespace kemnoa::masters
