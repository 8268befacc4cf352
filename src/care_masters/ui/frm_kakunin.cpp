#include "care_masters/ui/frm_kakunin.h"

#include "care_masters/master_printing.h"
#include "care_masters/ui/symbol_widgets.h"
#include "core/connections.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kemnoa::care_masters {

frmKakunin::frmKakunin(const MasterKind& kind, const core::JobContext& context, QWidget* parent,
                       core::Prompter* dialogs)
    : QWidget(parent), gui_(this), prompter_(dialogs ? *dialogs : gui_), printers_(context.printers),
      confirmation_(kind, prompter_, core::cnWork()) {
    const bool symbols = kind.symbols;
    setObjectName(symbols ? QStringLiteral("frmKakunin_Ehj") : QStringLiteral("frmKakunin_Fuki"));
    setWindowTitle(symbols ? QStringLiteral("絵表示確認") : QStringLiteral("付記用語確認"));
    printSink = [this](const report::Document& doc) { previewAndPrint(doc, this); };

    lblPage = new QLabel(QStringLiteral("0"), this);
    lblCount = new QLabel(QStringLiteral("0"), this);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    lblCount->setObjectName(QStringLiteral("lblCount"));
    txtNo = new QLineEdit(this);
    txtNo->setReadOnly(true);
    txtMemo = new QPlainTextEdit(this);
    txtMemo->setMaximumHeight(60);
    lblKind = new QLabel(this);
    lblDone = new QLabel(this);
    lblDone->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));

    auto* head = new QGridLayout;
    head->addWidget(new QLabel(symbols ? QStringLiteral("絵表示記号") : QStringLiteral("付記用語記号"), this),
                    0, 0);
    head->addWidget(txtNo, 0, 1);
    head->addWidget(lblKind, 0, 2);
    head->addWidget(lblDone, 0, 3);
    auto* counter = new QHBoxLayout;
    counter->addWidget(lblPage);
    counter->addWidget(new QLabel(QStringLiteral("/"), this));
    counter->addWidget(lblCount);
    head->addLayout(counter, 0, 4);
    head->addWidget(new QLabel(QStringLiteral("メモ"), this), 1, 0);
    head->addWidget(txtMemo, 1, 1, 1, 4);

    auto* panels = new QHBoxLayout;
    panels->addWidget(makePanel(QStringLiteral("クライアントより送信されてきたデータ"), sent));
    panels->addWidget(makePanel(QStringLiteral("現在のマスタデータ"), master));

    cmdBack = new QPushButton(QStringLiteral("←"), this);
    cmdNext = new QPushButton(QStringLiteral("→"), this);
    cmdOk = new QPushButton(QStringLiteral("確認OK→次のページ"), this);
    cmdDelete = new QPushButton(QStringLiteral("削除"), this);
    cmdPrint = new QPushButton(QStringLiteral("印刷"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdDelete);
    buttons->addWidget(cmdPrint);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(panels);
    layout->addLayout(buttons);

    connect(cmdBack, &QPushButton::clicked, this, &frmKakunin::cmdBack_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmKakunin::cmdNext_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmKakunin::cmdOk_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmKakunin::cmdDelete_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmKakunin::cmdPrint_Click);

    if (!confirmation_.open()) {
        cmdBack->setEnabled(false);
        cmdNext->setEnabled(false);
        cmdOk->setEnabled(false);
    }
    push();
}

QWidget* frmKakunin::makePanel(const QString& title, Panel& panel) {
    auto* box = new QGroupBox(title, this);
    auto* grid = new QGridLayout(box);
    int row = 0;
    if (confirmation_.kind().symbols) {
        grid->addWidget(new QLabel(QStringLiteral("絵表示"), box), row++, 0, 1, 6);
        for (int k = 0; k < 6; ++k) {
            panel.pictures[k] = new PictureBox(48, box);
            panel.codes[k] = new QLineEdit(box);
            panel.codes[k]->setReadOnly(true);
            panel.codes[k]->setMaximumWidth(60);
            grid->addWidget(panel.pictures[k], row, k, Qt::AlignCenter);
            grid->addWidget(panel.codes[k], row + 1, k, Qt::AlignCenter);
        }
        row += 2;
    } else {
        panel.naiyo = new QPlainTextEdit(box);
        panel.naiyo->setReadOnly(true);
        grid->addWidget(panel.naiyo, row++, 0, 1, 6);
    }
    grid->addWidget(new QLabel(QStringLiteral("予備"), box), row++, 0, 1, 6);
    for (int k = 0; k < 5; ++k) {
        panel.spares[k] = new QLineEdit(box);
        panel.spares[k]->setReadOnly(true);
        grid->addWidget(panel.spares[k], row++, 0, 1, 6);
    }
    grid->addWidget(new QLabel(QStringLiteral("更新日"), box), row, 0);
    panel.upd = new QLineEdit(box);
    panel.upd->setReadOnly(true);
    grid->addWidget(panel.upd, row, 1, 1, 5);
    return box;
}

void frmKakunin::showPanel(Panel& panel, const SubmissionPanel& values) {
    if (panel.naiyo)
        panel.naiyo->setPlainText(values.values.value(0));
    for (int k = 0; k < 6 && panel.codes[k]; ++k) {
        panel.codes[k]->setText(values.values.value(k));
        panel.pictures[k]->showCode(values.values.value(k));
    }
    for (int k = 0; k < 5; ++k)
        panel.spares[k]->setText(values.spares.value(k));
    panel.upd->setText(values.upd);
}

void frmKakunin::push() {
    const SubmissionPage& page = confirmation_.current;
    lblPage->setText(QString::number(confirmation_.page()));
    lblCount->setText(QString::number(confirmation_.pageCount()));
    txtNo->setText(page.number);
    txtMemo->setPlainText(page.memo);
    lblKind->setText(confirmation_.page() ? page.kindLabel : QString());
    lblDone->setText(page.handledLabel);
    showPanel(sent, page.sent);
    showPanel(master, page.master);
}

void frmKakunin::cmdBack_Click() {
    confirmation_.current.memo = txtMemo->toPlainText();
    confirmation_.previous();
    push();
}

void frmKakunin::cmdNext_Click() {
    confirmation_.current.memo = txtMemo->toPlainText();
    confirmation_.next();
    push();
}

void frmKakunin::cmdOk_Click() {
    confirmation_.current.memo = txtMemo->toPlainText();
    confirmation_.confirm();
    push();
}

void frmKakunin::cmdDelete_Click() {
    // Kept on the screen when the discard is refused; a discard itself never saves it.
    confirmation_.current.memo = txtMemo->toPlainText();
    confirmation_.discard();
    push();
}

void frmKakunin::cmdPrint_Click() {
    if (confirmation_.current.id.isEmpty())
        return;
    core::BusyPointer busy(prompter_);
    auto control = screenReport(printSink, printers_);
    printRequest(confirmation_.kind(), {*control, screenPrinterName(printers_)}, prompter_, core::cnWork(),
                 confirmation_.current.id.toInt());
}

void frmKakunin::closeEvent(QCloseEvent* event) {
    confirmation_.current.memo = txtMemo->toPlainText();
    confirmation_.closing();
    QWidget::closeEvent(event);
}

} // namespace kemnoa::care_masters
