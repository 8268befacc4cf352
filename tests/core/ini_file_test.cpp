#include "core/error.h"
#include "core/ini_file.h"
#include "platform/text/cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

using kemnoa::core::clsIniFile;
using kemnoa::text::toCp932;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void write(const QByteArray& bytes) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void writeText(const QString& text) { write(toCp932(text)); }
    QByteArray read() {
        QFile f(path());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    QString path() const { return dir.filePath(QStringLiteral("kemnoa.ini")); }
    clsIniFile ini(const QString& section) {
        clsIniFile i;
        i.setFileName(path());
        i.setSection(section);
        return i;
    }
    QTemporaryDir dir;
};

TEST_F(IniFileTest, ReadsValuesWithDefaultsForMissingAndEmpty) {
    writeText(
        QStringLiteral("[SQLKEM_DB]\r\nSERVER_NM=\r\nDB_NM = kemdb \r\nCONECT_TIMEOUT=30\r\n"
                       "[fenlowen1]\r\nTAG_ENV=\"C:\\Program Files\\x\"\r\nPRINTER_NM=検品用プリンタ\r\n"));
    auto i = ini(QStringLiteral("SQLKEM_DB"));
    EXPECT_EQ(i.GetString(QStringLiteral("SERVER_NM"), QStringLiteral("x")), QStringLiteral("x"));
    EXPECT_EQ(i.GetString(QStringLiteral("MISSING"), QStringLiteral("x")), QStringLiteral("x"));
    EXPECT_EQ(i.GetString(QStringLiteral("db_nm"), QString()), QStringLiteral("kemdb"));
    EXPECT_EQ(i.GetInteger(QStringLiteral("CONECT_TIMEOUT"), 0), 30);
    EXPECT_EQ(i.GetInteger(QStringLiteral("MISSING"), 0), 0);
    i.setSection(QStringLiteral("fenlowen1"));
    EXPECT_EQ(i.GetString(QStringLiteral("TAG_ENV"), QString()), QStringLiteral("C:\\Program Files\\x"));
    const QString jp = i.GetString(QStringLiteral("PRINTER_NM"), QString());
    EXPECT_EQ(jp, QStringLiteral("検品用プリンタ"));
    EXPECT_FALSE(jp.contains(QChar(0)));
}

TEST_F(IniFileTest, GetIntegerTakesLeadingDigits) {
    writeText(QStringLiteral("[S]\r\nA=45abc\r\nB=abc\r\nC=\r\nD=-7\r\n"));
    auto i = ini(QStringLiteral("S"));
    EXPECT_EQ(i.GetInteger(QStringLiteral("A"), 9), 45);
    EXPECT_EQ(i.GetInteger(QStringLiteral("B"), 9), 0);
    EXPECT_EQ(i.GetInteger(QStringLiteral("C"), 9), 9);
    EXPECT_EQ(i.GetInteger(QStringLiteral("D"), 9), 0);
}

TEST_F(IniFileTest, MissingFileReadsAsEmpty) {
    auto i = ini(QStringLiteral("S"));
    EXPECT_EQ(i.GetString(QStringLiteral("K"), QStringLiteral("d")), QStringLiteral("d"));
    QStringList list{QStringLiteral("kept")};
    EXPECT_EQ(i.EmnumSection(list), 0);
    EXPECT_EQ(list, QStringList{QStringLiteral("kept")});
}

TEST_F(IniFileTest, InvalidBytesAreAnError) {
    write(QByteArray("[S]\r\nK=\x82\r\n"));
    auto i = ini(QStringLiteral("S"));
    EXPECT_THROW(i.GetString(QStringLiteral("K"), QString()), kemnoa::core::Error);
}

// A byte that is not code page 932 fails a read only when it stands in the section header or the
// line of the key that is read, and the error names the line; anywhere else it is left alone.
TEST_F(IniFileTest, InvalidBytesFailOnlyTheReadsThatUseTheirLine) {
    struct Case {
        const char* name;
        QByteArray file;
        int failingLine; // 0: the read succeeds with "v"
    };
    const std::vector<Case> cases = {
        {"comment", "; \x82 note\r\n[S]\r\nK=v\r\n", 0},
        {"comment in the section", "[S]\r\n;\xFF\r\nK=v\r\n", 0},
        {"other key of the section", "[S]\r\nX=\x82\r\nK=v\r\n", 0},
        {"other section", "[T\xA0]\r\nK=\x82\r\n[S]\r\nK=v\r\n", 0},
        {"section after the one read", "[S]\r\nK=v\r\n[\x82\x20]\r\n", 0},
        {"value read", "[S]\r\nX=1\r\nK=\x82\r\n", 3},
        {"key read", "[S]\r\nK\x80=v\r\n", 2},
        {"header of the section read", "\r\n[S\xFF]\r\nK=v\r\n", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write(c.file);
        auto i = ini(QStringLiteral("S"));
        if (c.failingLine == 0) {
            EXPECT_EQ(i.GetString(QStringLiteral("K"), QString()), QStringLiteral("v"));
            continue;
        }
        try {
            i.GetString(QStringLiteral("K"), QString());
            ADD_FAILURE() << "read without error";
        } catch (const kemnoa::core::Error& e) {
            // The line, then the file and the section where it stands.
            EXPECT_TRUE(e.text().startsWith(
                QStringLiteral("設定ファイルの%1行目に不正な文字があります。\r\n").arg(c.failingLine)))
                << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(QStringLiteral(".ini section [S"))) << e.text().toStdString();
        }
        EXPECT_THROW(i.GetInteger(QStringLiteral("K"), 0), kemnoa::core::Error);
    }
}

TEST_F(IniFileTest, ListsAndWritesMeetInvalidBytesOnlyWhereTheyReadThem) {
    const QByteArray original("; \x82\r\n[A]\r\nX=1\r\n[B]\r\nY=\x82\r\n");
    write(original);
    auto a = ini(QStringLiteral("A"));
    QStringList lines;
    EXPECT_EQ(a.EnumSectionString(lines), 1);
    EXPECT_EQ(lines, QStringList{QStringLiteral("X=1")});
    QStringList sections;
    EXPECT_EQ(a.EmnumSection(sections), 2);
    // Writing elsewhere keeps the bad bytes as they were.
    EXPECT_TRUE(a.SetString(QStringLiteral("X"), QStringLiteral("2")));
    EXPECT_EQ(read(), QByteArray("; \x82\r\n[A]\r\nX=2\r\n[B]\r\nY=\x82\r\n"));
    auto b = ini(QStringLiteral("B"));
    lines.clear();
    EXPECT_THROW(b.EnumSectionString(lines), kemnoa::core::Error);
    // The key whose line is bad is not written past it.
    EXPECT_FALSE(b.SetString(QStringLiteral("Y"), QStringLiteral("3")));
    write("[\x82]\r\n");
    sections.clear();
    EXPECT_THROW(a.EmnumSection(sections), kemnoa::core::Error);
}

TEST_F(IniFileTest, EnumeratesSectionsAndLines) {
    writeText(
        QStringLiteral("[SQLKEM_DB]\r\nA=1\r\n; note\r\nB=二\r\n\r\n[OFFICE_DB]\r\n[PO_DB]\r\nC=3\r\n"));
    auto i = ini(QStringLiteral("SQLKEM_DB"));
    QStringList sections;
    EXPECT_EQ(i.EmnumSection(sections), 3);
    EXPECT_EQ(sections, (QStringList{QStringLiteral("SQLKEM_DB"), QStringLiteral("OFFICE_DB"),
                                     QStringLiteral("PO_DB")}));
    QStringList lines;
    EXPECT_EQ(i.EnumSectionString(lines), 2);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("A=1"), QStringLiteral("B=二")}));
}

TEST_F(IniFileTest, WritesKeepOtherLinesByteForByte) {
    // A comment in code page 932 with a character that has two Unicode spellings must come back unchanged.
    const QByteArray original = QByteArray("; \x87\x90 comment\r\n[A]\r\nX=1\r\n\r\n[B]\r\nY=2");
    write(original);
    auto i = ini(QStringLiteral("A"));
    EXPECT_TRUE(i.SetString(QStringLiteral("X"), QStringLiteral("新しい値")));
    EXPECT_TRUE(i.SetString(QStringLiteral("Z"), QStringLiteral("3")));
    i.setSection(QStringLiteral("B"));
    EXPECT_TRUE(i.SetString(QStringLiteral("W"), QStringLiteral("4")));
    i.setSection(QStringLiteral("C"));
    EXPECT_TRUE(i.SetString(QStringLiteral("V"), QStringLiteral("5")));
    EXPECT_EQ(read(), QByteArray("; \x87\x90 comment\r\n[A]\r\nX=") +
                          QByteArray("\x90\x56\x82\xB5\x82\xA2\x92\x6C") /* 新しい値 */ +
                          QByteArray("\r\nZ=3\r\n\r\n[B]\r\nY=2\r\nW=4\r\n[C]\r\nV=5\r\n"));
    i.setSection(QStringLiteral("A"));
    EXPECT_EQ(i.GetString(QStringLiteral("X"), QString()), QStringLiteral("新しい値"));
}

TEST_F(IniFileTest, AUtf8FileKeepsItsMarkAndEncodingWhenAKeyIsWritten) {
    // An editor's UTF-8 file with a byte order mark; read as code page 932 its text would change.
    const QByteArray before = QByteArray("\xEF\xBB\xBF[FTP]\nHostMei=") + QStringLiteral("受信").toUtf8() +
                              QByteArray("\n[PO_FILE]\nFOLDER=") + QStringLiteral("Ｄ：＼発注").toUtf8() +
                              QByteArray("\n");
    write(before);
    clsIniFile ftp = ini(QStringLiteral("FTP"));
    ASSERT_TRUE(ftp.SetString(QStringLiteral("UserMei"), QStringLiteral("担当")));
    ASSERT_TRUE(ini(QStringLiteral("NEW")).SetString(QStringLiteral("K"), QStringLiteral("値")));

    const QByteArray after = read();
    EXPECT_TRUE(after.startsWith(before.left(before.indexOf("\n[PO_FILE]"))));
    EXPECT_EQ(after.count("\xEF\xBB\xBF"), 1);
    EXPECT_EQ(ftp.GetString(QStringLiteral("HostMei"), {}), QStringLiteral("受信"));
    EXPECT_EQ(ftp.GetString(QStringLiteral("UserMei"), {}), QStringLiteral("担当"));
    EXPECT_EQ(ini(QStringLiteral("PO_FILE")).GetString(QStringLiteral("FOLDER"), {}),
              QStringLiteral("Ｄ：＼発注"));
    EXPECT_EQ(ini(QStringLiteral("NEW")).GetString(QStringLiteral("K"), {}), QStringLiteral("値"));
}

TEST_F(IniFileTest, ANewSectionAfterALastLineEndingInALoneCrStartsOnItsOwnLine) {
    write("[A]\r\nX=1\r");
    ASSERT_TRUE(ini(QStringLiteral("B")).SetString(QStringLiteral("Y"), QStringLiteral("2")));
    EXPECT_EQ(read(), QByteArray("[A]\r\nX=1\r\n[B]\r\nY=2\r\n"));
    EXPECT_EQ(ini(QStringLiteral("B")).GetString(QStringLiteral("Y"), {}), QStringLiteral("2"));
    EXPECT_EQ(ini(QStringLiteral("A")).GetString(QStringLiteral("X"), {}), QStringLiteral("1"));
}

TEST_F(IniFileTest, SetStringCreatesTheFileAndReportsAFailedWrite) {
    auto i = ini(QStringLiteral("S"));
    EXPECT_TRUE(i.SetString(QStringLiteral("K"), QStringLiteral("v")));
    EXPECT_EQ(read(), QByteArray("[S]\r\nK=v\r\n"));

    // A file that cannot be written, even by root: its folder is a file.
    clsIniFile blocked;
    blocked.setFileName(path() + QStringLiteral("/kemnoa.ini"));
    blocked.setSection(QStringLiteral("S"));
    EXPECT_FALSE(blocked.SetString(QStringLiteral("K"), QStringLiteral("w")));

    // A read-only file, where permissions bind (not for root).
    QFile::setPermissions(path(), QFile::ReadOwner);
    if (!QFileInfo(path()).isWritable()) {
        EXPECT_FALSE(i.SetString(QStringLiteral("K"), QStringLiteral("w")));
    }
    EXPECT_EQ(i.GetString(QStringLiteral("K"), QString()), QStringLiteral("v"));
}

TEST_F(IniFileTest, DeletesKeysAndSections) {
    writeText(QStringLiteral("[A]\r\nX=1\r\nY=2\r\n[B]\r\nZ=3\r\n[C]\r\nW=4\r\n"));
    auto i = ini(QStringLiteral("A"));
    i.DeleteKeyName(QStringLiteral("X"));
    EXPECT_EQ(i.GetString(QStringLiteral("X"), QStringLiteral("gone")), QStringLiteral("gone"));
    EXPECT_EQ(i.GetString(QStringLiteral("Y"), QString()), QStringLiteral("2"));
    QString named = QStringLiteral("C");
    i.DeleteSection(named);
    i.setSection(QStringLiteral("B"));
    QString current;
    i.DeleteSection(current);
    EXPECT_EQ(current, QStringLiteral("B"));
    QStringList sections;
    EXPECT_EQ(i.EmnumSection(sections), 1);
    EXPECT_EQ(sections, QStringList{QStringLiteral("A")});
}

TEST_F(IniFileTest, LongValuesAreCutAtTheBufferKeepingDoubleByteCharactersWhole) {
    const QString longValue = QString(20000, QChar(u'あ')); // 40000 bytes
    writeText(QStringLiteral("[S]\r\nK=") + longValue + QStringLiteral("\r\n"));
    const QString got = ini(QStringLiteral("S")).GetString(QStringLiteral("K"), QString());
    EXPECT_EQ(got.size(), (clsIniFile::BufferSize - 1) / 2);
    EXPECT_EQ(got, QString(got.size(), QChar(u'あ')));
}

TEST(PfSplit, StopsAtFirstEmptyEntry) {
    QStringList out;
    const QString list = QStringLiteral("a") + QChar(0) + QStringLiteral("bc") + QChar(0) + QChar(0) +
                         QStringLiteral("d") + QChar(0);
    EXPECT_EQ(kemnoa::core::PF_Split(list, out), 2);
    EXPECT_EQ(out, (QStringList{QStringLiteral("a"), QStringLiteral("bc")}));
    QStringList none;
    EXPECT_EQ(kemnoa::core::PF_Split(QString(QChar(0)), none), 0);
}

} // namespace
