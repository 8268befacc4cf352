#include "platform/xlsx/cell_values.h"

#include <gtest/gtest.h>

using namespace kemnoa::xlsx;

TEST(CellValues, TextsThatExcelReadsAsNumbers) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"123", 123}, {"007", 7},          {"-1,234.5", -1234.5}, {" 42 ", 42},           {"1e3", 1000},
        {"+.5", 0.5}, {"1234.50", 1234.5}, {"8710001", 8710001},  {"1,234,567", 1234567},
    };
    for (const Case& c : cases) {
        const auto v = numberFromText(c.text);
        ASSERT_TRUE(v) << c.text;
        EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
    }
}

TEST(CellValues, TextsThatStayText) {
    // Group separators must come in threes; long codes would lose digits as numbers.
    for (const char* text : {"", " ", "12a", "1,23", "1234,567", "A-100", "12-3", "1.2.3", "e5", "1e", "--1",
                             "1234567890123456", "0.1234567890123456", "９９", "1 2"})
        EXPECT_FALSE(numberFromText(text)) << text;
}

TEST(CellValues, NumbersAreWrittenInTheirShortestForm) {
    EXPECT_EQ(numberText(37), "37");
    EXPECT_EQ(numberText(0.1), "0.1");
    EXPECT_EQ(numberText(-1234.5), "-1234.5");
}
