#include "core/error.h"
#include "core/file_helpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa::core;

namespace {

void touch(const QString& path, const QByteArray& content = "x") {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(FileHelpers, CountsAndFindsByExtensionCaseInsensitively) {
    QTemporaryDir d;
    touch(d.filePath(QStringLiteral("ORD2.MDB")));
    touch(d.filePath(QStringLiteral("ORD1.mdb")));
    touch(d.filePath(QStringLiteral("x.txt")));
    touch(d.filePath(QStringLiteral("ORD0.err")));
    QDir(d.path()).mkdir(QStringLiteral("sub.mdb"));
    touch(d.filePath(QStringLiteral("sub.mdb/ORD9.mdb")));
    const QString folder = d.path() + QLatin1Char('/');
    EXPECT_EQ(MF_FileCount(folder, QStringLiteral("mdb")), 2);
    EXPECT_EQ(MF_FileCount(folder, QStringLiteral("MDB")), 2);
    EXPECT_EQ(MF_FirstFileByExt(folder, QStringLiteral("mdb")), d.filePath(QStringLiteral("ORD1.mdb")));
    EXPECT_EQ(MF_FirstFileByExt(folder, QStringLiteral("xls")), QString());
    EXPECT_THROW(MF_FileCount(d.filePath(QStringLiteral("missing/")), QStringLiteral("mdb")), Error);
}

TEST(FileHelpers, ExtChangeReplacesOrKeepsTheTarget) {
    QTemporaryDir d;
    const QString src = d.filePath(QStringLiteral("ORD1.mdb"));
    const QString err = d.filePath(QStringLiteral("ORD1.err"));
    touch(src, "new");
    touch(err, "old");
    MF_ExtChange(src, QStringLiteral("err"), false);
    EXPECT_TRUE(QFile::exists(src));
    EXPECT_EQ(contentOf(err), QByteArray("old"));
    MF_ExtChange(src, QStringLiteral("err"), true);
    EXPECT_FALSE(QFile::exists(src));
    EXPECT_EQ(contentOf(err), QByteArray("new"));
    // A name with several dots loses only its last extension.
    const QString dotted = d.filePath(QStringLiteral("ORD.2024.mdb"));
    touch(dotted);
    MF_ExtChange(dotted, QStringLiteral("err"), true);
    EXPECT_TRUE(QFile::exists(d.filePath(QStringLiteral("ORD.2024.err"))));
}

TEST(FileHelpers, ExtChangeDeletesNothingUnlessTheSourceIsAnotherFile) {
    struct Case {
        const char* what;
        const char* source; // the file passed in; nullptr: it does not exist
        bool overwrite;
        long error; // expected error number, 0 for none
    };
    const Case cases[] = {
        {"missing source, replacing", nullptr, true, errnum::FileNotFound},
        {"the file's own extension, replacing", "ORD1.err", true, 0},
        {"the file's own extension, keeping", "ORD1.err", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir d;
        const QString err = d.filePath(QStringLiteral("ORD1.err"));
        touch(err, "older");
        const QString path =
            c.source ? d.filePath(QString::fromLatin1(c.source)) : d.filePath(QStringLiteral("ORD1.mdb"));
        long number = 0;
        try {
            MF_ExtChange(path, QStringLiteral("err"), c.overwrite);
        } catch (const Error& e) {
            number = e.number();
        }
        EXPECT_EQ(number, c.error);
        EXPECT_EQ(contentOf(err), QByteArray("older"));
        EXPECT_EQ(QDir(d.path()).entryList(QDir::Files), QStringList{QStringLiteral("ORD1.err")});
    }
}

TEST(FileHelpers, FolderMakeCreatesOnlyTheLastLevel) {
    QTemporaryDir d;
    MF_FolderMake(d.filePath(QStringLiteral("PO123/")));
    EXPECT_TRUE(QFileInfo(d.filePath(QStringLiteral("PO123"))).isDir());
    MF_FolderMake(d.filePath(QStringLiteral("PO123"))); // exists already: nothing happens
    EXPECT_THROW(MF_FolderMake(d.filePath(QStringLiteral("a/b"))), Error);
}

TEST(FileHelpers, ByteLenAndCircledNumbers) {
    EXPECT_EQ(MF_ByteLen(QStringLiteral("ABCあ")), QStringLiteral("5"));
    EXPECT_EQ(MF_ByteLen(QString()), QStringLiteral("0"));
    struct Case {
        qint32 n;
        QString text;
    };
    const Case cases[] = {{3, QStringLiteral("③")}, {1, QStringLiteral("①")}, {20, QStringLiteral("⑳")},
                          {21, QString()},          {0, QStringLiteral("0")}, {-4, QStringLiteral("-4")}};
    for (const auto& c : cases)
        EXPECT_EQ(MF_MaruSuji(c.n), c.text) << c.n;
}

} // namespace
