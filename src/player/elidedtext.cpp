#include "player/elidedtext.h"

#include <algorithm>

namespace lirena {

QString elidedToWidth(const QString &text, const QFontMetrics &metrics, int width)
{
    width = std::max(width, 0);
    // Measuring lays the whole text out. No character that shows is narrower than a
    // pixel, so a text of more characters than the width has pixels cannot fit: only
    // its head is measured, with the ellipsis that the cut calls for.
    if (text.size() <= width)
        return metrics.elidedText(text, Qt::ElideRight, width);
    qsizetype head = width;
    if (head > 0 && text[head - 1].isHighSurrogate())
        --head;
    return metrics.elidedText(text.left(head) + u'…', Qt::ElideRight, width);
}

} // namespace lirena
