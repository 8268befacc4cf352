// Where the program folder lies, and how an installed program fills a workstation's folder.

#include "core/program_folder.h"
#include "core/program_folder_setup.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace kemnoa;

namespace {

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << qPrintable(path);
    f.write(data);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(ProgramFolder, InstalledTreeBuildTreeAndOverride) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString r = root.path();
    QDir().mkpath(r + "/usr/bin");
    QDir().mkpath(r + "/usr/share/kemnoa");
    QDir().mkpath(r + "/opt/bin");           // a bin folder without installed data
    QDir().mkpath(r + "/build/src/app/cli"); // a build tree
    QDir().mkpath(r + "/share/kemnoa");      // data beside a folder that is not bin
    const QString workstation = core::workstationFolder();
    EXPECT_TRUE(workstation.endsWith("/kemnoa/")) << qPrintable(workstation);

    struct Case {
        const char* exe;
        const char* env;
        QString expected;
    } cases[] = {
        {"/usr/bin", "", workstation},
        {"/usr/bin", "/home/office/pc01", "/home/office/pc01/"},
        {"/opt/bin", "", r + "/opt/bin/"},
        {"/build/src/app/cli", "", r + "/build/src/app/cli/"},
        {"/build/src/app/cli", "/srv/kemnoa/pc02/", "/srv/kemnoa/pc02/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::programFolderFor(r + c.exe, QString::fromUtf8(c.env)), c.expected)
            << c.exe << " " << c.env;
    EXPECT_EQ(core::installedDataFolder(r + "/usr/bin"), r + "/usr/share/kemnoa/");
    EXPECT_EQ(core::installedDataFolder(r + "/opt/bin"), QString());
    EXPECT_EQ(core::installedDataFolder(r), QString());
}

TEST(ProgramFolder, FillCopiesWhatIsMissingAndNeverReplaces) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString data = root.path() + "/share/kemnoa";
    const QString folder = root.path() + "/pc01";
    writeFile(data + "/BMP/1010.bmp", "bmp 1010");
    writeFile(data + "/BMP/2010.bmp", "bmp 2010");
    writeFile(data + "/絵表示.layout", "layout");
    writeFile(data + "/MST_DEF.xlsx", "installed template");
    writeFile(data + "/kemnoa.ini.example", "[SQLKEM_DB]");
    writeFile(folder + "/MST_DEF.xlsx", "office's own template");
    // A link planted at a missing file's name, pointing outside the folder: nothing is written through it.
    writeFile(root.path() + "/outside.txt", "outside");
    QDir().mkpath(folder + "/BMP");
    ASSERT_TRUE(QFile::link(root.path() + "/outside.txt", folder + "/BMP/2010.bmp"));
    ASSERT_TRUE(QFile::link(root.path() + "/nowhere.txt", folder + "/絵表示.layout")); // dangling

    const core::FolderFill fill = core::fillProgramFolder(data, folder);
    EXPECT_EQ(fill.error, QString());
    EXPECT_EQ(fill.copied, QStringList{"BMP/1010.bmp"});
    EXPECT_EQ(readFile(folder + "/BMP/1010.bmp"), "bmp 1010");
    EXPECT_EQ(readFile(folder + "/MST_DEF.xlsx"), "office's own template");
    EXPECT_EQ(readFile(root.path() + "/outside.txt"), "outside");
    EXPECT_FALSE(QFile::exists(root.path() + "/nowhere.txt"));
    EXPECT_FALSE(QFile::exists(folder + "/kemnoa.ini.example"));

    // A second run finds nothing to do.
    EXPECT_TRUE(core::fillProgramFolder(data, folder).copied.isEmpty());
}

// Two first starts at once (a desktop and a job runner) fill the same folder: neither reports an error,
// every file arrives whole once, and no private copy is left behind.
TEST(ProgramFolder, FillsAtOnceShareTheWork) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString data = root.path() + "/share/kemnoa";
    const QString folder = root.path() + "/pc01";
    const QByteArray body(64 * 1024, 'x');
    for (int i = 0; i < 200; ++i)
        writeFile(data + QStringLiteral("/BMP/%1.bmp").arg(i), body);
    std::vector<core::FolderFill> fills(4);
    std::vector<std::thread> starts;
    for (core::FolderFill& fill : fills)
        starts.emplace_back([&] { fill = core::fillProgramFolder(data, folder); });
    for (std::thread& t : starts)
        t.join();
    QStringList copied;
    for (const core::FolderFill& fill : fills) {
        EXPECT_TRUE(fill.error.isEmpty()) << qPrintable(fill.error);
        copied << fill.copied;
    }
    EXPECT_EQ(copied.size(), 200);
    EXPECT_EQ(QSet<QString>(copied.begin(), copied.end()).size(), 200);
    const QStringList present = QDir(folder + "/BMP").entryList(QDir::Files);
    EXPECT_EQ(present.size(), 200) << qPrintable(present.filter(".part").join(','));
    for (const QString& name : present)
        ASSERT_EQ(readFile(folder + "/BMP/" + name), body) << qPrintable(name);
}

TEST(ProgramFolder, FillSaysWhatItCouldNotCopy) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString data = root.path() + "/share/kemnoa";
    writeFile(data + "/BMP/1010.bmp", "bmp");
    writeFile(data + "/MST_DEF.xlsx", "template");
    const QString folder = root.path() + "/pc01";
    writeFile(folder + "/BMP", "a file where the bitmaps' folder belongs");
    const core::FolderFill fill = core::fillProgramFolder(data, folder);
    EXPECT_EQ(fill.copied, QStringList{"MST_DEF.xlsx"});
    EXPECT_TRUE(fill.error.contains(folder + "/BMP")) << qPrintable(fill.error);
}
