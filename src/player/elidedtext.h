#pragma once

#include <QFontMetrics>
#include <QString>

namespace lirena {

// The text as it fits in width pixels: cut with "…" at the end when it is
// longer. Costs the same for a text of megabytes as for one that just fits:
// only as many characters are measured as could fit.
QString elidedToWidth(const QString &text, const QFontMetrics &metrics, int width);

} // namespace lirena
