#include "app/appsettings.h"

#include "platform/integertext.h"
#include "platform/pathresolver.h"
#include "platform/programfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace lirena {

namespace {

const QString kSettings = QStringLiteral("Settings");

} // namespace

QString AppSettings::exampleCourse(const QString &programFolder)
{
    const QString folder =
        QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral("../share/lirena/example-course")));
    return QFileInfo(QDir(folder).filePath(QStringLiteral("sayfa01.ini"))).isFile() ? folder : QString();
}

bool AppSettings::writeFirstSettings(const QString &path, const QString &courseFolder)
{
    if (courseFolder.isEmpty())
        return false;
    Profile settings(path);
    settings.writeString(kSettings, QStringLiteral("DataFolder"), courseFolder);
    settings.writeString(kSettings, QStringLiteral("LastChapter"), QStringLiteral("sayfa01.ini"));
    std::vector<std::pair<QString, QString>> groups;
    QFile list(QDir(courseFolder).filePath(QStringLiteral("lesson-groups.txt")));
    if (list.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QString &line : QString::fromUtf8(list.readAll()).split(u'\n')) {
            const qsizetype equals = line.indexOf(u'=');
            if (equals > 0)
                groups.emplace_back(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }
    settings.replaceSection(QStringLiteral("LessonGroups"), groups);
    return settings.save();
}

QString AppSettings::placeFile(const QString &programFolder)
{
    return ProgramFiles::place(programFolder, fileName(), [&](const QString &path) {
        return writeFirstSettings(path, exampleCourse(programFolder));
    });
}

QString AppSettings::readDataFolder(const Profile &profile, const QString &programFolder)
{
    QString folder = profile.readString(kSettings, QStringLiteral("DataFolder"), programFolder);
    folder.replace(u'\\', u'/');
    if (folder.isEmpty())
        folder = programFolder;
    if (QDir::isRelativePath(folder))
        folder = withTrailingSlash(programFolder) + folder;
    return withTrailingSlash(folder);
}

namespace {

// A choice of a list or a radio group: a value it does not offer would leave the
// control with no choice at all (no mark, no size), so it reads as the default.
int readChoice(const Profile &p, const QString &key, int count, int def)
{
    const int value = p.readInteger(kSettings, key, def);
    return value >= 0 && value < count ? value : def;
}

// The reading speed in tenths: "0,7" as the program writes it, "0.7" as a hand
// may; kept within 0,5..1,5, and 1,0 when it is no number at all.
int readReadingSpeed(const Profile &p)
{
    const QString text = p.readString(kSettings, QStringLiteral("ReadingSpeed"));
    std::optional<double> value = parseDecimalComma(text);
    bool ok = false;
    if (const double point = text.trimmed().toDouble(&ok); !value && ok)
        value = point;
    if (!value || !std::isfinite(*value))
        return 10;
    return int(std::lround(std::clamp(*value, 0.5, 1.5) * 10));
}

// Tenths with one decimal, as "Vedra.ini" keeps the speed: 10 gives "1,0".
QString formatReadingSpeed(int tenths)
{
    return QStringLiteral("%1,%2").arg(tenths / 10).arg(tenths % 10);
}

} // namespace

DisplayOptions AppSettings::readDisplayOptions(const Profile &p)
{
    DisplayOptions o;
    o.ImageSize = readChoice(p, QStringLiteral("ImageSize"), 5, o.ImageSize);
    o.ImageSizeType = readChoice(p, QStringLiteral("ImageSizeType"), 2, o.ImageSizeType);
    o.BackgroundColor = p.readInteger(kSettings, QStringLiteral("BackgroundColor"), o.BackgroundColor);
    o.MarkColor = p.readInteger(kSettings, QStringLiteral("MarkColor"), o.MarkColor);
    o.Test3WaitTime = QString::number(p.readInteger(kSettings, QStringLiteral("Test3WaitTime"), 5));
    const auto factor = parseDecimalComma(p.readString(kSettings, QStringLiteral("Test12WaitTime")));
    o.Test12WaitTime = formatDecimalComma(factor.value_or(1.2));
    o.MarkType = readChoice(p, QStringLiteral("MarkType"), 3, o.MarkType);
    o.ReadingSpeed = readReadingSpeed(p);
    return o;
}

bool AppSettings::readAuthorMode(const Profile &p)
{
    return p.readInteger(kSettings, QStringLiteral("AuthorMode"), 0) != 0;
}

RunState AppSettings::readRunState(const Profile &p)
{
    RunState r;
    r.LastScreenSize = readChoice(p, QStringLiteral("LastScreenSize"), 3, r.LastScreenSize);
    r.LastChapter = p.readString(kSettings, QStringLiteral("LastChapter"));
    r.MediaPosition = p.readInteger(kSettings, QStringLiteral("MediaPosition"), r.MediaPosition);
    return r;
}

void AppSettings::write(Profile &p, const RunState &r, const DisplayOptions &o)
{
    p.writeString(kSettings, QStringLiteral("LastChapter"), r.LastChapter);
    p.writeInteger(kSettings, QStringLiteral("MediaPosition"), r.MediaPosition);
    p.writeInteger(kSettings, QStringLiteral("LastScreenSize"), r.LastScreenSize);
    p.writeString(kSettings, QStringLiteral("Test3WaitTime"), o.Test3WaitTime);
    p.writeString(kSettings, QStringLiteral("Test12WaitTime"), o.Test12WaitTime);
    p.writeInteger(kSettings, QStringLiteral("MarkType"), o.MarkType);
    p.writeInteger(kSettings, QStringLiteral("ImageSize"), o.ImageSize);
    p.writeInteger(kSettings, QStringLiteral("ImageSizeType"), o.ImageSizeType);
    p.writeInteger(kSettings, QStringLiteral("BackgroundColor"), o.BackgroundColor);
    p.writeInteger(kSettings, QStringLiteral("MarkColor"), o.MarkColor);
    p.writeString(kSettings, QStringLiteral("ReadingSpeed"), formatReadingSpeed(std::clamp(o.ReadingSpeed, 5, 15)));
}

} // namespace lirena
