// The reference masters' CSV form: what is written reads back the same, and faults are named.

#include "core/error.h"
#include "masters/master_csv.h"

#include <gtest/gtest.h>

using namespace kemnoa;
using masters::RefMaster;

namespace {

TEST(MasterCsv, RoundTripsAwkwardValues) {
    const masters::MasterRows rows = {
        {"TAG", "T,01", "紙\"タグ\""}, {"CAR", "C01", "二行\r\nの名前"}, {"O'HARA", "", ""}};
    const QByteArray csv = masters::masterCsv(RefMaster::Sizai, rows);
    EXPECT_TRUE(csv.startsWith("name_nm,sizai_cd,sizai_nm\r\nTAG,\"T,01\",\"紙\"\"タグ\"\"\"\r\n"));
    EXPECT_EQ(masters::parseMasterCsv(RefMaster::Sizai, csv), rows);
    // An empty name type of the one-column master is a record, not a blank line.
    const masters::MasterRows names = {{"A"}, {""}, {"B"}};
    EXPECT_EQ(masters::parseMasterCsv(RefMaster::NameCode, masters::masterCsv(RefMaster::NameCode, names)),
              names);
}

TEST(MasterCsv, HeaderByNameOrCaptionInAnyOrder) {
    const QByteArray csv = "\xEF\xBB\xBF整列順,SIZE_VALUE\n1,S\n\n2,M\n";
    EXPECT_EQ(masters::parseMasterCsv(RefMaster::Size, csv), (masters::MasterRows{{"S", "1"}, {"M", "2"}}));
}

TEST(MasterCsv, FaultsAreRefusedWithTheirReason) {
    struct Case {
        const char* csv;
        const char* reason;
    };
    const Case cases[] = {
        {"", "見出し行がありません"},
        {"size_value\nS\n", "見出し「sort_lv」がありません"},
        {"size_value,sort_lv,colour\nS,1,red\n", "見出し「colour」はkemmst_sizeの列ではありません"},
        {"size_value,size_value,sort_lv\n", "二度あります"},
        {"size_value,sort_lv\nS\n", "1件目のレコードの項目数（1）が見出し（2）と合いません"},
        {"size_value,sort_lv\n\"S,1\n", "引用符が閉じていません"},
        {"size_value,sort_lv\n\"S\"x,1\n", "引用符の後に文字があります"},
    };
    for (const Case& c : cases) {
        try {
            (void)masters::parseMasterCsv(RefMaster::Size, QByteArray(c.csv));
            ADD_FAILURE() << "accepted: " << c.csv;
        } catch (const core::Error& e) {
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.reason)))
                << e.description().toStdString();
        }
    }
}

} // namespace
