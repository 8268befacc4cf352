// kemnoa-cli lzh: the operator's commands on real archives.

#include "archive_tools.h"
#include "platform/lzh/lzh_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class LzhCli : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp_.isValid()); }
    CliRun cli(const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(tmp_.path());
        p.start(QStringLiteral(KEMNOA_CLI_PATH), QStringList{QStringLiteral("lzh")} + args);
        CliRun r;
        if (!p.waitForFinished(-1))
            return r;
        r.exitCode = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    void put(const QString& name, const QByteArray& data) {
        QFile f(tmp_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QByteArray get(const QString& name) {
        QFile f(tmp_.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir tmp_;
};

TEST_F(LzhCli, AddListTestExtract) {
    put(QStringLiteral("po.xml"), QByteArray("<PO>受注</PO>\n").repeated(500));
    put(QStringLiteral("label.pdf"), "%PDF-1.4");
    ASSERT_EQ(cli({QStringLiteral("a"), QStringLiteral("x.lzh"), QStringLiteral("label.pdf"),
                   QStringLiteral("po.xml")})
                  .exitCode,
              0);

    const CliRun l = cli({QStringLiteral("l"), QStringLiteral("x.lzh")});
    EXPECT_EQ(l.exitCode, 0);
    EXPECT_TRUE(l.out.contains(QLatin1String("-lh5-")) && l.out.contains(QLatin1String("po.xml")))
        << l.out.toStdString();
    EXPECT_TRUE(l.out.indexOf(QLatin1String("label.pdf")) < l.out.indexOf(QLatin1String("po.xml")));

    EXPECT_EQ(cli({QStringLiteral("t"), QStringLiteral("x.lzh")}).exitCode, 0);

    const QByteArray xml = get(QStringLiteral("po.xml"));
    ASSERT_TRUE(QFile::remove(tmp_.filePath(QStringLiteral("po.xml"))));
    const CliRun x = cli({QStringLiteral("x"), QStringLiteral("x.lzh")});
    EXPECT_EQ(x.exitCode, 0) << x.err.toStdString();
    EXPECT_EQ(get(QStringLiteral("po.xml")), xml);

    KEMNOA_EXPECT_LHA_TOOLS_ACCEPT(
        tmp_.filePath(QStringLiteral("x.lzh")),
        {{QStringLiteral("label.pdf"), "%PDF-1.4"}, {QStringLiteral("po.xml"), xml}},
        tmp_.filePath(QStringLiteral("check")));
}

TEST_F(LzhCli, AddingKeepsOtherMembersAndReplacesSameNames) {
    put(QStringLiteral("a.xml"), "first a");
    put(QStringLiteral("b.xml"), "first b");
    ASSERT_EQ(
        cli({QStringLiteral("a"), QStringLiteral("x.lzh"), QStringLiteral("a.xml"), QStringLiteral("b.xml")})
            .exitCode,
        0);
    put(QStringLiteral("b.xml"), "second b");
    put(QStringLiteral("c.pdf"), "c");
    ASSERT_EQ(
        cli({QStringLiteral("a"), QStringLiteral("x.lzh"), QStringLiteral("b.xml"), QStringLiteral("c.pdf")})
            .exitCode,
        0);

    QStringList names;
    for (const auto& m : kemnoa::lzh::testArchive(tmp_.filePath(QStringLiteral("x.lzh"))))
        names << m.name;
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("a.xml"), QStringLiteral("b.xml"), QStringLiteral("c.pdf")}));
    const QString out = tmp_.filePath(QStringLiteral("out"));
    kemnoa::lzh::extractArchive(tmp_.filePath(QStringLiteral("x.lzh")), out);
    EXPECT_EQ(get(QStringLiteral("out/b.xml")), QByteArray("second b"));
    KEMNOA_EXPECT_LHA_TOOLS_ACCEPT(tmp_.filePath(QStringLiteral("x.lzh")),
                                   {{QStringLiteral("a.xml"), "first a"},
                                    {QStringLiteral("b.xml"), "second b"},
                                    {QStringLiteral("c.pdf"), "c"}},
                                   tmp_.filePath(QStringLiteral("check")));
}

TEST_F(LzhCli, DamagedArchiveFails) {
    put(QStringLiteral("po.xml"), QByteArray("<PO>0012345</PO>\n").repeated(300));
    ASSERT_EQ(cli({QStringLiteral("a"), QStringLiteral("x.lzh"), QStringLiteral("po.xml")}).exitCode, 0);
    QByteArray bytes = get(QStringLiteral("x.lzh"));
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x55);
    put(QStringLiteral("x.lzh"), bytes);
    const CliRun t = cli({QStringLiteral("t"), QStringLiteral("x.lzh")});
    EXPECT_EQ(t.exitCode, 1);
    EXPECT_FALSE(t.err.isEmpty());
}

TEST_F(LzhCli, UsageErrors) {
    for (const QStringList& args :
         {QStringList{}, QStringList{QStringLiteral("a"), QStringLiteral("x.lzh")},
          QStringList{QStringLiteral("q"), QStringLiteral("x.lzh")},
          QStringList{QStringLiteral("l"), QStringLiteral("x.lzh"), QStringLiteral("more")}}) {
        EXPECT_EQ(cli(args).exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
    }
}

TEST_F(LzhCli, MissingFileFailsWithoutAnArchive) {
    const CliRun r = cli({QStringLiteral("a"), QStringLiteral("x.lzh"), QStringLiteral("missing.pdf")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(tmp_.filePath(QStringLiteral("x.lzh"))));
}

} // namespace
