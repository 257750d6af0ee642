#pragma once

#include <QString>
#include <QStringList>

namespace lirena {

// Cuts a text into fields at every "=" and every "|": "a||b" gives a, "", b;
// "|a" gives "", a; a trailing separator adds no field; "" gives no field.
QStringList SplitFields(const QString &text);

} // namespace lirena
