#include "core/ui/mnu_main.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace kemnoa::core::ui {

mnuMain::mnuMain(Prompter& prompter, JobOpener& opener, ProgramStarter& starter, QWidget* parent)
    : QWidget(parent), controller_(prompter, opener, starter), model_(controller_) {
    setWindowTitle(QStringLiteral("メインメニュー"));

    lblMenu = new QLabel(this);
    QFont titleFont = lblMenu->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblMenu->setFont(titleFont);

    auto* codeCaption = new QLabel(QStringLiteral("処理ｺｰﾄﾞ"), this);
    txtCode = new QLineEdit(this);
    txtCode->setFixedWidth(80);
    // Digits only, also for text that arrives by pasting or dropping rather than by key.
    txtCode->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), txtCode));
    txtCode->installEventFilter(this);
    codeCaption->setBuddy(txtCode);

    TDBGrid1 = new QTableView(this);
    TDBGrid1->setModel(&model_);
    TDBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    TDBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    TDBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TDBGrid1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    TDBGrid1->setColumnWidth(0, 90);
    TDBGrid1->verticalHeader()->setDefaultSectionSize(24);
    TDBGrid1->installEventFilter(this);

    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(codeCaption);
    codeRow->addWidget(txtCode);
    codeRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMenu);
    layout->addLayout(codeRow);
    layout->addWidget(TDBGrid1);
    resize(520, 540);

    controller_.onRowsChanged = [this] {
        lblMenu->setText(controller_.pageTitle());
        model_.refresh();
    };
    controller_.onClearCode = [this] { txtCode->clear(); };
    connect(txtCode, &QLineEdit::returnPressed, this, &mnuMain::txtCode_Enter);
    connect(TDBGrid1, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { TDBGrid1_Activate(index.row()); });

    controller_.open();
    txtCode->setFocus();
}

bool mnuMain::codeKeyAllowed(const QKeyEvent* key) const {
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        break;
    }
    if (key->matches(QKeySequence::Paste))
        return false;
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Delete)
        return true; // moving the cursor and deleting produce no character
    return text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9');
}

bool mnuMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtCode) {
        if (event->type() == QEvent::KeyPress && !codeKeyAllowed(static_cast<QKeyEvent*>(event)))
            return true;
        if (event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, txtCode, &QLineEdit::selectAll); // after a click has placed the cursor
    } else if (watched == TDBGrid1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (TDBGrid1->currentIndex().isValid())
                TDBGrid1_Activate(TDBGrid1->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void mnuMain::txtCode_Enter() {
    const auto result = controller_.enterCode(txtCode->text());
    if (result == MenuController::EnterResult::SelectAll)
        txtCode->selectAll();
    afterAct();
}

void mnuMain::TDBGrid1_Activate(int row) {
    controller_.activateRow(row);
    afterAct();
}

void mnuMain::afterAct() {
    if (controller_.closeRequested())
        close();
}

} // namespace kemnoa::core::ui
