// The structures the writer lays down beside the user's tables: the definition page, the system
// catalog with its indexes, and column properties; checked against the bytes the Jet engine itself
// writes for the same objects and through the independent readers.

#include "platform/jet/jet_structures.h"
#include "platform/jet/jet_test_util.h"
#include "platform/jet/jet_text.h"
#include "platform/jet/jet_writer.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace kemnoa::jet;
namespace kt = kemnoa::test;

namespace {

QByteArray hex(const char* h) {
    return QByteArray::fromHex(h);
}

TEST(JetIndexKey, MatchesTheEngineGeneralSortOrder) {
    // Keys as they stand in the catalog index of a database the engine created.
    EXPECT_EQ(format::ascendingIndexKey(ColumnType::Text, Value::text(QStringLiteral("Databases"))),
              hex("7f4f4a6d4a4c4a6b516b0100"));
    EXPECT_EQ(format::ascendingIndexKey(ColumnType::Text, Value::text(QStringLiteral("MSysACEs"))),
              hex("7f606b766b4a4d516b0100"));
    EXPECT_EQ(format::ascendingIndexKey(ColumnType::Text, Value::text(QStringLiteral("snd_mst"))),
              hex("7f6b624f2b03606b6d0100"));
    EXPECT_EQ(format::ascendingIndexKey(ColumnType::Long, Value::integer(2)), hex("7f80000002"));
    EXPECT_EQ(format::ascendingIndexKey(ColumnType::Long, Value::integer(0x0F000001)), hex("7f8f000001"));
    EXPECT_EQ(format::ascendingIndexKey(ColumnType::Long, Value::integer(-1)), hex("7f7fffffff"));
    EXPECT_EQ(format::ascendingIndexKey(ColumnType::Long, Value()), hex("00"));
    EXPECT_TRUE(format::isPlainIndexText(QStringLiteral("mst_size 2")));
    EXPECT_FALSE(format::isPlainIndexText(QStringLiteral("受注")));
    EXPECT_FALSE(format::isPlainIndexText(QStringLiteral("a-b")));
    EXPECT_THROW(format::ascendingIndexKey(ColumnType::Text, Value::text(QStringLiteral("受注"))),
                 kemnoa::Error);
}

quint32 le32(const QByteArray& b, qsizetype at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}
quint16 le16(const QByteArray& b, qsizetype at) {
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

class JetFormatTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path;
    QByteArray file;
    void SetUp() override {
        path = dir.filePath(QStringLiteral("f.mdb"));
        JetWriter w(path, QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
        w.createTable(QStringLiteral("mst_namecode"), {{QStringLiteral("NAME_NM")}});
        w.createTable(QStringLiteral("mst_size"),
                      {{QStringLiteral("SIZE_VALUE")}, {QStringLiteral("SORT_LV"), ColumnType::Long}});
        w.insert(QStringLiteral("mst_size"), Row{Value::text(QStringLiteral("M")), Value::integer(30)});
        w.close();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        file = f.readAll();
    }
    QByteArray page(quint32 n) const { return file.mid(qsizetype(n) * 4096, 4096); }
};

TEST_F(JetFormatTest, DefinitionPageAsJetWritesIt) {
    ASSERT_EQ(file.size() % 4096, 0);
    QByteArray h = page(0);
    EXPECT_EQ(h.mid(4, 16), QByteArray("Standard Jet DB", 16));
    EXPECT_EQ(h[0x14], 0x01);
    // Undo the fixed RC4 encoding of 0x18..0x97 with the key 0x6b39dac7.
    unsigned char s[256];
    const unsigned char key[4] = {0xc7, 0xda, 0x39, 0x6b};
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < 128; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        h[0x18 + n] = char(h[0x18 + n] ^ s[(s[i] + s[j]) & 0xff]);
    }
    EXPECT_EQ(le16(h, 0x3c), 1252); // code page
    EXPECT_EQ(le32(h, 0x3e), 0u);   // database key: no page encoding
    EXPECT_EQ(le16(h, 0x6e), 1033); // General sort order
    const quint32 day = 45444;      // 2024-06-01
    for (int i = 0; i < 40; i += 4) // password area: only the creation-date mask
        EXPECT_EQ(le32(h, 0x42 + i), day);

    if (kt::nodeModules().isEmpty())
        GTEST_SKIP() << "mdb-reader not installed (KEMNOA_TEST_NODE_MODULES)";
    const QJsonObject dump = kt::mdbReaderDump(path);
    EXPECT_TRUE(dump[QStringLiteral("password")].isNull());
    EXPECT_EQ(dump[QStringLiteral("creationDate")].toString(), QStringLiteral("2024-06-01T12:00:00.000Z"));
    EXPECT_EQ(dump[QStringLiteral("systemTables")].toArray(),
              (QJsonArray{QStringLiteral("MSysObjects"), QStringLiteral("MSysACEs"),
                          QStringLiteral("MSysQueries"), QStringLiteral("MSysRelationships")}));
}

// Walks the catalog's two indexes and checks that every entry is in order and points at the row
// holding its key.
TEST_F(JetFormatTest, CatalogIndexesPointAtTheirRows) {
    if (kt::nodeModules().isEmpty())
        GTEST_SKIP() << "mdb-reader not installed (KEMNOA_TEST_NODE_MODULES)";
    const QJsonObject dump = kt::mdbReaderDump(path, {QStringLiteral("MSysObjects")});
    const QJsonArray rows =
        dump[QStringLiteral("data")][QStringLiteral("MSysObjects")][QStringLiteral("rows")].toArray();
    ASSERT_EQ(rows.size(), 10); // 3 containers, MSysDb, 4 system tables, 2 user tables

    // The catalog rows by their place (page << 8 | row), found on the catalog's data pages.
    std::vector<quint32> places;
    for (quint32 p = 1; p < quint32(file.size() / 4096); ++p) {
        const QByteArray pg = page(p);
        if (pg[0] == 0x01 && le32(pg, 4) == 2)
            for (int r = 0; r < le16(pg, 12); ++r)
                places.push_back(p << 8 | quint32(r));
    }
    ASSERT_EQ(places.size(), 10u);

    const QByteArray tdef = page(2);
    ASSERT_EQ(le32(tdef, 51), 2u); // two index entries
    // Index blocks follow the columns and their names.
    qsizetype at = 63 + 2 * 12 + 17 * 25;
    for (int i = 0; i < 17; ++i)
        at += 2 + le16(tdef, at);
    std::map<int, std::vector<QByteArray>> keysByIndex;
    for (int ix = 0; ix < 2; ++ix, at += 52) {
        const QByteArray leaf = page(le32(tdef, at + 38));
        ASSERT_EQ(leaf[0], 0x04);
        EXPECT_EQ(le32(leaf, 4), 2u);
        std::vector<int> ends;
        for (int bit = 0; bit < (0x1e0 - 0x1b) * 8; ++bit)
            if (leaf[0x1b + bit / 8] & (1 << (bit % 8)))
                ends.push_back(bit);
        ASSERT_EQ(ends.size(), 10u);
        int start = 0;
        QByteArray previous;
        for (int end : ends) {
            const QByteArray entry = leaf.mid(0x1e0 + start, end - start);
            start = end;
            EXPECT_LT(previous, entry);
            previous = entry;
            const quint32 place = quint32(quint8(entry[entry.size() - 4])) << 16 |
                                  quint32(quint8(entry[entry.size() - 3])) << 8 |
                                  quint8(entry[entry.size() - 2]);
            const auto it =
                std::find(places.begin(), places.end(), place << 8 | quint8(entry[entry.size() - 1]));
            ASSERT_NE(it, places.end());
            const QJsonArray row = rows[int(it - places.begin())].toArray();
            const QByteArray key = entry.left(entry.size() - 4);
            if (ix == 1) // "Id"
                EXPECT_EQ(key,
                          format::ascendingIndexKey(ColumnType::Long, Value::integer(row[0].toInteger())));
            else // "ParentIdName"
                EXPECT_EQ(key,
                          format::ascendingIndexKey(ColumnType::Long, Value::integer(row[1].toInteger())) +
                              format::ascendingIndexKey(ColumnType::Text, Value::text(row[2].toString())));
        }
    }
}

// The index blocks of the system tables, compared with those of an empty database Access 2000
// created. Bytes the engine leaves unset (the order byte of unused key columns) or that depend on
// page placement (usage map, first leaf page, bytes 42-45) are not compared.
TEST_F(JetFormatTest, SystemIndexBlocksAsTheEngineWritesThem) {
    struct Case {
        quint32 tdefPage;
        const char* engineBlocks; // every index block of the table, in order
    };
    const Case cases[] = {
        {2, "83070000010001020001ffff00ffff00ffff00ffff00ffff00ffff00ffff00ffff001006000007000000000000008100"
            "00000000"
            "83070000000001ffff00ffff00ffff00ffff00ffff00ffff00ffff00ffff00ffff001106000008000000000000008100"
            "00000000"},
        {3, "83070000000001ffff00ffff00ffff09ffff00ffff00ffff00ffff04ffff12ffff001406000009000000410074008800"
            "00000000"},
        {4, "83070000000001010001020001ffff00ffff6effff00ffff7affff00ffff66ffff00190600000a000000650064008100"
            "00000000"},
        {5, "83070000000001ffff00ffff00ffff00ffff00ffff00ffff00ffff00ffff00ffff001c0600000b000000000000008200"
            "00000000"
            "83070000040001ffff00ffff00ffff00ffff00ffff00ffff00ffff00ffff00ffff001d0600000c000000004d00538200"
            "00000000"
            "83070000060001ffff6effff00ffff00ffff00ffff00ffff00ffff00ffff00ffff001e0600000d000000000000008200"
            "00000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tdefPage);
        const QByteArray tdef = page(c.tdefPage);
        const QByteArray engine = hex(c.engineBlocks);
        const int indexes = int(le32(tdef, 51));
        ASSERT_EQ(indexes * 52, engine.size());
        qsizetype at = 63 + indexes * 12 + le16(tdef, 45) * 25;
        for (int i = 0; i < le16(tdef, 45); ++i)
            at += 2 + le16(tdef, at);
        for (int ix = 0; ix < indexes; ++ix) {
            const QByteArray ours = tdef.mid(at + ix * 52, 52), theirs = engine.mid(ix * 52, 52);
            EXPECT_EQ(ours.left(4).toHex(), theirs.left(4).toHex()) << "index " << ix;
            for (int k = 0; k < 10; ++k) {
                const qsizetype col = 4 + 3 * k;
                const bool used = le16(theirs, col) != 0xffff;
                EXPECT_EQ(ours.mid(col, used ? 3 : 2).toHex(), theirs.mid(col, used ? 3 : 2).toHex())
                    << "index " << ix << " key column " << k;
            }
            EXPECT_EQ(ours.mid(46).toHex(), theirs.mid(46).toHex()) << "index " << ix << " flags";
        }
    }
}

TEST_F(JetFormatTest, DatabaseObjectCarriesTheAccessVersion) {
    // MSysDb.LvProp of the engine's empty Access 2000 database.
    EXPECT_EQ(format::databasePropertiesBlob().toHex(),
              QByteArray("4d5232002e00000080001a00410063006300650073007300560065007200730069006f006e000a0042"
                         "00750069006c0064002a00000000000600000000001200000a00000a00300038002e00350030000c"
                         "00000401000400dc190000"));
    const auto r = kt::runProgram(QStringLiteral("mdb-prop"), {path, QStringLiteral("MSysDb")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QStringLiteral("AccessVersion: 08.50")))
        << r.out.toStdString();
}

// The global usage map marks the pages past the end of the file as free, none inside it.
TEST_F(JetFormatTest, GlobalUsageMapMarksPagesPastTheEnd) {
    const QByteArray map = page(1);
    ASSERT_EQ(le16(map, 12), 2);
    const QByteArray global = map.mid(le16(map, 14) & 0x1fff, 69);
    ASSERT_EQ(global[0], 0x00);
    EXPECT_EQ(le32(global, 1), 0u);
    const int pages = int(file.size() / 4096);
    for (int p = 0; p < 64 * 8; ++p)
        EXPECT_EQ(bool(global[5 + p / 8] & (1 << (p % 8))), p >= pages) << "page " << p;
}

TEST_F(JetFormatTest, TextColumnsAllowZeroLength) {
    const auto r = kt::runProgram(QStringLiteral("mdb-prop"), {path, QStringLiteral("mst_size")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString out = QString::fromUtf8(r.out).simplified();
    EXPECT_TRUE(out.contains(QStringLiteral("name: SIZE_VALUE AllowZeroLength: yes"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("SORT_LV"))) << out.toStdString();
}

} // namespace

namespace {

// Access writes text with Unicode compression when the column allows it: FF FE, then one-byte
// characters, a 00 byte switching to two-byte characters and back.
TEST(JetText, DecodesPlainAndCompressedUnicode) {
    EXPECT_EQ(decodeJet4Text(QByteArray::fromHex("fffe6162004230006364")), QStringLiteral("abあcd"));
    EXPECT_EQ(decodeJet4Text(QByteArray::fromHex("fffe")), QString());
    EXPECT_EQ(decodeJet4Text(QByteArray::fromHex("fffe6100")), QStringLiteral("a"));   // ends on a switch
    EXPECT_EQ(decodeJet4Text(QByteArray::fromHex("fffe610042")), QStringLiteral("a")); // odd byte dropped
    EXPECT_EQ(decodeJet4Text(encodeUcs2(QStringLiteral("株式会社'A"))), QStringLiteral("株式会社'A"));
    EXPECT_EQ(decodeJet4Text(QByteArray::fromHex("6100")), QStringLiteral("a"));
}

} // namespace
