#include "core/ui/window_placement.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>

namespace kemnoa::core::ui {
namespace {

// Closes its window on an Escape that nothing inside the window took: an open cell editor, a
// drop-down list or a dialog's own Escape still comes first.
class EscapeCloses : public QObject {
public:
    explicit EscapeCloses(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
                window_->close();
                return true;
            }
        }
        return false;
    }

private:
    QWidget* window_;
};

} // namespace

void prepareJobWindow(QWidget* window, QScreen* screen) {
    if (!screen) {
        const QWidget* active = QApplication::activeWindow();
        screen = active ? active->screen() : QGuiApplication::primaryScreen();
    }
    // A window that chose its own title-bar buttons still gets the close button.
    if (window->windowFlags() & Qt::CustomizeWindowHint)
        window->setWindowFlag(Qt::WindowCloseButtonHint, true);
    // A window that set no size of its own takes the size its layout asks for.
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    QSize size = window->size();
    if (screen) {
        // The frame (title bar, borders) counts when it is known before the window is shown.
        window->winId();
        const QRect frame = window->frameGeometry();
        const QSize frameExtra = frame.size() - window->geometry().size();
        const QRect area = screen->availableGeometry();
        size = size.boundedTo(area.size() - frameExtra);
        window->setMinimumSize(size);
        window->resize(size);
        QRect placed(QPoint(), size + frameExtra);
        placed.moveCenter(area.center());
        placed.moveTopLeft(QPoint(qMax(area.left(), placed.left()), qMax(area.top(), placed.top())));
        window->move(placed.topLeft()); // move() places the frame
    } else {
        window->setMinimumSize(size);
    }
    new EscapeCloses(window);
}

} // namespace kemnoa::core::ui
