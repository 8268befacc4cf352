#include "core/ui/frm_splash.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace kemnoa::core::ui {

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen) {
    lblTitle = new QLabel(QStringLiteral("処理中..."), this);
    lblStatus = new QLabel(this);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblTitle->setAlignment(Qt::AlignCenter);
    lblStatus->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(lblTitle);
    layout->addWidget(lblStatus);
    setMinimumWidth(360);
}

void frmSplash::MP_TitleSet(const QString& i_Status) {
    lblTitle->setText(i_Status);
    repaintNow();
}

void frmSplash::MP_Set(const QString& i_Status) {
    lblStatus->setText(i_Status);
    if (!isVisible())
        show();
    repaintNow();
}

void frmSplash::MP_End() {
    close();
}

void frmSplash::repaintNow() {
    if (!isVisible())
        return;
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace kemnoa::core::ui
