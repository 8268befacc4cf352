#include "core/error.h"
#include "receiving/order_mapping.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace kemnoa::receiving;

namespace {

// A file row given by column name; columns not named are Null.
SourceValues row(const TableDef& t, const QMap<QString, QVariant>& values) {
    SourceValues v(t.columns.size());
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        v[i] = values.value(t.columns[i].name);
    return v;
}

// A complete line with numbers where the table needs them and the given overrides.
SourceValues line(const TableDef& t, QMap<QString, QVariant> values) {
    for (const auto& c : t.columns)
        if (c.form == Form::Number && !values.contains(c.name))
            values.insert(c.name, qint64(1));
    return row(t, values);
}

QVariant at(const TableDef& t, const WorkValues& out, const char* name) {
    const int i = static_cast<int>(t.names().indexOf(QString::fromLatin1(name)));
    EXPECT_GE(i, 0) << name;
    return i < 0 ? QVariant() : out[i];
}

TEST(OrderTables, ColumnCountsAndOrder) {
    EXPECT_EQ(headerTable().columns.size(), 38u);
    EXPECT_EQ(posTable().columns.size(), 102u);
    EXPECT_EQ(carTable().names(), posTable().names());
    EXPECT_EQ(addFukiTable().columns.size(), 11u);
    EXPECT_EQ(fuzokuTable().columns.size(), 29u);
    const QStringList pos = posTable().names();
    EXPECT_EQ(pos.indexOf(QStringLiteral("TAPH1")), 27);
    EXPECT_EQ(pos.indexOf(QStringLiteral("TAPP12")), 62);
    EXPECT_EQ(pos.indexOf(QStringLiteral("ORD_NO")), 90);
    EXPECT_EQ(pos.indexOf(QStringLiteral("FUKI8")), 101);
    EXPECT_EQ(headerTable().names().indexOf(QStringLiteral("BIKO5")), 37);
    EXPECT_EQ(ehjStaging().columns.size(), 14u);
    EXPECT_EQ(fukiStaging().columns.size(), 9u);
    // Emptied in this order by the delete-all command.
    EXPECT_EQ(deleteAllTables(),
              (QStringList{QStringLiteral("rcv_posdata"), QStringLiteral("rcv_addfukidata"),
                           QStringLiteral("rcv_fuzokudata"), QStringLiteral("rcv_denheaddata"),
                           QStringLiteral("rcv_csvdata"), QStringLiteral("rcv_errdata"),
                           QStringLiteral("rcv_cardata"), QStringLiteral("rcv_skdata"),
                           QStringLiteral("rrk_ehj"), QStringLiteral("rrk_fuki")}));
}

TEST(OrderMapping, ResolvesColumnsByNameIgnoringCaseAndNamesTheMissingOne) {
    QStringList file = addFukiTable().names();
    std::reverse(file.begin(), file.end());
    file[0] = file[0].toLower();
    file << QStringLiteral("EXTRA");
    const auto pos = resolveColumns(addFukiTable(), file);
    for (std::size_t i = 0; i < pos.size(); ++i)
        EXPECT_EQ(file[pos[i]].toUpper(), addFukiTable().columns[i].name);

    file.removeAll(QStringLiteral("FUKI_SU"));
    try {
        resolveColumns(addFukiTable(), file);
        FAIL();
    } catch (const kemnoa::core::Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("addfukidata")));
        EXPECT_TRUE(e.description().contains(QStringLiteral("FUKI_SU")));
    }
    // The header's system columns are not read from the file.
    QStringList header;
    for (const auto& c : headerTable().columns)
        if (!isHeaderSystemColumn(c.name))
            header << c.name;
    EXPECT_EQ(header.size(), 31);
    EXPECT_EQ(resolveColumns(headerTable(), header)[26], -1); // PO_NO
}

TEST(OrderMapping, HeaderGetsTheStatusOfANewOrder) {
    const TableDef& t = headerTable();
    const WorkValues out = mapHeader(row(t, {{"ORD_NO", qint64(1001)},
                                             {"ORD_DATE", qint64(20240105)},
                                             {"KIBO_DATE", QStringLiteral("20240201")},
                                             {"SIR_NM", QStringLiteral("株式会社'テスト'")},
                                             {"PO_NO", QStringLiteral("from the file")},
                                             {"ERR_SU", qint64(7)}}),
                                     1001);
    ASSERT_EQ(out.size(), 38);
    EXPECT_EQ(at(t, out, "ORD_NO"), QVariant(qint64(1001)));
    EXPECT_EQ(at(t, out, "SIR_NM").toString(), QStringLiteral("株式会社'テスト'"));
    EXPECT_EQ(at(t, out, "PO_NO").toString(), QString());
    EXPECT_EQ(at(t, out, "ERR_SU"), QVariant(qint64(0)));
    EXPECT_EQ(at(t, out, "PRN_SU"), QVariant(qint64(0)));
    EXPECT_EQ(at(t, out, "SEND_FLG").toString(), QStringLiteral("9"));
    // Null text is written as empty text, never as a Null.
    EXPECT_FALSE(at(t, out, "BIKO3").isNull());
    EXPECT_FALSE(at(t, out, "ORD_SAKI_NM").isNull());
    EXPECT_EQ(at(t, out, "BIKO3").toString(), QString());
}

TEST(OrderMapping, NumberColumnsRejectNullAndTextNamingTableOrderAndColumn) {
    const TableDef& t = posTable();
    try {
        mapLine(t, line(t, {{"SU", QVariant()}}), 1234);
        FAIL();
    } catch (const kemnoa::core::Error& e) {
        EXPECT_EQ(e.number(), importerr::NullNumber);
        for (const char* part : {"posdata", "1234", "SU"})
            EXPECT_TRUE(e.description().contains(QString::fromLatin1(part))) << e.description().toStdString();
    }
    EXPECT_THROW(mapLine(t, line(t, {{"GYOU", QStringLiteral("abc")}}), 1), kemnoa::core::Error);
    // A number held as text converts; a fraction is kept.
    EXPECT_EQ(at(t, mapLine(t, line(t, {{"SU", QStringLiteral(" 12 ")}}), 1), "SU"), QVariant(qint64(12)));
    EXPECT_EQ(at(t, mapLine(t, line(t, {{"SU", 2.5}}), 1), "SU"), QVariant(2.5));
}

TEST(OrderMapping, TextColumnsTakeNumbersInPlainForm) {
    EXPECT_EQ(textValue(QVariant(100.0)), QStringLiteral("100"));
    EXPECT_EQ(textValue(QVariant(12.5)), QStringLiteral("12.5"));
    EXPECT_EQ(textValue(QVariant(qint64(-3))), QStringLiteral("-3"));
    EXPECT_FALSE(textValue(QVariant()).isNull());
    EXPECT_TRUE(isZero(QVariant(0.0)));
    EXPECT_TRUE(isZero(QStringLiteral("0")));
    EXPECT_FALSE(isZero(QStringLiteral("")));
    EXPECT_FALSE(isZero(QVariant()));
    EXPECT_FALSE(isZero(QStringLiteral("10")));
}

// Quality lines 1 and 2 in use, the rest empty with TAPR 0.
QMap<QString, QVariant> twoQualityLines() {
    QMap<QString, QVariant> v;
    for (int i = 1; i <= 12; ++i) {
        v.insert(QStringLiteral("TAPR%1").arg(i), qint64(0));
        v.insert(QStringLiteral("TAPH%1").arg(i), QStringLiteral(""));
    }
    v[QStringLiteral("TAPH1")] = QStringLiteral("綿");
    v[QStringLiteral("TAPR1")] = qint64(80);
    v[QStringLiteral("TAPP1")] = QStringLiteral("％");
    v[QStringLiteral("TAPH2")] = QStringLiteral("ポリウレタン");
    v[QStringLiteral("TAPR2")] = qint64(20);
    v[QStringLiteral("TAPP2")] = QStringLiteral("％");
    v[QStringLiteral("TAPHN")] = QStringLiteral("ＡＢＣ－１２３");
    return v;
}

TEST(OrderMapping, HangTagCopiesQualityLinesWhileTheSeventhIsUnused) {
    const TableDef& t = posTable();
    const WorkValues out = mapLine(t, line(t, twoQualityLines()), 1);
    EXPECT_EQ(at(t, out, "TAPH1").toString(), QStringLiteral("綿"));
    EXPECT_EQ(at(t, out, "TAPR1").toString(), QStringLiteral("80"));
    EXPECT_EQ(at(t, out, "TAPP2").toString(), QStringLiteral("％")); // hang tags are not narrowed
    EXPECT_EQ(at(t, out, "TAPR3").toString(), QString());            // 0 as empty text
    EXPECT_FALSE(at(t, out, "TAPR3").isNull());
    EXPECT_EQ(at(t, out, "TAPHN").toString(), QStringLiteral("ＡＢＣ－１２３"));
}

TEST(OrderMapping, HangTagGetsTheFixedTextWhenTheSeventhLineIsUsedOrItsShareIsNull) {
    const TableDef& t = posTable();
    auto seventhUsed = twoQualityLines();
    seventhUsed[QStringLiteral("TAPH7")] = QStringLiteral("レーヨン");
    auto shareNull = twoQualityLines();
    shareNull[QStringLiteral("TAPR7")] = QVariant();
    auto shareSet = twoQualityLines();
    shareSet[QStringLiteral("TAPR7")] = qint64(5);
    for (const auto& values : {seventhUsed, shareNull, shareSet}) {
        const WorkValues out = mapLine(t, line(t, values), 1);
        const QStringList fixed{QStringLiteral("品質については"), QStringLiteral("洗濯ネームを"),
                                QStringLiteral("ご参照して"), QStringLiteral("下さい")};
        for (int i = 1; i <= 12; ++i) {
            const QByteArray n = QByteArray::number(i);
            EXPECT_EQ(at(t, out, ("TAPH" + n).constData()).toString(), i <= 4 ? fixed[i - 1] : QString());
            EXPECT_EQ(at(t, out, ("TAPR" + n).constData()).toString(), QString());
            EXPECT_EQ(at(t, out, ("TAPP" + n).constData()).toString(), QString());
        }
    }
}

TEST(OrderMapping, CareLabelKeepsTwelveLinesAndNarrowsItsText) {
    const TableDef& t = carTable();
    auto v = twoQualityLines();
    v[QStringLiteral("TAPH7")] = QStringLiteral("レーヨン");
    v[QStringLiteral("TAPR7")] = qint64(0);
    v[QStringLiteral("TAPP7")] = QStringLiteral("（裏地）");
    const WorkValues out = mapLine(t, line(t, v), 1);
    EXPECT_EQ(at(t, out, "TAPH7").toString(), QStringLiteral("レーヨン")); // TAPH is not narrowed
    EXPECT_EQ(at(t, out, "TAPR7").toString(), QString());
    EXPECT_EQ(at(t, out, "TAPP7").toString(), QStringLiteral("(裏地)"));
    EXPECT_EQ(at(t, out, "TAPP1").toString(), QStringLiteral("%"));
    EXPECT_EQ(at(t, out, "TAPHN").toString(), QStringLiteral("ABC-123"));
}

TEST(OrderMapping, StagingWritesEveryValueAsText) {
    const TableDef& t = ehjStaging();
    const WorkValues out = mapStaging(t, row(t, {{"EHJ_NO", qint64(15)},
                                                 {"UPD", QStringLiteral("2024/01/01")},
                                                 {"SYORI_FLG", QStringLiteral("X")}}));
    ASSERT_EQ(out.size(), 14);
    EXPECT_EQ(out[0], QVariant(QStringLiteral("15")));
    EXPECT_FALSE(out[1].isNull());
    EXPECT_EQ(out[13].toString(), QStringLiteral("X"));
}

} // namespace
