#pragma once
// The progress window shown around long work: a title and a status text.

#include <QWidget>

class QLabel;

namespace kemnoa::core::ui {

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    // Sets the title text.
    void MP_TitleSet(const QString& i_Status);
    // Shows the window (not modal) with the status text.
    void MP_Set(const QString& i_Status);
    // Closes the window.
    void MP_End();

    QLabel* lblTitle;
    QLabel* lblStatus;

private:
    void repaintNow();
};

} // namespace kemnoa::core::ui
