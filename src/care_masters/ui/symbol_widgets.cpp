#include "care_masters/ui/symbol_widgets.h"

#include "care_masters/care_symbols.h"

#include <QImage>
#include <QMouseEvent>

namespace kemnoa::care_masters {

QPixmap symbolPixmap(const QString& code, int size) {
    const QString file = code.isEmpty() ? QString() : existingSymbolPicture(code);
    if (file.isEmpty())
        return {};
    const QImage image(file);
    if (image.isNull())
        return {};
    return QPixmap::fromImage(image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

PictureBox::PictureBox(int size, QWidget* parent) : QLabel(parent), size_(size) {
    setFixedSize(size + 4, size + 4);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Box);
}

void PictureBox::showCode(const QString& code) {
    const QPixmap pixmap = symbolPixmap(code, size_);
    if (pixmap.isNull())
        clear();
    else
        setPixmap(pixmap);
}

bool PictureBox::hasPicture() const {
    return !pixmap().isNull();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    Q_EMIT doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

SymbolPalette::SymbolPalette(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::IconMode);
    setIconSize(QSize(48, 48));
    setGridSize(QSize(56, 56));
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    for (const QString& code : paletteCodes()) {
        auto* item = new QListWidgetItem(this);
        item->setData(Qt::UserRole, code);
        item->setToolTip(code);
        const QPixmap pixmap = symbolPixmap(code, 48);
        if (!pixmap.isNull())
            item->setIcon(QIcon(pixmap));
        else
            item->setText(code); // no picture file: the code stands in its place
    }
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        Q_EMIT symbolDoubleClicked(item->data(Qt::UserRole).toString());
    });
}

QListWidgetItem* SymbolPalette::itemOf(const QString& code) const {
    for (int i = 0; i < count(); ++i)
        if (item(i)->data(Qt::UserRole).toString() == code)
            return item(i);
    return nullptr;
}

} // namespace kemnoa::care_masters
