#include "platform/ftp/listing_parser.h"

#include <gtest/gtest.h>
#include <random>

using namespace kemnoa::ftp;

namespace {

struct Case {
    const char* line;
    bool mlsd;
    bool parses;
    const char* name;
    quint64 size;
    bool dir;
    const char* date; // ISO, fields as listed
};

// Lines from real servers (pyftpdlib, vsftpd, ProFTPD, IIS) and broken ones.
const Case cases[] = {
    {"type=file;size=5368709120;modify=20261210004645; ORD1.mdb", true, true, "ORD1.mdb", 5368709120ULL,
     false, "2026-12-10T00:46:45"},
    {"modify=20261210004645.123;perm=el;size=4096;type=dir;unique=fe; BK", true, true, "BK", 4096, true,
     "2026-12-10T00:46:45"},
    {"type=file;size=3; name with  spaces.mdb", true, true, "name with  spaces.mdb", 3, false, ""},
    {"type=cdir;modify=20261210004645; .", true, false, "", 0, false, ""},
    {"type=pdir;modify=20261210004645; ..", true, false, "", 0, false, ""},
    {"size=3;modify=20261210004645;", true, false, "", 0, false, ""},         // no name
    {"size=3;modify=20261210004645; ORD.mdb", true, false, "", 0, false, ""}, // no type fact
    {"-rw-r--r--   1 owner    group    5368709120 Jan 05 12:34 ORD1.mdb", false, true, "ORD1.mdb",
     5368709120ULL, false, "2026-01-05T12:34:00"},
    {"-rw-r--r--    1 0        0               5 Dec 10  2024 ORD 2.mdb", false, true, "ORD 2.mdb", 5, false,
     "2024-12-10T00:00:00"},
    {"drwxr-xr-x    2 0        0            4096 Dec 10 00:44 BK", false, true, "BK", 4096, true,
     "2026-12-10T00:44:00"},
    {"-rw-r--r-- 1 ftp 12 Feb 29 2024 nogroup.mdb", false, true, "nogroup.mdb", 12, false,
     "2024-02-29T00:00:00"},
    {"lrwxrwxrwx 1 u g 7 Mar 01 10:00 ORDL.mdb -> target", false, true, "ORDL.mdb", 7, false,
     "2026-03-01T10:00:00"},
    {"drwxr-xr-x 2 u g 4096 Mar 01 10:00 ..", false, false, "", 0, false, ""},
    {"total 12", false, false, "", 0, false, ""},
    {"-rw-r--r-- 1 u g -5 Mar 01 10:00 neg.mdb", false, false, "", 0, false, ""},
    {"-rw-r--r-- 1 u g 5 Foo 01 10:00 month.mdb", false, false, "", 0, false, ""},
    {"-rw-r--r-- 1 u g 5 Feb 30 10:00 day.mdb", false, false, "", 0, false, ""},
    {"-rw-r--r-- 1 u g 99999999999999999999999 Mar 01 10:00 huge.mdb", false, false, "", 0, false, ""},
    {"12-10-26  12:34AM       <DIR>          BK", false, true, "BK", 0, true, "2026-12-10T00:34:00"},
    {"12-10-2026  01:05PM           5368709120 ORD1.mdb", false, true, "ORD1.mdb", 5368709120ULL, false,
     "2026-12-10T13:05:00"},
    {"01-02-99  11:59PM                  10 old file.mdb", false, true, "old file.mdb", 10, false,
     "1999-01-02T23:59:00"},
    {"12-10-26  13:34PM                  10 badhour.mdb", false, false, "", 0, false, ""},
    {"12-10-26  12:34AM", false, false, "", 0, false, ""},
    {"garbage", false, false, "", 0, false, ""},
    {"", false, false, "", 0, false, ""},
};

TEST(ListingParser, LinesOfEveryFormat) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const QByteArray line(c.line);
        const auto e = c.mlsd ? parseMlsdLine(line) : parseListLine(line, 2026);
        ASSERT_EQ(e.has_value(), c.parses);
        if (!e)
            continue;
        EXPECT_EQ(e->name, QByteArray(c.name));
        EXPECT_EQ(e->size, c.size);
        EXPECT_EQ(e->isDirectory, c.dir);
        if (*c.date) {
            EXPECT_EQ(e->date.toString(Qt::ISODate).left(19), QString::fromLatin1(c.date));
        }
    }
}

TEST(ListingParser, NameIsCutAtNul) {
    const auto e = parseMlsdLine(QByteArray("type=file;size=1; ORD1.mdb\0junk", 32));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name, QByteArray("ORD1.mdb"));
}

TEST(ListingParser, LinesSplitOnCrLfAndLf) {
    EXPECT_EQ(listingLines("a\r\nb\n\r\nc"), (QList<QByteArray>{"a", "b", "c"}));
}

// Listings are server input: mutated real lines and random bytes must parse or be skipped, never crash.
TEST(ListingParser, MalformedLinesNeverCrash) {
    std::mt19937 rng(20261210);
    const char alphabet[] = "-drwxlJanFebDec0123456789:;= <>DIR/.AMPM\t\r\0\xff\x81type=filesizemodify";
    for (int i = 0; i < 20000; ++i) {
        QByteArray line(cases[rng() % std::size(cases)].line);
        const int edits = 1 + static_cast<int>(rng() % 6);
        for (int e = 0; e < edits; ++e) {
            const qsizetype at = line.isEmpty() ? 0 : static_cast<qsizetype>(rng() % line.size());
            const char c = alphabet[rng() % (sizeof(alphabet) - 1)];
            switch (rng() % 3) {
            case 0:
                line.insert(at, c);
                break;
            case 1:
                if (!line.isEmpty())
                    line.remove(at, 1 + static_cast<qsizetype>(rng() % 8));
                break;
            default:
                if (!line.isEmpty())
                    line[at] = c;
                break;
            }
        }
        if (const auto e = parseMlsdLine(line)) {
            EXPECT_FALSE(e->name.isEmpty());
        }
        if (const auto e = parseListLine(line, 2026)) {
            EXPECT_FALSE(e->name.isEmpty());
            EXPECT_TRUE(e->date.isValid());
        }
    }
}

TEST(ListingParser, Wildcards) {
    struct W {
        const char* name;
        const char* pattern;
        bool match;
    };
    const W table[] = {
        {"ORD1.mdb", "ORD*.mdb", true},
        {"ORD.mdb", "ORD*.mdb", true},
        {"ord7.MDB", "ORD*.mdb", true},
        {"ORD1.mdb.part", "ORD*.mdb", false},
        {"XORD1.mdb", "ORD*.mdb", false},
        {"ORD1.mdbx", "ORD*.mdb", false},
        {"ORD1.mdb", "ORD?.mdb", true},
        {"ORD12.mdb", "ORD?.mdb", false},
        {"ORD1.mdb", "ORD1.mdb", true},
        {"ORD/../x.mdb", "ORD*.mdb", true},
        {"a", "*", true},
        {"", "*", true},
        {"abcabd", "*abd", true},
        {"ORD1.mdb", "", false},
    };
    for (const W& w : table)
        EXPECT_EQ(matchesPattern(QString::fromUtf8(w.name), QString::fromUtf8(w.pattern)), w.match)
            << w.name << " ~ " << w.pattern;
}

} // namespace
