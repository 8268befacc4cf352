#pragma once
// Small widgets shared by the care-symbol screens: a picture box that shows a code's picture and
// reports double clicks, and the palette of the 42 symbols.

#include <QLabel>
#include <QListWidget>

namespace kemnoa::care_masters {

// The picture of a symbol code scaled to the size; a null pixmap when the code has no picture file.
QPixmap symbolPixmap(const QString& code, int size);

class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(int size, QWidget* parent = nullptr);
    // Shows the code's picture, or nothing when the code is empty or has no file.
    void showCode(const QString& code);
    bool hasPicture() const;

Q_SIGNALS:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int size_;
};

// The palette: every symbol of the palette, its code as tooltip, its picture when the file exists.
class SymbolPalette : public QListWidget {
    Q_OBJECT
public:
    explicit SymbolPalette(QWidget* parent = nullptr);
    // The item of a code, or nullptr.
    QListWidgetItem* itemOf(const QString& code) const;

Q_SIGNALS:
    void symbolDoubleClicked(const QString& code);
};

} // namespace kemnoa::care_masters
