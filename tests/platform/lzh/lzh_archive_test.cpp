// The archive container: what the headers say, archives of another tool, damaged archives and
// names that try to leave the extraction folder.

#include "archive_tools.h"
#include "platform/lzh/archive_reader.h"
#include "platform/lzh/archive_writer.h"
#include "platform/lzh/lzh_files.h"
#include "platform/lzh/member_header.h"
#include "support/test_env.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

using namespace kemnoa;
using namespace kemnoa::test::lzh;

namespace {

class LzhArchive : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp_.isValid()); }
    QString path(const QString& name) const { return tmp_.filePath(name); }
    QString makeFile(const QString& name, const QByteArray& data) {
        writeFile(path(name), data);
        return path(name);
    }
    QString archiveOf(const QStringList& files, const QString& name = QStringLiteral("a.lzh")) {
        lzh::LzhFileWriter w(path(name));
        for (const QString& f : files)
            w.addFile(f);
        w.commit();
        return path(name);
    }
    QTemporaryDir tmp_;
};

uint32_t le(const QByteArray& b, int at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(b[at + i]);
    return v;
}

TEST_F(LzhArchive, HeaderIsLevelTwoForMsDosWithTimeAndCrc) {
    const QString f = makeFile(QStringLiteral("po.xml"), documentLike(5000, 1));
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000);
    {
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
    const QByteArray a = readFile(archiveOf({f}));
    EXPECT_EQ(a.mid(2, 5), QByteArray("-lh5-"));
    EXPECT_EQ(static_cast<uint8_t>(a[20]), 2); // header level
    EXPECT_EQ(a[23], 'M');                     // MS-DOS
    EXPECT_EQ(le(a, 15, 4), 1700000000u);      // modification time
    EXPECT_EQ(le(a, 11, 4), 5000u);            // original size
    const uint32_t headerSize = le(a, 0, 2);
    EXPECT_EQ(static_cast<uint32_t>(a.size()), headerSize + le(a, 7, 4) + 1); // header, data, end mark
    EXPECT_EQ(a.back(), '\0');

    const auto members = lzh::listArchive(path(QStringLiteral("a.lzh")));
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(members[0].modified, when);
    EXPECT_EQ(members[0].crc, le(a, 21, 2));
    KEMNOA_EXPECT_LHA_TOOLS_ACCEPT(path(QStringLiteral("a.lzh")), {{QStringLiteral("po.xml"), readFile(f)}},
                                   tmp_.path());
}

TEST_F(LzhArchive, HeaderSizeNeverEndsInAZeroByte) {
    // A 217-byte name makes a 256-byte header, whose low size byte would read as the end of the archive.
    const QString name = QString(213, QLatin1Char('n')) + QStringLiteral(".xml");
    const QString f = makeFile(name, QByteArray("<a/>"));
    const QString archive = archiveOf({f, makeFile(QStringLiteral("next.txt"), "x")});
    const QByteArray a = readFile(archive);
    EXPECT_NE(static_cast<uint8_t>(a[0]), 0);
    const auto members = lzh::testArchive(archive);
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0].name, name);
    EXPECT_EQ(members[1].name, QStringLiteral("next.txt"));
    KEMNOA_EXPECT_LHA_TOOLS_ACCEPT(
        archive, {{name, QByteArray("<a/>")}, {QStringLiteral("next.txt"), QByteArray("x")}}, tmp_.path());
}

TEST_F(LzhArchive, ReadsArchivesWrittenByJlhaAtEveryHeaderLevel) {
    if (!test::haveProgram(QStringLiteral("jlha")))
        GTEST_SKIP() << "jlha is not installed";
    QDir(tmp_.path()).mkpath(QStringLiteral("src"));
    const std::vector<std::pair<QString, QByteArray>> files = {
        {QStringLiteral("src/doc.xml"), documentLike(400000, 5)},
        {QStringLiteral("src/one.txt"), QByteArray("1")},
        {QStringLiteral("src/empty.txt"), QByteArray()},
        {QStringLiteral("src/noise.bin"), randomBytes(30000, 9)},
        {QStringLiteral("src/受注データ.xml"), documentLike(20000, 6)},
    };
    QStringList names;
    for (const auto& [n, d] : files) {
        makeFile(n, d);
        names << QFileInfo(n).fileName();
    }
    for (const QString& level : {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}) {
        SCOPED_TRACE(level.toStdString());
        const QString archive = path(QStringLiteral("j") + level + QStringLiteral(".lzh"));
        const ToolResult r =
            runTool(QStringLiteral("jlha"),
                    QStringList{QStringLiteral("a") + level + QLatin1Char('y'), archive} + names,
                    path(QStringLiteral("src")));
        ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
        const auto members = lzh::testArchive(archive);
        ASSERT_EQ(members.size(), files.size());
        const QString out = path(QStringLiteral("out") + level);
        lzh::extractArchive(archive, out);
        for (const auto& [n, d] : files)
            EXPECT_TRUE(readFile(QDir(out).filePath(QFileInfo(n).fileName())) == d) << n.toStdString();
    }
}

// A damaged archive is reported, and the damaged member leaves no file behind.
TEST_F(LzhArchive, DamageIsReportedAsCorrupt) {
    const QByteArray good =
        readFile(archiveOf({makeFile(QStringLiteral("doc.xml"), documentLike(60000, 2))}));
    const int headerSize = static_cast<int>(le(good, 0, 2));
    struct Damage {
        const char* what;
        std::function<QByteArray(QByteArray)> apply;
    };
    const std::vector<Damage> damages = {
        {"data byte flipped",
         [&](QByteArray b) {
             b[headerSize + 2000] = static_cast<char>(b[headerSize + 2000] ^ 0x10);
             return b;
         }},
        // The last byte holding code bits (two padding bytes and the end mark follow it).
        {"last code byte flipped",
         [&](QByteArray b) {
             b[b.size() - 4] = static_cast<char>(b[b.size() - 4] ^ 0x80);
             return b;
         }},
        {"truncated data", [&](QByteArray b) { return b.left(headerSize + 100); }},
        {"truncated header", [&](QByteArray b) { return b.left(10); }},
        {"name byte changed",
         [&](QByteArray b) {
             b[headerSize - 8] = 'Q';
             return b;
         }},
        {"size enlarged",
         [&](QByteArray b) {
             b[11] = static_cast<char>(b[11] + 1);
             return b;
         }},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        const QString bad = path(QStringLiteral("bad.lzh"));
        writeFile(bad, d.apply(good));
        try {
            lzh::testArchive(bad);
            ADD_FAILURE() << "no error";
        } catch (const lzh::LzhError& e) {
            EXPECT_EQ(e.kind(), lzh::LzhError::Kind::Corrupt) << e.what();
        }
        const QString out = path(QStringLiteral("out-") + QLatin1String(d.what));
        EXPECT_THROW(lzh::extractArchive(bad, out), lzh::LzhError);
        EXPECT_FALSE(QFileInfo::exists(QDir(out).filePath(QStringLiteral("doc.xml"))));
    }
}

TEST_F(LzhArchive, ArchiveCutShortBetweenMembersIsNotTakenForComplete) {
    const QByteArray good = readFile(archiveOf(
        {makeFile(QStringLiteral("a.xml"), documentLike(5000, 3)), makeFile(QStringLiteral("b.xml"), "b")}));
    const int first = static_cast<int>(le(good, 0, 2) + le(good, 7, 4)); // first header and its data
    for (const QByteArray& cut : {good.left(first), good.left(good.size() - 1), QByteArray()}) {
        SCOPED_TRACE(cut.size());
        const QString bad = path(QStringLiteral("cut.lzh"));
        writeFile(bad, cut);
        try {
            lzh::listArchive(bad);
            ADD_FAILURE() << "no error";
        } catch (const lzh::LzhError& e) {
            EXPECT_EQ(e.kind(), lzh::LzhError::Kind::Corrupt) << e.what();
        }
        EXPECT_THROW(lzh::testArchive(bad), lzh::LzhError);
    }
    // Only the end mark: an empty archive.
    writeFile(path(QStringLiteral("empty.lzh")), QByteArray(1, '\0'));
    EXPECT_TRUE(lzh::listArchive(path(QStringLiteral("empty.lzh"))).empty());
}

// A header may declare any size; a tiny archive declaring a huge member is refused before anything
// is decoded or written, by the test as by the extraction.
TEST_F(LzhArchive, AbsurdDeclaredSizesAreRefusedBeforeWriting) {
    const QByteArray good = readFile(archiveOf({makeFile(QStringLiteral("doc.xml"), documentLike(3000, 3))}));
    const int headerSize = static_cast<int>(le(good, 0, 2));
    const QByteArray data = good.mid(headerSize, static_cast<int>(le(good, 7, 4)));
    const struct {
        const char* what;
        uint64_t originalSize;
    } cases[] = {{"500 MB from a few hundred bytes", 500u << 20}, {"beyond 1 GiB", (uint64_t{1} << 30) + 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        lzh::MemberHeader h;
        h.method = "-lh5-";
        h.packedSize = static_cast<uint64_t>(data.size());
        h.originalSize = c.originalSize;
        h.name = "big.bin";
        const std::vector<uint8_t> head = lzh::encodeLevel2(h);
        const QByteArray bytes =
            QByteArray(reinterpret_cast<const char*>(head.data()), static_cast<qsizetype>(head.size())) +
            data + QByteArray(1, '\0');
        const QString bomb = path(QStringLiteral("bomb.lzh"));
        writeFile(bomb, bytes);
        try {
            lzh::testArchive(bomb);
            ADD_FAILURE() << "no error";
        } catch (const lzh::LzhError& e) {
            EXPECT_EQ(e.kind(), lzh::LzhError::Kind::Limit) << e.what();
        }
        const QString out = path(QStringLiteral("out"));
        EXPECT_THROW(lzh::extractArchive(bomb, out), lzh::LzhError);
        EXPECT_FALSE(QFileInfo::exists(QDir(out).filePath(QStringLiteral("big.bin"))));
    }
    // Well-compressible data of several megabytes stays within the ratio.
    const QString zeros = makeFile(QStringLiteral("zeros.bin"), QByteArray(8 << 20, '\0'));
    const QString archive = archiveOf({zeros}, QStringLiteral("zeros.lzh"));
    EXPECT_EQ(lzh::extractArchive(archive, path(QStringLiteral("z"))).size(), 1);
}

TEST_F(LzhArchive, ExtractionRefusesNamesOutsideTheFolder) {
    // Older tools separate folders with '\' or 0xFF, and MS-DOS names may carry a drive letter.
    for (const char* name :
         {"../escape.txt", "/tmp/kemnoa-lzh-abs.txt", "sub/../../escape.txt", "..\\escape.txt",
          "sub\\..\\..\\escape.txt", "\\tmp\\kemnoa-lzh-abs.txt",
          "..\xFF..\xFF"
          "escape.txt",
          "\xFFtmp\xFFkemnoa-lzh-abs.txt", "C:\\escape.txt", "C:escape.txt", "c:/tmp/kemnoa-lzh-abs.txt"}) {
        SCOPED_TRACE(name);
        lzh::MemorySink sink;
        lzh::ArchiveWriter w(sink);
        w.addMember(name, 0, [] {
            return std::make_unique<lzh::MemorySource>(reinterpret_cast<const uint8_t*>("x"), 1);
        });
        w.finish();
        const QString archive = path(QStringLiteral("evil.lzh"));
        writeFile(archive, QByteArray(reinterpret_cast<const char*>(sink.bytes.data()),
                                      static_cast<qsizetype>(sink.bytes.size())));
        QDir(tmp_.path()).mkpath(QStringLiteral("deep/out"));
        EXPECT_THROW(lzh::extractArchive(archive, path(QStringLiteral("deep/out"))), lzh::LzhError);
        EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("deep/escape.txt"))));
        EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("escape.txt"))));
        EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/tmp/kemnoa-lzh-abs.txt")));
        EXPECT_TRUE(QDir(path(QStringLiteral("deep/out"))).isEmpty());
    }
}

TEST_F(LzhArchive, ExtractionNeverWritesThroughASymbolicLink) {
    // Links planted in the (shared) folder at a member's name or at a folder on its way.
    QDir(tmp_.path()).mkpath(QStringLiteral("outside"));
    const QString victim = makeFile(QStringLiteral("outside/victim.txt"), "untouched");
    struct Case {
        const char* member;
        const char* link;
        QString pointsTo;
    };
    for (const Case& c : {Case{"ORD1.mdb", "ORD1.mdb", victim},
                          Case{"sub/victim.txt", "sub", path(QStringLiteral("outside"))}}) {
        SCOPED_TRACE(c.member);
        const QString out = path(QStringLiteral("out"));
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        ASSERT_TRUE(QFile::link(c.pointsTo, out + QLatin1Char('/') + QLatin1String(c.link)));
        lzh::MemorySink sink;
        lzh::ArchiveWriter w(sink);
        w.addMember(c.member, 0, [] {
            return std::make_unique<lzh::MemorySource>(reinterpret_cast<const uint8_t*>("evil"), 4);
        });
        w.finish();
        const QString archive = path(QStringLiteral("link.lzh"));
        writeFile(archive, QByteArray(reinterpret_cast<const char*>(sink.bytes.data()),
                                      static_cast<qsizetype>(sink.bytes.size())));
        const QStringList descriptors =
            QDir(QStringLiteral("/proc/self/fd"))
                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        EXPECT_THROW(lzh::extractArchive(archive, out), lzh::LzhError);
        EXPECT_EQ(QDir(QStringLiteral("/proc/self/fd"))
                      .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                  descriptors); // none left open
        QFile f(victim);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("untouched"));
        EXPECT_EQ(QDir(path(QStringLiteral("outside"))).entryList(QDir::Files),
                  QStringList{QStringLiteral("victim.txt")});
    }
}

// A member is written under a private name beside its target and renamed into place: links planted
// at the private names the program would pick are never written through either.
TEST_F(LzhArchive, ExtractionSkipsLinksPlantedAtItsPrivateNames) {
    QDir(tmp_.path()).mkpath(QStringLiteral("outside"));
    const QString victim = makeFile(QStringLiteral("outside/victim.txt"), "untouched");
    const QString out = path(QStringLiteral("out"));
    QDir().mkpath(out);
    for (int n = 1; n <= 50; ++n)
        ASSERT_TRUE(QFile::link(
            victim,
            out + QStringLiteral("/ORD1.mdb.kemnoa-%1-%2").arg(QCoreApplication::applicationPid()).arg(n)));
    lzh::MemorySink sink;
    lzh::ArchiveWriter w(sink);
    w.addMember("ORD1.mdb", 0, [] {
        return std::make_unique<lzh::MemorySource>(reinterpret_cast<const uint8_t*>("order"), 5);
    });
    w.finish();
    const QString archive = path(QStringLiteral("plain.lzh"));
    writeFile(archive, QByteArray(reinterpret_cast<const char*>(sink.bytes.data()),
                                  static_cast<qsizetype>(sink.bytes.size())));
    EXPECT_EQ(lzh::extractArchive(archive, out), QStringList{out + QStringLiteral("/ORD1.mdb")});
    const QFileInfo member(out + QStringLiteral("/ORD1.mdb"));
    EXPECT_FALSE(member.isSymLink());
    QFile m(member.filePath()), v(victim);
    ASSERT_TRUE(m.open(QIODevice::ReadOnly));
    ASSERT_TRUE(v.open(QIODevice::ReadOnly));
    EXPECT_EQ(m.readAll(), QByteArray("order"));
    EXPECT_EQ(v.readAll(), QByteArray("untouched"));
    // Only the member and the planted links: nothing of the program's own is left behind.
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::System).size(), 51);
}

TEST_F(LzhArchive, SeparatorsOfOlderToolsMakeFoldersButNotInsideDoubleByteCharacters) {
    const struct {
        const char* stored; // the name's bytes in the header
        const char* extracted;
    } cases[] = {
        {"sub\\ok.txt", "sub/ok.txt"},
        {"sub\xFFok.txt", "sub/ok.txt"},
        {"\x95\x5C.txt", "表.txt"}, // 表: its second byte is '\'
        {"\x83\x5C\\\x83\x5C.txt", "ソ/ソ.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extracted);
        lzh::MemorySink sink;
        lzh::ArchiveWriter w(sink);
        w.addMember(c.stored, 0, [] {
            return std::make_unique<lzh::MemorySource>(reinterpret_cast<const uint8_t*>("x"), 1);
        });
        w.finish();
        const QString archive = path(QStringLiteral("old.lzh"));
        writeFile(archive, QByteArray(reinterpret_cast<const char*>(sink.bytes.data()),
                                      static_cast<qsizetype>(sink.bytes.size())));
        const QString out = path(QStringLiteral("old-out"));
        QDir(out).removeRecursively();
        const QStringList written = lzh::extractArchive(archive, out);
        EXPECT_EQ(written, QStringList{QDir(out).filePath(QString::fromUtf8(c.extracted))});
        EXPECT_EQ(readFile(QDir(out).filePath(QString::fromUtf8(c.extracted))), QByteArray("x"));
    }
}

TEST_F(LzhArchive, NamesOutsideCodePage932AreRefused) {
    const QString f = makeFile(QStringLiteral("label😀.xml"), "x");
    lzh::LzhFileWriter w(path(QStringLiteral("a.lzh")));
    try {
        w.addFile(f);
        FAIL() << "no error";
    } catch (const lzh::LzhError& e) {
        EXPECT_EQ(e.kind(), lzh::LzhError::Kind::Limit);
    }
}

TEST_F(LzhArchive, UncommittedArchiveLeavesNoFile) {
    const QString archive = path(QStringLiteral("a.lzh"));
    {
        lzh::LzhFileWriter w(archive);
        EXPECT_THROW(w.addFile(path(QStringLiteral("missing.pdf"))), lzh::LzhError);
    }
    EXPECT_FALSE(QFileInfo::exists(archive));
}

// Generates document-like bytes on the fly, so no copy of the whole input exists anywhere.
class GeneratedSource : public lzh::ByteSource {
public:
    explicit GeneratedSource(size_t size) : left_(size), chunk_(documentLike(1 << 20, 21)) {}
    size_t read(uint8_t* data, size_t n) override {
        const size_t k = std::min({n, left_, static_cast<size_t>(chunk_.size()) - pos_});
        std::memcpy(data, chunk_.constData() + pos_, k);
        // Vary the repeats a little so the input is not one long match.
        pos_ = (pos_ + k) % static_cast<size_t>(chunk_.size());
        if (pos_ == 0)
            chunk_[static_cast<qsizetype>(left_ % 1000)] = static_cast<char>(left_);
        left_ -= k;
        return k;
    }

private:
    size_t left_;
    QByteArray chunk_;
    size_t pos_ = 0;
};

// Counts and drops the archive's bytes.
class DroppingSink : public lzh::SeekableSink {
public:
    void write(const uint8_t*, size_t n) override {
        pos_ += n;
        end_ = std::max(end_, pos_);
    }
    uint64_t position() override { return pos_; }
    void seek(uint64_t pos) override { pos_ = pos; }
    void truncate(uint64_t pos) override { end_ = pos; }
    uint64_t end_ = 0;

private:
    uint64_t pos_ = 0;
};

long statusKiB(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(qstrlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

// Starts the peak resident size afresh at the current size, so that the peak measures this test
// alone whatever ran before it in the same process.
bool resetPeakResident() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

TEST_F(LzhArchive, WriterMemoryStaysBoundedForLargeFiles) {
    if (!resetPeakResident())
        GTEST_SKIP() << "the peak resident size cannot be reset (/proc/self/clear_refs)";
    const long before = statusKiB("VmHWM:");
    ASSERT_GT(before, 0);
    static constexpr size_t size = 24u << 20;
    DroppingSink sink;
    lzh::ArchiveWriter w(sink);
    w.addMember("big.xml", 0, [] { return std::make_unique<GeneratedSource>(size); });
    w.finish();
    EXPECT_LT(sink.end_, size / 2);
    // 24 MiB went through; the writer's own buffers are well under 4 MiB.
    EXPECT_LT(statusKiB("VmHWM:") - before, 4 * 1024);
}

TEST_F(LzhArchive, CopiedMembersKeepTheirBytes) {
    const QByteArray a = documentLike(70000, 11);
    const QByteArray b1 = documentLike(5000, 12);
    const QByteArray b2 = randomBytes(500, 13);
    const QString first =
        archiveOf({makeFile(QStringLiteral("a.xml"), a), makeFile(QStringLiteral("b.xml"), b1)},
                  QStringLiteral("first.lzh"));
    makeFile(QStringLiteral("b.xml"), b2);
    {
        lzh::LzhFileWriter w(path(QStringLiteral("second.lzh")));
        w.addMembersOf(first, {QStringLiteral("b.xml")});
        w.addFile(path(QStringLiteral("b.xml")));
        w.commit();
    }
    const QString out = path(QStringLiteral("out"));
    const QStringList written = lzh::extractArchive(path(QStringLiteral("second.lzh")), out);
    ASSERT_EQ(written.size(), 2);
    EXPECT_TRUE(readFile(QDir(out).filePath(QStringLiteral("a.xml"))) == a);
    EXPECT_TRUE(readFile(QDir(out).filePath(QStringLiteral("b.xml"))) == b2);
    KEMNOA_EXPECT_LHA_TOOLS_ACCEPT(path(QStringLiteral("second.lzh")),
                                   {{QStringLiteral("a.xml"), a}, {QStringLiteral("b.xml"), b2}},
                                   tmp_.path());
}

} // namespace
