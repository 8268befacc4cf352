#include "platform/db/sql_text.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace kemnoa::db;

TEST(SqlText, QuoteDoublesEveryApostrophe) {
    const struct {
        QString in;
        QString out;
    } cases[] = {
        {QStringLiteral("abc"), QStringLiteral("'abc'")},
        {QStringLiteral("O'HARA"), QStringLiteral("'O''HARA'")},
        {QStringLiteral("''"), QStringLiteral("''''''")},
        {QString(), QStringLiteral("''")},
        {QStringLiteral("品質'表示"), QStringLiteral("'品質''表示'")},
        {QStringLiteral("a\\b"), QStringLiteral("'a\\b'")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(quote(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(quote(QVariant()), QStringLiteral("''"));
}

TEST(SqlText, ValueTextGivesPlainDecimalsAndEmptyNull) {
    EXPECT_EQ(valueText(QVariant()), QString());
    EXPECT_EQ(valueText(QVariant(QMetaType::fromType<QString>())), QString());
    EXPECT_EQ(valueText(1200.0), QStringLiteral("1200"));
    EXPECT_EQ(valueText(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(valueText(12345678901.0), QStringLiteral("12345678901"));
    EXPECT_EQ(valueText(qlonglong(20240131)), QStringLiteral("20240131"));
    EXPECT_TRUE(isNull(QVariant(QMetaType::fromType<int>())));
    EXPECT_FALSE(isNull(QVariant(QString(QLatin1String("")))));
}
