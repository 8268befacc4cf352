#include "care_masters/ui/frm_mst.h"

#include "care_masters/ui/symbol_widgets.h"
#include "core/connections.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace kemnoa::care_masters {

frmMst::frmMst(const MasterKind& kind, const core::JobContext& context, QWidget* parent,
               core::Prompter* dialogs)
    : QWidget(parent), gui_(this), prompter_(dialogs ? *dialogs : gui_),
      editor_(kind, prompter_, core::cnWork()) {
    (void)context; // the job's context holds the work connection while the screen is open
    const bool symbols = kind.symbols;
    setObjectName(symbols ? QStringLiteral("frmMst_Ehj") : QStringLiteral("frmMst_Fuki"));
    setWindowTitle(symbols ? QStringLiteral("絵表示マスタ") : QStringLiteral("付記用語マスタ"));

    cboNo = new QComboBox(this);
    cboNo->setEditable(true);
    cboNo->setInsertPolicy(QComboBox::NoInsert);
    cboNo->setMinimumWidth(160);
    lblMode = new QLabel(this);
    lblLock = new QLabel(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(kind.numberLabel, this));
    top->addWidget(cboNo);
    top->addSpacing(20);
    top->addWidget(lblMode);
    top->addWidget(lblLock);
    top->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);

    if (symbols) {
        auto* positions = new QGroupBox(QStringLiteral("絵表示"), this);
        auto* grid = new QGridLayout(positions);
        for (int k = 0; k < 6; ++k) {
            picEhj[k] = new PictureBox(64, positions);
            picEhj[k]->setObjectName(QStringLiteral("picEhj%1").arg(k + 1));
            txtEhj[k] = new QLineEdit(positions);
            txtEhj[k]->setReadOnly(true); // codes change only through the palette and the positions
            txtEhj[k]->setObjectName(QStringLiteral("txtEhj%1").arg(k + 1));
            txtEhj[k]->setMaximumWidth(72);
            grid->addWidget(picEhj[k], 0, k, Qt::AlignCenter);
            grid->addWidget(txtEhj[k], 1, k, Qt::AlignCenter);
            connect(picEhj[k], &PictureBox::doubleClicked, this, [this, k] { picEhj_DblClick(k + 1); });
        }
        layout->addWidget(positions);
        palette = new SymbolPalette(this);
        palette->setObjectName(QStringLiteral("palette"));
        palette->setMinimumHeight(140);
        layout->addWidget(palette);
        connect(palette, &SymbolPalette::symbolDoubleClicked, this, &frmMst::palette_DblClick);
    } else {
        txtNaiyo = new QPlainTextEdit(this);
        txtNaiyo->setObjectName(QStringLiteral("txtNaiyo"));
        layout->addWidget(new QLabel(QStringLiteral("付記用語"), this));
        layout->addWidget(txtNaiyo);
    }

    auto* form = new QGridLayout;
    int row = 0;
    if (symbols) {
        txtHenkan = new QLineEdit(this);
        txtHenkan->setObjectName(QStringLiteral("txtHenkan"));
        form->addWidget(new QLabel(QStringLiteral("絵表示変換記号"), this), row, 0);
        form->addWidget(txtHenkan, row++, 1);
    }
    txtUpd = new QLineEdit(this);
    txtUpd->setReadOnly(true); // set by a save only
    txtUpd->setObjectName(QStringLiteral("txtUpd"));
    form->addWidget(new QLabel(QStringLiteral("更新日"), this), row, 0);
    form->addWidget(txtUpd, row++, 1);
    for (int k = 0; k < 5; ++k) {
        txtB[k] = new QLineEdit(this);
        txtB[k]->setObjectName(QStringLiteral("txtB%1").arg(k + 1));
        form->addWidget(txtB[k], row++, 1);
    }
    layout->addLayout(form);

    cmdUnlock = new QPushButton(QStringLiteral("ロック解除"), this);
    cmdNew = new QPushButton(QStringLiteral("新規"), this);
    cmdDelete = new QPushButton(QStringLiteral("削除"), this);
    cmdUpdate = new QPushButton(QStringLiteral("更新"), this);
    cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdUnlock, cmdNew, cmdDelete, cmdUpdate})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(cmdUnlock, &QPushButton::clicked, this, &frmMst::cmdUnlock_Click);
    connect(cmdNew, &QPushButton::clicked, this, &frmMst::cmdNew_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmMst::cmdDelete_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmMst::cmdUpdate_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(cboNo, &QComboBox::activated, this, [this](int index) { cboNo_Choose(cboNo->itemText(index)); });

    editor_.open();
    push();
}

void frmMst::pull() {
    MasterFields& f = editor_.fields;
    f.number = cboNo->currentText();
    if (txtHenkan)
        f.henkan = txtHenkan->text();
    if (txtNaiyo)
        f.values[0] = txtNaiyo->toPlainText();
    for (int k = 0; k < 5; ++k)
        f.spares[k] = txtB[k]->text();
}

void frmMst::push() {
    const MasterFields& f = editor_.fields;
    {
        const QSignalBlocker block(cboNo);
        cboNo->clear();
        cboNo->addItems(editor_.numberList());
        cboNo->setEditText(f.number);
    }
    cboNo->setEnabled(editor_.mode() == MasterEditor::Mode::Normal);
    if (editor_.kind().symbols) {
        for (int k = 0; k < 6; ++k) {
            txtEhj[k]->setText(f.values[k]);
            picEhj[k]->showCode(f.values[k]);
        }
    }
    if (txtHenkan)
        txtHenkan->setText(f.henkan);
    if (txtNaiyo) {
        txtNaiyo->setPlainText(f.values[0]);
        txtNaiyo->setEnabled(!editor_.locked());
    }
    txtUpd->setText(f.upd);
    for (int k = 0; k < 5; ++k) {
        txtB[k]->setText(f.spares[k]);
        txtB[k]->setEnabled(!editor_.locked());
    }
    lblMode->setText(editor_.modeText());
    lblLock->setText(editor_.locked() ? QStringLiteral("ロック中") : QStringLiteral("ロック解除"));
}

void frmMst::cmdUnlock_Click() {
    pull();
    editor_.unlock();
    push();
}

void frmMst::cmdNew_Click() {
    pull();
    editor_.newSet();
    push();
}

void frmMst::cmdDelete_Click() {
    pull();
    editor_.deleteSet();
    push();
}

void frmMst::cmdUpdate_Click() {
    pull();
    editor_.save();
    push();
}

void frmMst::cboNo_Choose(const QString& number) {
    pull();
    editor_.choose(number);
    push();
}

void frmMst::picEhj_DblClick(int position) {
    pull();
    editor_.removeSymbol(position);
    push();
}

void frmMst::palette_DblClick(const QString& code) {
    pull();
    editor_.pickSymbol(code);
    push();
}

} // namespace kemnoa::care_masters
