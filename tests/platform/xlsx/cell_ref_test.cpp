#include "platform/xlsx/cell_ref.h"

#include <gtest/gtest.h>

using namespace kemnoa::xlsx;

TEST(CellRef, ParsesAndFormatsReferences) {
    struct Case {
        const char* text;
        uint32_t r1, c1, r2, c2;
        const char* formatted;
    } cases[] = {
        {"A1", 1, 1, 1, 1, "A1"},
        {"AU1", 1, 47, 1, 47, "AU1"},
        {"B27:D27", 27, 2, 27, 4, "B27:D27"},
        {"$BC$3", 3, 55, 3, 55, "BC3"},
        {"D27:B25", 25, 2, 27, 4, "B25:D27"}, // corners put in order
        {"XFD1048576", 1048576, 16384, 1048576, 16384, "XFD1048576"},
    };
    for (const Case& c : cases) {
        const auto r = parseRangeRef(c.text);
        ASSERT_TRUE(r) << c.text;
        EXPECT_EQ(r->first, (CellRef{c.r1, c.c1})) << c.text;
        EXPECT_EQ(r->last, (CellRef{c.r2, c.c2})) << c.text;
        EXPECT_EQ(formatRangeRef(*r), c.formatted);
    }
}

TEST(CellRef, RefusesInvalidReferences) {
    for (const char* bad : {"", "A", "1", "A0", "XFE1", "A1048577", "A1:", "A-1", "AAAA1", "B2C", "A 1"})
        EXPECT_FALSE(parseRangeRef(bad)) << bad;
}
