#include "platform/registry.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace lirena {

QString Registry::defaultPath()
{
    return QStringLiteral("/etc/lirena/registry.ini");
}

Registry::Registry(QString filePath) : mFilePath(std::move(filePath)) {}

Registry::~Registry() = default;

QString Registry::sectionOf(const QString &key)
{
    QString section = key.trimmed();
    while (section.startsWith(u'\\'))
        section.remove(0, 1);
    while (section.endsWith(u'\\'))
        section.chop(1);
    return section;
}

bool Registry::mayWrite() const
{
    const QFileInfo info(mFilePath);
    if (info.exists())
        return ::access(QFile::encodeName(mFilePath).constData(), W_OK) == 0;
    return ::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) == 0;
}

bool Registry::openKey(const QString &key, bool canCreate)
{
    closeKey();
    const QString section = sectionOf(key);
    if (section.isEmpty())
        return false;
    auto profile = std::make_unique<Profile>(mFilePath);
    if (!profile->sectionExists(section) && !(canCreate && mayWrite()))
        return false;
    mProfile = std::move(profile);
    mSection = section;
    return true;
}

void Registry::closeKey()
{
    mProfile.reset();
    mSection.clear();
}

QString Registry::readString(const QString &name) const
{
    return mProfile ? mProfile->readString(mSection, name) : QString();
}

bool Registry::valueExists(const QString &name) const
{
    if (!mProfile)
        return false;
    const QString missing = QStringLiteral("\x01missing");
    return mProfile->readString(mSection, name, missing) != missing;
}

bool Registry::writeString(const QString &name, const QString &value)
{
    if (!mProfile || !mayWrite())
        return false;
    mProfile->writeString(mSection, name, value);
    QDir().mkpath(QFileInfo(mFilePath).absolutePath());
    return mProfile->save();
}

} // namespace lirena
