#include "platform/text/cp932.h"

#include <gtest/gtest.h>

using namespace kemnoa::text;

TEST(Cp932, RoundTripsJapaneseAndAscii) {
    const QString s = QStringLiteral("ABCあ漢字ｶﾀｶﾅ①⑳～－");
    bool lossless = false;
    const QByteArray b = toCp932(s, &lossless);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(fromCp932(b), s);
    EXPECT_EQ(*fromCp932Strict(b), s);
}

TEST(Cp932, ByteLengthCountsDoubleByteCharactersTwice) {
    struct Case {
        QString text;
        qsizetype bytes;
    };
    const Case cases[] = {
        {QStringLiteral("ABCあ"), 5}, {QString(), 0}, {QStringLiteral("ｱｲｳ"), 3}, {QStringLiteral("①"), 2}};
    for (const auto& c : cases)
        EXPECT_EQ(cp932Length(c.text), c.bytes) << c.text.toStdString();
}

TEST(Cp932, UnmappableCharactersBecomeQuestionMarks) {
    bool lossless = true;
    const QByteArray b = toCp932(QStringLiteral("a\U0001F600b€"), &lossless);
    EXPECT_FALSE(lossless);
    EXPECT_EQ(b, QByteArray("a?b?"));
}

TEST(Cp932, InvalidBytesAreToldApart) {
    const QByteArray bad("\x82", 1); // a lead byte with nothing after it
    EXPECT_FALSE(fromCp932Strict(bad).has_value());
    EXPECT_EQ(fromCp932(QByteArray("a\x82", 2)), QStringLiteral("a\uFFFD"));
}
