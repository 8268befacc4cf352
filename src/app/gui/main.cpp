// kemnoa: the order office's desktop program.

#include "core/program_folder.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kemnoa"));
    QApplication::setApplicationVersion(QStringLiteral(KEMNOA_VERSION));
    QLabel label(QStringLiteral("ケムノア専用海外発注システム"));
    label.show();
    return app.exec();
}
