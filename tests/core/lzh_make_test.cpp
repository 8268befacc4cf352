// MF_LzhMake: the PO archive of a folder's PDF and XML files, checked with our reader and with lhasa.

#include "archive_tools.h"
#include "core/error.h"
#include "core/lzh_make.h"
#include "platform/lzh/lzh_files.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

class LzhMake : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        root_ = QDir(tmp_.path());
        root_.mkpath(QStringLiteral("PO/0012345"));
        src_ = root_.filePath(QStringLiteral("PO/0012345")) + QLatin1Char('/');
        dest_ = root_.filePath(QStringLiteral("PO")); // without the separator on purpose
    }
    void put(const QString& name, const QByteArray& data) {
        QFile f(src_ + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QString archive() const { return root_.filePath(QStringLiteral("PO/0012345.lzh")); }
    int run(QString& message) {
        QString dest = dest_;
        const int rc = core::MF_LzhMake(src_, dest, QStringLiteral("0012345.lzh"), message);
        EXPECT_EQ(dest, dest_ + QLatin1Char('/')); // the caller's folder gains its separator
        return rc;
    }
    QStringList names() const {
        QStringList n;
        for (const auto& m : lzh::testArchive(archive()))
            n << m.name;
        return n;
    }
    QByteArray extracted(const QString& name) {
        const QString out = root_.filePath(QStringLiteral("out"));
        QDir(out).removeRecursively();
        lzh::extractArchive(archive(), out);
        QFile f(QDir(out).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir tmp_;
    QDir root_;
    QString src_;
    QString dest_;
};

TEST_F(LzhMake, PacksPdfFilesFirstThenXmlInAnyCase) {
    put(QStringLiteral("0012345-2.PDF"), "%PDF-1.4 second");
    put(QStringLiteral("0012345-1.pdf"), "%PDF-1.4 first");
    put(QStringLiteral("0012345.xml"), "<PO no=\"0012345\"/>");
    put(QStringLiteral("extra.XML"), "<x/>");
    put(QStringLiteral("PO.0012345.xls"), "workbook");
    put(QStringLiteral("notes.pdf.txt"), "not a pdf");
    QDir(src_).mkpath(QStringLiteral("sub.pdf"));

    QString message = QStringLiteral("stale");
    ASSERT_EQ(run(message), core::lzhmake::Done) << message.toStdString();
    EXPECT_TRUE(message.isEmpty());
    EXPECT_EQ(names(), (QStringList{QStringLiteral("0012345-1.pdf"), QStringLiteral("0012345-2.PDF"),
                                    QStringLiteral("0012345.xml"), QStringLiteral("extra.XML")}));
    EXPECT_EQ(extracted(QStringLiteral("0012345-2.PDF")), QByteArray("%PDF-1.4 second"));

    KEMNOA_EXPECT_LHA_TOOLS_ACCEPT(archive(),
                                   {{QStringLiteral("0012345-1.pdf"), "%PDF-1.4 first"},
                                    {QStringLiteral("0012345-2.PDF"), "%PDF-1.4 second"},
                                    {QStringLiteral("0012345.xml"), "<PO no=\"0012345\"/>"},
                                    {QStringLiteral("extra.XML"), "<x/>"}},
                                   root_.path());
}

TEST_F(LzhMake, FolderWithNothingToPackIsRefusedNamingIt) {
    // Without any PDF or XML there would be no archive, which must not pass for success.
    const struct {
        const char* what;
        const char* file; // the folder's only file; nullptr for none
    } cases[] = {{"empty folder", nullptr}, {"a workbook only", "PO.0012345.xls"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& f : QDir(src_).entryList(QDir::Files))
            QFile::remove(src_ + f);
        if (c.file)
            put(QString::fromLatin1(c.file), "workbook");
        QString message;
        EXPECT_EQ(run(message), core::lzhmake::SourceEmpty);
        EXPECT_EQ(message,
                  QStringLiteral("対象フォルダ(") + src_ + QStringLiteral("）にファイルがありません。"));
        EXPECT_FALSE(QFileInfo::exists(archive()));
    }
}

TEST_F(LzhMake, MissingDestinationFolder) {
    put(QStringLiteral("0012345.xml"), "<PO/>");
    dest_ = root_.filePath(QStringLiteral("nowhere"));
    QString message;
    EXPECT_EQ(run(message), core::lzhmake::DestinationMissing);
    EXPECT_EQ(message, QStringLiteral("保存先フォルダが見つかりません。"));
}

TEST_F(LzhMake, MissingSourceFolderGivesItsErrorNumber) {
    src_ = root_.filePath(QStringLiteral("PO/none/"));
    QString message;
    EXPECT_EQ(run(message), core::errnum::PathNotFound);
    EXPECT_TRUE(message.endsWith(QStringLiteral("(76)"))) << message.toStdString();
}

TEST_F(LzhMake, FolderWithoutPdfGivesXmlOnly) {
    put(QStringLiteral("0012345.xml"), "<PO/>");
    put(QStringLiteral("PO.0012345.xls"), "workbook");
    QString message;
    ASSERT_EQ(run(message), core::lzhmake::Done) << message.toStdString();
    EXPECT_EQ(names(), QStringList{QStringLiteral("0012345.xml")});
}

TEST_F(LzhMake, SecondRunReplacesTheArchive) {
    put(QStringLiteral("0012345-1.pdf"), "%PDF old");
    put(QStringLiteral("0012345.xml"), "<PO version=\"1\"/>");
    QString message;
    ASSERT_EQ(run(message), core::lzhmake::Done);
    ASSERT_TRUE(QFile::remove(src_ + QStringLiteral("0012345-1.pdf")));
    put(QStringLiteral("0012345.xml"), "<PO version=\"2\"/>");
    ASSERT_EQ(run(message), core::lzhmake::Done);
    EXPECT_EQ(names(), QStringList{QStringLiteral("0012345.xml")});
    EXPECT_EQ(extracted(QStringLiteral("0012345.xml")), QByteArray("<PO version=\"2\"/>"));
    KEMNOA_EXPECT_LHA_TOOLS_ACCEPT(archive(), {{QStringLiteral("0012345.xml"), "<PO version=\"2\"/>"}},
                                   root_.path());
}

TEST_F(LzhMake, ArchiveNameMustStayInTheDestinationFolder) {
    put(QStringLiteral("0012345.xml"), "<PO/>");
    for (const QString& name :
         {QStringLiteral("../0012345.lzh"), QStringLiteral("sub/x.lzh"), QStringLiteral("..")}) {
        QString dest = dest_;
        QString message;
        EXPECT_EQ(core::MF_LzhMake(src_, dest, name, message), 52) << name.toStdString();
        EXPECT_TRUE(message.endsWith(QStringLiteral("(52)"))) << message.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(root_.filePath(QStringLiteral("0012345.lzh"))));
}

TEST_F(LzhMake, UnreadableFileFailsWithoutLeavingAnArchive) {
    put(QStringLiteral("0012345.xml"), "<PO/>");
    QString message;
    ASSERT_EQ(run(message), core::lzhmake::Done);
    // A PDF that cannot be opened (a dangling link; permissions do not stop root).
    ASSERT_TRUE(QFile::link(src_ + QStringLiteral("gone.pdf"), src_ + QStringLiteral("0012345-1.pdf")));
    EXPECT_EQ(run(message), core::errnum::PathFileAccess);
    EXPECT_TRUE(message.endsWith(QStringLiteral("(75)"))) << message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(archive()));
}

} // namespace
