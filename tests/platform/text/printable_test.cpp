// Values from order files and servers on their way to the log, the list and the terminal.

#include "platform/text/printable.h"

#include <gtest/gtest.h>

using kemnoa::text::printable;

TEST(Printable, ReplacesControlCharactersAndCutsLongValues) {
    struct Case {
        QString in;
        qsizetype max;
        QString want;
    } cases[] = {
        {QStringLiteral("受信成功(ORD1.mdb)"), 1000, QStringLiteral("受信成功(ORD1.mdb)")},
        // A CR LF that would start a forged log line.
        {QStringLiteral("a\r\n2024/01/01 0:00:00 月曜日\t成功"), 1000,
         QStringLiteral("a 2024/01/01 0:00:00 月曜日?成功")},
        {QStringLiteral("x\ry\nz"), 1000, QStringLiteral("x y z")},
        // A terminal escape sequence, DEL, a C1 control and a line separator.
        {QStringLiteral("\x1b[2J\x7f") + QChar(0x9B) + QChar(0x2028) + QStringLiteral("x"), 1000,
         QStringLiteral("?[2J???x")},
        {QString(5000, QLatin1Char('a')), 10, QString(10, QLatin1Char('a')) + QChar(0x2026)},
        // A cut never splits a character outside the basic plane.
        {QStringLiteral("ab") + QString::fromUcs4(U"\U00020BB7"), 3, QStringLiteral("ab") + QChar(0x2026)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(printable(c.in, c.max), c.want) << c.in.toStdString();
}
