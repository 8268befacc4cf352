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

TEST(Cp932, TextAndBytesOfTheCodePage) {
    // Written out from the code page's table, not produced by the encoder under test.
    struct Case {
        const char* text;
        const char* bytes;
    };
    const Case cases[] = {
        {"あ", "82A0"},
        {"～", "8160"},
        {"①", "8740"},
        {"ｱ", "B1"},
        {"A~\\", "417E5C"},
        {"－", "817C"},
        {"￥", "818F"},
        {"∥", "8161"},
        {"￢", "81CA"},
        {"漢字", "8ABF8E9A"},
        {"Ⅰ", "8754"},
        {"㍉", "875F"},
        {"≒", "81E0"},
        {"ｶﾞ｡", "B6DEA1"},
        {"ー―", "815B815C"},
        {"ヴ", "8394"},
        {"新しい値", "905682B582A2926C"},
        {"\t接続成功\r\n", "0990DA91B190AC8CF70D0A"},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const QByteArray bytes = QByteArray::fromHex(c.bytes);
        bool lossless = false;
        EXPECT_EQ(toCp932(text, &lossless).toHex().toUpper(), QByteArray(c.bytes)) << c.text;
        EXPECT_TRUE(lossless) << c.text;
        EXPECT_EQ(fromCp932(bytes), text) << c.bytes;
        EXPECT_EQ(cp932Length(text), bytes.size()) << c.text;
    }
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
