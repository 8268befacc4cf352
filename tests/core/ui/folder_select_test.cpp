// The folder chooser: titled as asked, returns the folder with a trailing separator or nothing.

#include "core/ui/folder_select.h"

#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace kemnoa;

namespace {
void onNextFileDialog(std::function<void(QFileDialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}
} // namespace

class TestFolderSelect : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }
    void chosenFolderEndsInSeparator();
    void cancelGivesNothing();
};

void TestFolderSelect::chosenFolderEndsInSeparator() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("受注")));
    const QString target = QDir(dir.path()).filePath(QStringLiteral("受注"));
    QString title;
    onNextFileDialog([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        dialog->setDirectory(target);
        dialog->selectFile(target);
        QMetaObject::invokeMethod(dialog, &QDialog::accept);
    });
    const QString chosen = core::ui::MF_FolderSelect(nullptr, QStringLiteral("受注MDB Dir:"));
    QCOMPARE(title, QStringLiteral("受注MDB Dir:"));
    QCOMPARE(chosen, target + QDir::separator());
}

void TestFolderSelect::cancelGivesNothing() {
    onNextFileDialog([](QFileDialog* dialog) { dialog->reject(); });
    QVERIFY(core::ui::MF_FolderSelect(nullptr, QStringLiteral("PO Dir:")).isEmpty());
}

QTEST_MAIN(TestFolderSelect)
#include "folder_select_test.moc"
