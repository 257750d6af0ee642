#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace lirena {

// Parses an integer the way the course files expect: optional leading blanks, an
// optional sign, then decimal digits, or hexadecimal digits after "0x", "0X" or "$".
// Anything else, or a value outside 32 bits, gives no result.
std::optional<int> parseInteger(QStringView text);

// Parses a decimal number written with a decimal comma ("1,5"); a point is no
// separator here, so "1.5" gives no result.
std::optional<double> parseDecimalComma(QStringView text);

// Shortest general form of a number with a decimal comma: 1.6 gives "1,6", 2.0 gives "2".
QString formatDecimalComma(double value);

} // namespace lirena
