#include "platform/integertext.h"

#include <QRegularExpression>

#include <limits>

namespace lirena {

namespace {

int digitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return 99;
}

} // namespace

std::optional<int> parseInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;

    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i].unicode());
        if (digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > qint64(std::numeric_limits<quint32>::max()))
            return std::nullopt;
    }
    // Hexadecimal text names the 32 bits themselves, so 0xFFFFFFFF is -1.
    if (base == 16 && !negative)
        return int(quint32(value));
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

std::optional<double> parseDecimalComma(QStringView text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*[+-]?(\d+(,\d*)?|,\d+)([eE][+-]?\d+)?\s*$)"));
    const QString s = text.toString();
    if (!pattern.match(s).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = s.trimmed().replace(u',', u'.').toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString formatDecimalComma(double value)
{
    return QString::number(value, 'g', 15).replace(u'.', u',');
}

} // namespace lirena
