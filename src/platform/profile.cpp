#include "platform/profile.h"

#include <QHash>

#include "platform/integertext.h"

#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

namespace lirena {

namespace {

const char *const kTurkishCodePage = "windows-1254";

bool isAscii(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// Encodes text in the Turkish code page, or gives nothing when a character has no place in it.
std::optional<QByteArray> encodeTurkish(const QString &text)
{
    QStringEncoder encoder(kTurkishCodePage);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    QStringDecoder decoder(kTurkishCodePage);
    if (encoder.hasError() || decoder.decode(bytes) != text)
        return std::nullopt;
    return bytes;
}

// Values are one line each: a line break inside one would start a key or section of its own.
QString singleLine(QString value)
{
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

} // namespace

Profile::Profile(QString path) : mPath(std::move(path))
{
    read(nullptr);
}

Profile::Profile(QString path, const QString &onlySection) : mPath(std::move(path)), mPartial(true)
{
    read(&onlySection);
}

void Profile::read(const QString *onlySection)
{
    QFile file(mPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    mExisted = true;
    QByteArray bytes = file.readAll();

    if (bytes.startsWith("\xEF\xBB\xBF")) {
        mUtf8Bom = true;
        bytes.remove(0, 3);
    }
    QString text;
    if (mUtf8Bom || (!isAscii(bytes) && isValidUtf8(bytes))) {
        mEncoding = Encoding::Utf8;
        text = QString::fromUtf8(bytes);
    } else {
        mEncoding = Encoding::Windows1254;
        QStringDecoder decoder(kTurkishCodePage);
        text = decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);
    }

    const qsizetype firstBreak = text.indexOf(u'\n');
    mLineEnd = firstBreak > 0 && text[firstBreak - 1] == u'\r' ? QStringLiteral("\r\n") : QStringLiteral("\n");
    if (firstBreak < 0)
        mLineEnd = QStringLiteral("\r\n");

    bytes.clear();
    const QString wanted = onlySection ? onlySection->trimmed() : QString();
    bool inWanted = false;
    // Cut without a list of copies in between: a course file may hold a line of many megabytes.
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const bool last = end < 0;
        if (last)
            end = text.size();
        QStringView line = QStringView(text).sliced(start, end - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        // The text after the last line break is a line only when it holds something.
        if (last && line.isEmpty())
            break;
        start = end + 1;
        if (onlySection) {
            bool header = false;
            const QStringView name = sectionName(line, &header);
            if (header && inWanted)
                break;
            if (header)
                inWanted = name.compare(wanted, Qt::CaseInsensitive) == 0;
            if (!inWanted)
                continue;
        }
        mLines.push_back(line.toString());
    }
    collectWarnings();
}

bool Profile::tooLong(QStringView value) const
{
    // A UTF-16 unit takes one byte in the code page and one to three in UTF-8.
    if (value.size() > kMaxValueBytes)
        return true;
    if (mEncoding == Encoding::Windows1254 || value.size() * 3 <= kMaxValueBytes)
        return false;
    return value.toUtf8().size() > kMaxValueBytes;
}

void Profile::collectWarnings()
{
    QString section;
    for (int i = 0; i < int(mLines.size()); ++i) {
        bool header = false;
        const QStringView name = sectionName(mLines[i], &header);
        if (header) {
            section = name.toString();
            continue;
        }
        QStringView key, value;
        if (splitKeyLine(mLines[i], &key, &value) && tooLong(value)) {
            mWarnings.append(QStringLiteral("line %1: [%2] %3: a value longer than 1 MiB reads as empty")
                                 .arg(i + 1)
                                 .arg(section, key.left(100).toString()));
        }
    }
}

QStringView Profile::sectionName(QStringView line, bool *isHeader)
{
    const QStringView trimmed = line.trimmed();
    *isHeader = trimmed.startsWith(u'[');
    if (!*isHeader)
        return {};
    const qsizetype close = trimmed.indexOf(u']');
    return (close < 0 ? trimmed.sliced(1) : trimmed.sliced(1, close - 1)).trimmed();
}

bool Profile::splitKeyLine(QStringView line, QStringView *key, QStringView *value)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return false;
    if (line.trimmed().startsWith(u';'))
        return false;
    *key = line.left(eq).trimmed();
    *value = line.sliced(eq + 1).trimmed();
    return true;
}

Profile::Range Profile::findSection(const QString &section, int from) const
{
    Range range;
    const QString wanted = section.trimmed();
    for (int i = from; i < int(mLines.size()); ++i) {
        bool header = false;
        const QStringView name = sectionName(mLines[i], &header);
        if (!header)
            continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            range.header = i;
    }
    if (range.header >= 0)
        range.end = int(mLines.size());
    return range;
}

int Profile::findKey(const Range &range, const QString &key) const
{
    if (range.header < 0)
        return -1;
    const QString wanted = key.trimmed();
    for (int i = range.header + 1; i < range.end; ++i) {
        QStringView k, v;
        if (splitKeyLine(mLines[i], &k, &v) && k.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString Profile::valueAt(int line) const
{
    QStringView k, v;
    splitKeyLine(mLines[line], &k, &v);
    return tooLong(v) ? QString() : v.toString();
}

QString Profile::readString(const QString &section, const QString &key, const QString &def) const
{
    const int line = findKey(findSection(section), key);
    return line < 0 ? def : valueAt(line);
}

int Profile::readInteger(const QString &section, const QString &key, int def) const
{
    const int line = findKey(findSection(section), key);
    return line < 0 ? def : parseInteger(valueAt(line)).value_or(def);
}

bool Profile::sectionExists(const QString &section) const
{
    return findSection(section).header >= 0;
}

QStringList Profile::readSectionValues(const QString &section) const
{
    QStringList result;
    const Range range = findSection(section);
    if (range.header < 0)
        return result;
    QSet<QString> seen;
    for (int i = range.header + 1; i < range.end; ++i) {
        QStringView k, v;
        if (!splitKeyLine(mLines[i], &k, &v) || k.isEmpty())
            continue;
        const QString folded = k.toString().toCaseFolded();
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        if (!v.isEmpty() && !tooLong(v))
            result.append(k.toString() + u'=' + v.toString());
    }
    return result;
}

void Profile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString line = key.trimmed() + u'=' + singleLine(value);
    Range range = findSection(section);
    if (range.header < 0) {
        if (!mLines.empty() && !QStringView(mLines.back()).trimmed().isEmpty())
            mLines.push_back(QString());
        mLines.push_back(u'[' + section.trimmed() + u']');
        mLines.push_back(line);
        mDirty = true;
        return;
    }
    const int existing = findKey(range, key);
    if (existing >= 0) {
        if (mLines[existing] != line) {
            mLines[existing] = line;
            mDirty = true;
        }
        return;
    }
    // A new key goes after the section's last line that holds something.
    int insertAt = range.end;
    while (insertAt > range.header + 1 && QStringView(mLines[insertAt - 1]).trimmed().isEmpty())
        --insertAt;
    mLines.insert(mLines.begin() + insertAt, line);
    mDirty = true;
}

void Profile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void Profile::replaceSection(const QString &section, const std::vector<std::pair<QString, QString>> &values)
{
    eraseSection(section);
    if (values.empty())
        return;
    std::vector<QString> lines;
    QHash<QString, size_t> placeOf;
    for (const auto &[key, value] : values) {
        const QString line = key.trimmed() + u'=' + singleLine(value);
        const QString folded = key.trimmed().toCaseFolded();
        if (const auto found = placeOf.constFind(folded); found != placeOf.constEnd()) {
            lines[*found] = line;
            continue;
        }
        placeOf.insert(folded, lines.size());
        lines.push_back(line);
    }
    if (!mLines.empty() && !QStringView(mLines.back()).trimmed().isEmpty())
        mLines.push_back(QString());
    mLines.push_back(u'[' + section.trimmed() + u']');
    mLines.insert(mLines.end(), lines.begin(), lines.end());
    mDirty = true;
}

void Profile::eraseSection(const QString &section)
{
    // Reading sees only the first of sections that share a name; erasing takes them all, or a
    // later copy would come forward and be read in place of what was erased.
    for (Range range = findSection(section); range.header >= 0; range = findSection(section, range.header)) {
        mLines.erase(mLines.begin() + range.header, mLines.begin() + range.end);
        mDirty = true;
    }
}

bool Profile::save(QString *error)
{
    if (mPartial) {
        if (error)
            *error = QStringLiteral("Unable to write to %1: only a part of it was read").arg(mPath);
        return false;
    }
    QString text;
    for (const QString &line : mLines)
        text += line + mLineEnd;

    QByteArray bytes;
    if (mEncoding == Encoding::Windows1254) {
        if (auto encoded = encodeTurkish(text))
            bytes = *encoded;
        else
            mEncoding = Encoding::Utf8; // a character the code page lacks: keep every one of them
    }
    if (mEncoding == Encoding::Utf8)
        bytes = (mUtf8Bom ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();

    QSaveFile file(mPath);
    // A file the user may write, in a folder where the user may create nothing (a program
    // folder of root's, a course on a shared drive), is written in place: not atomic, but kept.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Unable to write to %1").arg(mPath);
        return false;
    }
    mExisted = true;
    mDirty = false;
    return true;
}

} // namespace lirena
