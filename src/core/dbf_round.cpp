#include "core/dbf_round.h"

#include <cmath>
#include <limits>

namespace kemnoa::core {
namespace {

using Wide = __int128;
constexpr qint64 One = 10000;

// Rounds a quotient half to even, as money arithmetic does.
Wide divideRoundEven(Wide num, Wide den) {
    Wide q = num / den;
    Wide r = num % den;
    if (r < 0)
        r = -r;
    const Wide twice = 2 * r;
    const Wide absDen = den < 0 ? -den : den;
    const bool negative = (num < 0) != (den < 0);
    if (twice > absDen || (twice == absDen && (q % 2 != 0)))
        q += negative ? -1 : 1;
    return q;
}

bool fits(Wide v) {
    return v >= std::numeric_limits<qint64>::min() && v <= std::numeric_limits<qint64>::max();
}

std::optional<Currency> multiply(Currency a, Currency b) {
    const Wide p = divideRoundEven(static_cast<Wide>(a.units) * b.units, One);
    if (!fits(p))
        return std::nullopt;
    return Currency{static_cast<qint64>(p)};
}

double fail(Prompter& prompter) {
    prompter.message(QStringLiteral("エラー発生"), QStringLiteral("dbfRound"), MsgIcon::Critical);
    return 0;
}

} // namespace

std::optional<Currency> Currency::fromDouble(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double scaled = std::nearbyint(value * 10000.0); // current rounding mode: to nearest even
    if (scaled < -9.2233720368547758e18 || scaled >= 9.2233720368547758e18)
        return std::nullopt;
    return Currency{static_cast<qint64>(scaled)};
}

double dbfRound(Prompter& prompter, Currency value, qint16 digits, qint16 mode) {
    const qint64 adjust = mode == 1 ? 9900 : mode == 2 ? 0 : 5000;
    Currency scale{One};
    const Currency ten{10 * One};
    for (int i = 0; i < std::abs(static_cast<int>(digits)); ++i) {
        if (digits >= 0) {
            auto s = multiply(scale, ten);
            if (!s)
                return fail(prompter);
            scale = *s;
        } else {
            scale.units = static_cast<qint64>(divideRoundEven(scale.units, 10));
        }
    }
    auto scaled = multiply(value, scale);
    if (!scaled)
        return fail(prompter);
    const Wide work = value.units > 0 ? static_cast<Wide>(scaled->units) + adjust
                                      : static_cast<Wide>(scaled->units) - adjust;
    if (!fits(work) || scale.units == 0)
        return fail(prompter);
    const qint64 whole = static_cast<qint64>(work / One); // cut towards zero
    return static_cast<double>(whole) / scale.toDouble();
}

double dbfRound(Prompter& prompter, double value, qint16 digits, qint16 mode) {
    auto c = Currency::fromDouble(value);
    if (!c)
        return fail(prompter);
    return dbfRound(prompter, *c, digits, mode);
}

} // namespace kemnoa::core
