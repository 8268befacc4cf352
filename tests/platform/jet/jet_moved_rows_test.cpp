// Rows that a program changed after writing them, stored as the Jet engine stores edits: grown rows
// moved to another place behind a forwarding slot, rows shrunk in place, deleted rows. Our reader,
// mdb-export and mdb-reader must see the same rows; damaged forwarding slots must fail cleanly.

#include "platform/jet/jet_reader.h"
#include "platform/jet/jet_test_util.h"
#include "platform/jet/jet_writer.h"
#include "demo/generated_orders.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace kemnoa::jet;
using kemnoa::Error;
namespace kt = kemnoa::test;
namespace of = kemnoa::demo;

namespace {

constexpr int kPage = 4096;

quint16 le16(const QByteArray& b, qsizetype at) {
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}
quint32 le32(const QByteArray& b, qsizetype at) {
    return quint32(le16(b, at)) | quint32(le16(b, at + 2)) << 16;
}
void put16(QByteArray& b, qsizetype at, quint32 v) {
    b[at] = char(v & 0xff);
    b[at + 1] = char((v >> 8) & 0xff);
}
void put32(QByteArray& b, qsizetype at, quint32 v) {
    put16(b, at, v & 0xffff);
    put16(b, at + 2, v >> 16);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A slot of a user table's data page.
struct SlotRef {
    quint32 page;
    int row;
    quint16 raw;
    qsizetype at; // where the slot's offset entry is in the file
};
std::vector<SlotRef> userSlots(const QByteArray& file, quint32 owner) {
    std::vector<SlotRef> slots;
    for (quint32 p = 1; p < quint32(file.size() / kPage); ++p) {
        const qsizetype base = qsizetype(p) * kPage;
        if (file[base] != 0x01 || le32(file, base + 4) != owner)
            continue;
        for (int r = 0; r < le16(file, base + 12); ++r)
            slots.push_back({p, r, le16(file, base + 14 + 2 * r), base + 14 + 2 * r});
    }
    return slots;
}

// What a reader shows of a value: "<null>" for Null, text and numbers as text.
QString shown(const Value& v) {
    return v.isNull() ? QStringLiteral("<null>") : v.toText();
}

// Reads every row of every table in this process; the error number, 0 when all was read.
long readInProcess(const QByteArray& bytes, QString* message = nullptr) {
    JetReader::Options direct;
    direct.isolate = false;
    try {
        JetReader r = JetReader::fromBytes(bytes, direct);
        for (const QString& t : r.tables())
            r.forEachRow(t, [](const Row&) {});
        return 0;
    } catch (const Error& e) {
        if (message)
            *message = e.description();
        return e.number();
    }
}

class JetMovedRowsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

TEST_F(JetMovedRowsTest, EditedOrderFileReadsTheSameEverywhere) {
    const QString path = dir.filePath(QStringLiteral("ORD_EDITED.mdb"));
    of::Options o;
    o.orders = 12;
    o.linesPerOrder = 5;
    o.submittedSymbols = 7;
    o.submittedTerms = 5;
    o.editedAfterWriting = true;
    const of::OrderFileData data = of::makeOrderFile(path, o);

    // The file really holds every kind of edited slot.
    const QByteArray file = readFile(path);
    JetReader own(path);
    int forwarding = 0, moved = 0, deleted = 0, forwardedWithinPage = 0;
    for (quint32 owner = 6; owner < quint32(file.size() / kPage); ++owner) {
        for (const SlotRef& s : userSlots(file, owner)) {
            const quint16 flags = s.raw & 0xc000;
            forwarding += flags == 0x4000;
            moved += flags == 0x8000;
            deleted += flags == 0xc000;
            if (flags == 0x4000)
                forwardedWithinPage +=
                    le32(file, qsizetype(s.page) * kPage + (s.raw & 0x1fff)) >> 8 == s.page;
        }
    }
    EXPECT_GT(forwarding, 20);
    EXPECT_GT(moved, 20);
    EXPECT_GT(deleted, 10);
    EXPECT_GT(forwardedWithinPage, 0);

    const bool haveNode = !kt::nodeModules().isEmpty();
    for (const of::FileTable& t : data.tables) {
        SCOPED_TRACE(t.name.toStdString());
        std::vector<QStringList> expected;
        for (const Row& row : t.rows) {
            QStringList cells;
            for (const Value& v : row)
                cells << shown(v);
            expected.push_back(cells);
        }
        // Our reader: every row once, with its final values, in the order written.
        std::vector<QStringList> ours;
        own.forEachRow(t.name, [&](const Row& row) {
            QStringList cells;
            for (const Value& v : row)
                cells << shown(v);
            ours.push_back(cells);
        });
        EXPECT_EQ(ours, expected);
        EXPECT_EQ(own.rowCount(t.name), qint64(t.rows.size()));

        // mdb-export (which shows empty text as Null) and mdb-reader list a moved row where its data
        // went, not at its forwarding slot; the rows are compared without regard to order.
        std::vector<QStringList> wantExported;
        for (QStringList want : expected) {
            for (QString& cell : want)
                if (cell == QStringLiteral("<null>") || cell.isEmpty())
                    cell = kt::kNullMark;
            wantExported.push_back(want);
        }
        std::sort(wantExported.begin(), wantExported.end());
        auto exported = kt::mdbExportRows(path, t.name);
        ASSERT_EQ(exported.size(), expected.size() + 1);
        exported.erase(exported.begin());
        std::sort(exported.begin(), exported.end());
        EXPECT_EQ(exported, wantExported);

        if (!haveNode)
            continue;
        const QJsonObject dump = kt::mdbReaderDump(path, {t.name});
        const QJsonObject table = dump[QStringLiteral("data")][t.name].toObject();
        EXPECT_EQ(table[QStringLiteral("rowCount")].toInt(), int(t.rows.size()));
        const QJsonArray rows = table[QStringLiteral("rows")].toArray();
        std::vector<QStringList> theirs;
        for (const auto& row : rows) {
            QStringList cells;
            for (const auto& v : row.toArray())
                cells << (v.isNull()     ? QStringLiteral("<null>")
                          : v.isDouble() ? QString::number(v.toInteger())
                                         : v.toString());
            theirs.push_back(cells);
        }
        std::vector<QStringList> sortedExpected = expected;
        std::sort(theirs.begin(), theirs.end());
        std::sort(sortedExpected.begin(), sortedExpected.end());
        EXPECT_EQ(theirs, sortedExpected);
    }
    if (!haveNode)
        GTEST_SKIP() << "mdb-reader not installed (KEMNOA_TEST_NODE_MODULES)";
}

// A row updated twice: moved, then moved again, then shrunk where it went; and deletes of a moved
// row and of a plain one.
TEST_F(JetMovedRowsTest, RowsEditedSeveralTimes) {
    const QString path = dir.filePath(QStringLiteral("twice.mdb"));
    {
        JetWriter w(path);
        w.createTable(QStringLiteral("t"), {{QStringLiteral("A"), ColumnType::Text, 255},
                                            {QStringLiteral("N"), ColumnType::Long}});
        for (int i = 0; i < 6; ++i)
            w.insert(QStringLiteral("t"), Row{Value::text(QStringLiteral("r%1").arg(i)), Value::integer(i)});
        w.updateRow(QStringLiteral("t"), 1, Row{Value::text(QString(40, QChar(u'長'))), Value::integer(10)});
        w.updateRow(QStringLiteral("t"), 1, Row{Value::text(QString(200, QChar(u'超'))), Value::integer(11)});
        w.updateRow(QStringLiteral("t"), 1, Row{Value::text(QStringLiteral("短")), Value::integer(12)});
        w.updateRow(QStringLiteral("t"), 3, Row{Value::text(QString(90, QChar(u'x'))), Value::integer(30)});
        w.deleteRow(QStringLiteral("t"), 3);
        w.deleteRow(QStringLiteral("t"), 4);
        w.updateRow(QStringLiteral("t"), 5, Row{Value(), Value()});
        EXPECT_THROW(w.updateRow(QStringLiteral("t"), 4, Row{Value(), Value()}), Error);
        EXPECT_THROW(w.deleteRow(QStringLiteral("t"), 6), Error);
        w.close();
    }
    const QStringList expected{QStringLiteral("r0|0"), QStringLiteral("短|12"), QStringLiteral("r2|2"),
                               QStringLiteral("<null>|<null>")};
    QStringList ours;
    JetReader(path).forEachRow(QStringLiteral("t"),
                               [&](const Row& r) { ours << shown(r[0]) + "|" + shown(r[1]); });
    EXPECT_EQ(ours, expected);
    QStringList exported;
    for (const QStringList& r : kt::mdbExportRows(path, QStringLiteral("t")))
        exported << r.join(QLatin1Char('|'));
    ASSERT_FALSE(exported.isEmpty());
    EXPECT_EQ(exported.takeFirst(), QStringLiteral("A|N"));
    exported.sort();
    QStringList want{QStringLiteral("r0|0"), QStringLiteral("短|12"), QStringLiteral("r2|2"),
                     kt::kNullMark + "|" + kt::kNullMark};
    want.sort();
    EXPECT_EQ(exported, want);
}

// Damaged forwarding slots: each fails with 3343 naming the page and row of the slot, and
// nothing hangs however the pointers are bent.
TEST_F(JetMovedRowsTest, DamagedForwardingSlotsFailNamingPageAndRow) {
    const QString path = dir.filePath(QStringLiteral("fw.mdb"));
    {
        JetWriter w(path);
        w.createTable(QStringLiteral("t"), {{QStringLiteral("A"), ColumnType::Text, 255},
                                            {QStringLiteral("N"), ColumnType::Long}});
        for (int i = 0; i < 8; ++i)
            w.insert(QStringLiteral("t"), Row{Value::text(QStringLiteral("r%1").arg(i)), Value::integer(i)});
        w.updateRow(QStringLiteral("t"), 2, Row{Value::text(QString(100, QChar(u'a'))), Value::integer(2)});
        w.updateRow(QStringLiteral("t"), 5, Row{Value::text(QString(100, QChar(u'b'))), Value::integer(5)});
        w.close();
    }
    const QByteArray good = readFile(path);
    ASSERT_EQ(readInProcess(good), 0);
    // The user table's definition is the first page after the system tables' pages that owns data.
    quint32 owner = 0;
    for (quint32 p = 6; p < quint32(good.size() / kPage) && !owner; ++p)
        if (good[qsizetype(p) * kPage] == 0x02)
            owner = p;
    ASSERT_NE(owner, 0u);
    std::vector<SlotRef> forwards, movedData;
    SlotRef live{};
    for (const SlotRef& s : userSlots(good, owner)) {
        if ((s.raw & 0xc000) == 0x4000)
            forwards.push_back(s);
        else if ((s.raw & 0xc000) == 0x8000)
            movedData.push_back(s);
        else
            live = s;
    }
    ASSERT_EQ(forwards.size(), 2u);
    ASSERT_EQ(movedData.size(), 2u);
    const SlotRef fw = forwards[0];
    const qsizetype pointerAt = qsizetype(fw.page) * kPage + (fw.raw & 0x1fff);
    const quint32 pages = quint32(good.size() / kPage);

    struct Case {
        const char* what;
        std::function<void(QByteArray&)> damage;
    };
    const std::vector<Case> cases = {
        {"page past the end", [&](QByteArray& b) { put32(b, pointerAt, (pages + 3) << 8); }},
        {"page far past the end", [&](QByteArray& b) { put32(b, pointerAt, 0xffffff00u); }},
        {"page 0", [&](QByteArray& b) { put32(b, pointerAt, 0); }},
        {"a row the page does not have",
         [&](QByteArray& b) { put32(b, pointerAt, movedData[0].page << 8 | 250); }},
        {"itself (a loop)", [&](QByteArray& b) { put32(b, pointerAt, fw.page << 8 | quint32(fw.row)); }},
        {"another forwarding slot",
         [&](QByteArray& b) { put32(b, pointerAt, forwards[1].page << 8 | quint32(forwards[1].row)); }},
        {"two forwarding slots pointing at each other",
         [&](QByteArray& b) {
             put32(b, pointerAt, forwards[1].page << 8 | quint32(forwards[1].row));
             put32(b, qsizetype(forwards[1].page) * kPage + (forwards[1].raw & 0x1fff),
                   fw.page << 8 | quint32(fw.row));
         }},
        {"a live row", [&](QByteArray& b) { put32(b, pointerAt, live.page << 8 | quint32(live.row)); }},
        {"moved data since deleted",
         [&](QByteArray& b) {
             const quint32 target = le32(b, pointerAt);
             for (const SlotRef& m : movedData)
                 if ((m.page << 8 | quint32(m.row)) == target)
                     put16(b, m.at, m.raw | 0xc000);
         }},
        {"the catalog's page",
         [&](QByteArray& b) {
             for (quint32 p = 6; p < pages; ++p)
                 if (b[qsizetype(p) * kPage] == 0x01 && le32(b, qsizetype(p) * kPage + 4) == 2) {
                     put32(b, pointerAt, p << 8);
                     return;
                 }
         }},
    };
    const QString where = QStringLiteral("データページ %1 の行 %2").arg(fw.page).arg(fw.row);
    for (const Case& c : cases) {
        QByteArray b = good;
        c.damage(b);
        ASSERT_NE(b, good) << c.what;
        QString message;
        EXPECT_EQ(readInProcess(b, &message), errnum::UnrecognizedFormat) << c.what;
        EXPECT_TRUE(message.contains(where)) << c.what << ": " << message.toStdString();
    }

    // Slots bent at random: every outcome is a read or a 3343, in this process, never a crash.
    std::mt19937 random(18);
    std::vector<SlotRef> all = userSlots(good, owner);
    for (int i = 0; i < 400; ++i) {
        QByteArray b = good;
        for (int k = 0; k < 3; ++k) {
            const SlotRef& s = all[random() % all.size()];
            const quint16 flags = quint16((random() % 4) << 14);
            put16(b, s.at, (s.raw & 0x1fff) | flags);
            if (flags == 0x4000 && random() % 2)
                put32(b, qsizetype(s.page) * kPage + (s.raw & 0x1fff),
                      quint32(random() % (pages + 2)) << 8 | quint32(random() % 12));
        }
        const long n = readInProcess(b);
        EXPECT_TRUE(n == 0 || n == errnum::UnrecognizedFormat) << "case " << i << ": " << n;
    }
}

} // namespace
