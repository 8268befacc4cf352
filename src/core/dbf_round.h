#pragma once
// dbfRound: the rounding rule of prices and amounts, in fixed-point arithmetic with four decimals.

#include "core/prompter.h"

#include <QtGlobal>
#include <optional>

namespace kemnoa::core {

// A fixed-point amount with four decimals, as the database's money type.
struct Currency {
    qint64 units = 0; // ten-thousandths
    // Rounds to four decimals (half to even, as the conversion of a floating value to money does);
    // nothing when the value is out of range or not a number.
    static std::optional<Currency> fromDouble(double value);
    double toDouble() const { return static_cast<double>(units) / 10000.0; }
};

// Rounds value to digits decimals: mode 1 up (adds 0.99), mode 2 cut off, any other mode half away
// from zero. On an error (a zero scale, an overflow) shows "エラー発生" titled "dbfRound" and returns 0.
double dbfRound(Prompter& prompter, Currency value, qint16 digits, qint16 mode);
double dbfRound(Prompter& prompter, double value, qint16 digits, qint16 mode);

} // namespace kemnoa::core
