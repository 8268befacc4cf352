// Qt's own dialog buttons read in Japanese once the program has loaded Qt's translations.

#include "core/ui/qt_translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using namespace kemnoa;

class TestQtTranslations : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void standardButtonsReadInJapanese() {
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                           QStringLiteral("/qtbase_ja.qm")))
            QSKIP("Qt's Japanese translations are not installed (Debian package qt6-translations-l10n)");
        {
            QDialogButtonBox before(QDialogButtonBox::Yes | QDialogButtonBox::No);
            QCOMPARE(before.button(QDialogButtonBox::Yes)->text().remove(QLatin1Char('&')),
                     QStringLiteral("Yes"));
        }
        QVERIFY(core::ui::installQtJapanese(*qApp));

        struct Case {
            QDialogButtonBox::StandardButton button;
            const char* japanese;
        } cases[] = {
            {QDialogButtonBox::Yes, "はい"},
            {QDialogButtonBox::No, "いいえ"},
            {QDialogButtonBox::Cancel, "キャンセル"},
        };
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
        for (const Case& c : cases) {
            const QString text = box.button(c.button)->text();
            QVERIFY2(text.startsWith(QString::fromUtf8(c.japanese)), qPrintable(text));
        }
        // A question box as the program asks it.
        QMessageBox question(QMessageBox::Question, QStringLiteral("確認"), QStringLiteral("削除しますか？"),
                             QMessageBox::Yes | QMessageBox::No);
        QVERIFY(question.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")));
        QVERIFY(question.button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ")));
    }
};

QTEST_MAIN(TestQtTranslations)
#include "qt_translations_test.moc"
