// Archives we write must read back identically in our reader and in two independent LHA programs
// (lhasa and jlha), for every kind of input the archiver meets.

#include "archive_tools.h"
#include "platform/lzh/lzh_files.h"
#include "platform/text/cp932.h"
#include "support/test_env.h"

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

using namespace kemnoa;
using namespace kemnoa::test::lzh;

namespace {

struct Case {
    const char* label;
    QString name;
    std::function<QByteArray()> data;
    const char* method; // expected method, or nullptr when either is fine
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.label;
}

QByteArray sample(const char* file) {
    return readFile(QStringLiteral(KEMNOA_LZH_TEST_DATA "/") + QLatin1String(file));
}

QByteArray periodic(int period, int repeats) {
    const QByteArray unit = randomBytes(static_cast<size_t>(period), 7);
    return unit.repeated(repeats);
}

std::vector<Case> cases() {
    return {
        {"Empty", QStringLiteral("empty.txt"), [] { return QByteArray(); }, "-lh0-"},
        {"OneByte", QStringLiteral("a.txt"), [] { return QByteArray("A"); }, "-lh0-"},
        {"Repetitive", QStringLiteral("repeat.txt"),
         [] { return QByteArray("abcdefgh12345678").repeated(131072); }, "-lh5-"},
        {"SingleByteRun", QStringLiteral("zeros.bin"), [] { return QByteArray(300000, '\0'); }, "-lh5-"},
        // Ends in a short last code: readers that look ahead must still reach it.
        {"ShortRun", QStringLiteral("zeros1000.bin"), [] { return QByteArray(1000, '\0'); }, "-lh5-"},
        {"Random", QStringLiteral("random.bin"), [] { return randomBytes(200000, 1); }, "-lh0-"},
        {"Pdf", QStringLiteral("sample.pdf"), [] { return sample("sample.pdf"); }, nullptr},
        {"Xml", QStringLiteral("sample.xml"), [] { return sample("sample.xml"); }, "-lh5-"},
        {"LargerThanOneMiB", QStringLiteral("large.dat"),
         [] { return documentLike(3 * 1024 * 1024 + 17, 3); }, "-lh5-"},
        // Matches right at the window's reach, and just beyond it.
        {"PeriodAtWindow", QStringLiteral("p8191.bin"), [] { return periodic(8191, 6); }, "-lh5-"},
        {"PeriodBeyondWindow", QStringLiteral("p8193.bin"), [] { return periodic(8193, 6); }, nullptr},
        // ソ ends in the byte '\' in code page 932; it must not be taken for a folder separator.
        {"JapaneseName", QStringLiteral("発注書ソ表０１.xml"), [] { return sample("sample.xml"); }, "-lh5-"},
    };
}

class LzhRoundTrip : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        const Case& c = GetParam();
        data_ = c.data();
        input_ = dir(QStringLiteral("in")).filePath(c.name);
        writeFile(input_, data_);
        archive_ = tmp_.filePath(QStringLiteral("test.lzh"));
        lzh::LzhFileWriter w(archive_);
        w.addFile(input_);
        w.commit();
    }
    QDir dir(const QString& name) {
        QDir(tmp_.path()).mkpath(name);
        return QDir(tmp_.filePath(name));
    }
    QTemporaryDir tmp_;
    QByteArray data_;
    QString input_;
    QString archive_;
};

TEST_P(LzhRoundTrip, OurReaderRestoresTheFile) {
    const Case& c = GetParam();
    const auto members = lzh::testArchive(archive_);
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(members[0].name, c.name);
    EXPECT_EQ(members[0].originalSize, static_cast<quint64>(data_.size()));
    if (c.method) {
        EXPECT_EQ(members[0].method, QLatin1String(c.method));
    }
    if (members[0].method == QLatin1String("-lh5-")) {
        EXPECT_LT(members[0].packedSize, members[0].originalSize);
    }

    const QDir out = dir(QStringLiteral("ours"));
    const QStringList written = lzh::extractArchive(archive_, out.path());
    ASSERT_EQ(written, QStringList{out.filePath(c.name)});
    EXPECT_TRUE(readFile(written[0]) == data_);
}

TEST_P(LzhRoundTrip, LhasaTestsAndExtractsIdentically) {
    if (!test::haveProgram(QStringLiteral("lhasa")))
        GTEST_SKIP() << "lhasa is not installed";
    const ToolResult t = runTool(QStringLiteral("lhasa"), {QStringLiteral("t"), archive_}, tmp_.path());
    EXPECT_EQ(t.exitCode, 0) << t.output.toStdString();
    EXPECT_FALSE(t.output.contains(QLatin1String("error"), Qt::CaseInsensitive)) << t.output.toStdString();

    const QDir out = dir(QStringLiteral("lhasa"));
    const ToolResult x = runTool(QStringLiteral("lhasa"), {QStringLiteral("xf"), archive_}, out.path());
    ASSERT_EQ(x.exitCode, 0) << x.output.toStdString();
    // lhasa writes the stored name's bytes unchanged, so the file carries the code page 932 name.
    const std::string raw = out.path().toStdString() + "/" + text::toCp932(GetParam().name).toStdString();
    ASSERT_TRUE(std::filesystem::exists(raw)) << x.output.toStdString();
    EXPECT_TRUE(readFileRaw(raw) == data_);
}

TEST_P(LzhRoundTrip, JlhaExtractsIdentically) {
    if (!test::haveProgram(QStringLiteral("jlha")))
        GTEST_SKIP() << "jlha is not installed";
    const QDir out = dir(QStringLiteral("jlha"));
    // y: member names are Shift_JIS.
    const ToolResult x = runTool(QStringLiteral("jlha"), {QStringLiteral("xyf"), archive_}, out.path());
    ASSERT_EQ(x.exitCode, 0) << x.output.toStdString();
    const QString extracted = out.filePath(GetParam().name);
    ASSERT_TRUE(QFileInfo::exists(extracted)) << x.output.toStdString();
    EXPECT_TRUE(readFile(extracted) == data_);
}

INSTANTIATE_TEST_SUITE_P(Inputs, LzhRoundTrip, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.label);
                         });

} // namespace
