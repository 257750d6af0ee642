#include "lesson/splitfields.h"

namespace lirena {

QStringList SplitFields(const QString &text)
{
    QStringList fields;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'=' && text[end] != u'|')
            ++end;
        fields.append(text.mid(start, end - start));
        start = end + 1;
    }
    return fields;
}

} // namespace lirena
