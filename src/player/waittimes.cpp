#include "player/waittimes.h"

#include "platform/integertext.h"

#include <cmath>

namespace lirena::WaitTimes {

std::optional<QString> stepTest3(const QString &shown, int steps)
{
    // Counted in 16 bits, as the up-down does.
    const qint16 n = qint16(shown.toInt() + steps);
    if (n < 1 || n > 60)
        return std::nullopt;
    return QString::number(n);
}

std::optional<QString> stepTest12(const QString &shown, int steps)
{
    // Tenths, kept exact: 4.9 and one more tenth is 5, not a hair above it.
    const double f = std::round((readingFactor(shown) + steps / 10.0) * 10) / 10;
    if (f < 1.0 || f > 5.0)
        return std::nullopt;
    return formatDecimalComma(f);
}

int test3Seconds(const QString &shown)
{
    return shown.toInt();
}

double readingFactor(const QString &shown)
{
    return parseDecimalComma(shown).value_or(1.2);
}

} // namespace lirena::WaitTimes
