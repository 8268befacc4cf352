#include "maintenance/err_data_rules.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace kemnoa::maintenance;

namespace {

class FakeMasters : public MasterLookup {
public:
    QSet<QString> ehj{QStringLiteral("E01")};
    QSet<QString> fuki{QStringLiteral("F001"), QStringLiteral("F002")};
    QSet<QString> names{QStringLiteral("ピスネーム")};
    QSet<QString> sizai{QStringLiteral("ピスネーム/S10")};
    QSet<QString> nouhin{QStringLiteral("N001")};
    bool hasEhj(const QString& v) override { return ehj.contains(v); }
    bool hasFuki(const QString& v) override { return fuki.contains(v); }
    bool hasName(const QString& v) override { return names.contains(v); }
    bool hasSizai(const QString& n, const QString& s) override { return sizai.contains(n + '/' + s); }
    bool hasNouhin(const QString& v) override { return nouhin.contains(v); }
};

// A correct order: one hang tag, one care label, one term line and one accessory.
OrderSnapshot goodOrder() {
    OrderSnapshot o;
    o.header = {{"ORD_NO", 1001},
                {"ORD_DATE", 20240115},
                {"KIBO_DATE", QStringLiteral("20240220")},
                {"KESSAI", QStringLiteral("日本決済")},
                {"NOU_CD", QStringLiteral("N001")}};
    o.posLines = {{{"GYOU", 1}, {"SU", 100}, {"EHJ", QString()}, {"FUKI1", QStringLiteral("F001")}}};
    o.carLines = {{{"GYOU", 1}, {"SU", 50}, {"EHJ", QStringLiteral("E01")}}};
    o.addFukiLines = {{{"GYOU", 1}, {"FUKI1", QStringLiteral("F002")}}};
    o.fuzokuLines = {{{"GYOU", 1},
                      {"NAME_NM", QStringLiteral("ピスネーム")},
                      {"SIZAI_CD", QStringLiteral("S10")},
                      {"SURYOKEI", 30},
                      {"SURYOMUJI", 10},
                      {"SURYO1", 20},
                      {"SURYO2", QVariant()}}};
    return o;
}

QStringList titles(const std::vector<Finding>& f) {
    QStringList t;
    for (const auto& x : f)
        t << x.title;
    return t;
}

TEST(MasterCheckRules, ACorrectOrderHasNoFindings) {
    FakeMasters m;
    EXPECT_TRUE(checkOrder(goodOrder(), m).empty());
}

TEST(MasterCheckRules, Dates) {
    EXPECT_TRUE(isValidYmd(QStringLiteral("20240229")));
    for (const char* bad : {"20230229", "2024011", "2024-1-1", "", "20241301", "２０２４０１０１"})
        EXPECT_FALSE(isValidYmd(QString::fromUtf8(bad))) << bad;

    FakeMasters m;
    auto o = goodOrder();
    o.header["ORD_DATE"] = 20241340;
    o.header["KIBO_DATE"] = QStringLiteral("2024/02/20");
    auto f = checkOrder(o, m);
    ASSERT_EQ(titles(f), (QStringList{QStringLiteral("発注日エラー"), QStringLiteral("希望納期エラー")}));
    EXPECT_EQ(f[0].value, QStringLiteral("20241340"));
    EXPECT_EQ(f[1].value, QStringLiteral("2024/02/20"));

    o = goodOrder();
    o.header["KIBO_DATE"] = QStringLiteral("20240110");
    f = checkOrder(o, m);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_TRUE(f[0].message.contains(QStringLiteral("発注日")));
}

TEST(MasterCheckRules, SettlementAndDestination) {
    FakeMasters m;
    auto o = goodOrder();
    o.header["KESSAI"] = QStringLiteral("韓国決済");
    o.header["NOU_CD"] = QStringLiteral("999");
    auto f = checkOrder(o, m);
    ASSERT_EQ(titles(f), (QStringList{QStringLiteral("決済区分エラー"), QStringLiteral("納品先エラー")}));
    EXPECT_EQ(f[1].value, QStringLiteral("999"));
    for (const QVariant& nou : {QVariant(), QVariant(QStringLiteral("  "))}) {
        o = goodOrder();
        o.header["NOU_CD"] = nou;
        EXPECT_EQ(titles(checkOrder(o, m)), QStringList{QStringLiteral("納品先エラー")});
    }
    o = goodOrder();
    o.header["KESSAI"] = QStringLiteral("中国決済");
    EXPECT_TRUE(checkOrder(o, m).empty());
}

TEST(MasterCheckRules, LinesAgainstTheMasters) {
    FakeMasters m;
    auto o = goodOrder();
    o.posLines[0]["SU"] = 0;
    o.carLines[0]["EHJ"] = QStringLiteral("E99");
    o.carLines[0]["FUKI3"] = QStringLiteral("F404");
    o.carLines[0]["GYOU"] = 2;
    const auto f = checkOrder(o, m);
    ASSERT_EQ(titles(f), (QStringList{QStringLiteral("数量エラー"), QStringLiteral("絵表示エラー"),
                                      QStringLiteral("付記用語エラー")}));
    EXPECT_TRUE(f[0].message.startsWith(QStringLiteral("下札1行目")));
    EXPECT_TRUE(f[1].message.startsWith(QStringLiteral("洗濯ネーム2行目")));
    EXPECT_EQ(f[2].value, QStringLiteral("F404"));
    EXPECT_TRUE(f[2].message.contains(QStringLiteral("FUKI3")));
}

TEST(MasterCheckRules, Accessories) {
    FakeMasters m;
    auto o = goodOrder();
    o.fuzokuLines[0]["SIZAI_CD"] = QStringLiteral("S99");
    o.fuzokuLines[0]["SURYO1"] = 25; // 10 + 25 != 30
    auto f = checkOrder(o, m);
    ASSERT_EQ(titles(f), (QStringList{QStringLiteral("資材エラー"), QStringLiteral("数量合計エラー")}));
    EXPECT_EQ(f[1].value, QStringLiteral("合計 30 / 内訳 35"));

    o = goodOrder();
    o.fuzokuLines[0]["NAME_NM"] = QStringLiteral("不明");
    o.fuzokuLines[0]["SURYOKEI"] = QVariant();
    f = checkOrder(o, m);
    EXPECT_EQ(titles(f), (QStringList{QStringLiteral("名称エラー"), QStringLiteral("数量エラー")}));
}

TEST(MasterCheckRules, AnOrderWithoutLines) {
    FakeMasters m;
    auto o = goodOrder();
    o.posLines.clear();
    o.carLines.clear();
    o.fuzokuLines.clear();
    EXPECT_EQ(titles(checkOrder(o, m)), QStringList{QStringLiteral("明細なしエラー")});
}

} // namespace
