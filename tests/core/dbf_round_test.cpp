#include "core/dbf_round.h"
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

using namespace kemnoa;

TEST(DbfRound, FollowsTheRoundingModes) {
    struct Case {
        double value;
        qint16 digits;
        qint16 mode;
        double expected;
    };
    const Case cases[] = {
        {12.345, 2, 0, 12.35},
        {-12.345, 2, 0, -12.35},
        {12.345, 2, 2, 12.34},
        {1.001, 0, 1, 1},
        {1.2, 0, 1, 2},
        {1234.5678, 0, 2, 1234},
        {-1234.5678, 0, 2, -1234},
        {0, 0, 0, 0},
        {1250, -2, 0, 1300},
        {1249, -2, 0, 1200},
        {2.5, 0, 0, 3},
        {0.12345, 3, 0, 0.123},
    };
    for (const auto& c : cases) {
        test::ScriptedPrompter p;
        EXPECT_DOUBLE_EQ(core::dbfRound(p, c.value, c.digits, c.mode), c.expected)
            << c.value << " digits " << c.digits << " mode " << c.mode;
        EXPECT_TRUE(p.events.empty());
    }
}

TEST(DbfRound, ZeroScaleAndOverflowReportAnError) {
    for (auto [value, digits] : {std::pair<double, qint16>{5, -5}, {9.0e14, 4}, {1, 30}}) {
        test::ScriptedPrompter p;
        EXPECT_EQ(core::dbfRound(p, value, digits, 0), 0);
        EXPECT_EQ(p.messages(), QStringList{QStringLiteral("[dbfRound] エラー発生")})
            << value << ' ' << digits;
    }
}
