#pragma once

#include <QString>

#include <optional>

namespace lirena {

// The exercises' waiting times as the options page shows and stores them:
// the TEST3 finding time in whole seconds, 1 to 60, and the TEST1 and TEST2
// reading time as a multiple of the segment's length, 1 to 5 in tenths,
// written with a decimal comma. Stored values outside the ranges are taken
// as they are; stepping never leaves the ranges.
namespace WaitTimes {

// The shown finding time after steps of one second, or none when that leaves 1..60.
std::optional<QString> stepTest3(const QString &shown, int steps);
// The shown reading factor after steps of a tenth, or none when that leaves 1..5.
std::optional<QString> stepTest12(const QString &shown, int steps);
// The finding time in seconds of a shown value (0 when it is no number).
int test3Seconds(const QString &shown);
// The reading factor of a shown value (1.2 when it is no number).
double readingFactor(const QString &shown);

} // namespace WaitTimes

} // namespace lirena
