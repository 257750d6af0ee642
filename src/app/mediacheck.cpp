#include "app/mediacheck.h"

#include <QFileInfo>

#include "platform/profile.h"
#include "platform/registry.h"

#include <sys/utsname.h>

namespace lirena {

namespace {

const QString kMci32 = QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\MCI32");
const QString kMciExtensions = QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\MCI Extensions");
const QString kDrivers32 = QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32");
const QString kCodecKey = QStringLiteral("msacm.l3acm");
const QString kCodec = QStringLiteral("L3CODECA.ACM");

// Values are compared trimmed and upper-cased.
bool same(const QString &value, const QString &wanted)
{
    return value.trimmed().toUpper() == wanted.toUpper();
}

// Which of MPEGVideo, MPEGVideo2, MPEGVideo3 names the driver; the third is
// written when neither of the first two does.
template <class Read, class Write> QString deviceEntry(const QString &driver, Read read, Write write)
{
    if (same(read(QStringLiteral("MPEGVideo")), driver))
        return QStringLiteral("MPEGVideo");
    if (same(read(QStringLiteral("MPEGVideo2")), driver))
        return QStringLiteral("MPEGVideo2");
    write(QStringLiteral("MPEGVideo3"), driver);
    return QStringLiteral("MPEGVideo3");
}

} // namespace

MediaCheck::MediaCheck(QString registryFile, QString systemIni, QString winIni, int majorVersion)
    : mRegistryFile(std::move(registryFile)), mSystemIni(std::move(systemIni)), mWinIni(std::move(winIni)),
      mMajorVersion(majorVersion)
{
}

MediaCheck MediaCheck::forRegistry(const QString &registryFile)
{
    const QString folder = QFileInfo(registryFile).absolutePath();
    return MediaCheck(registryFile, folder + QStringLiteral("/system.ini"), folder + QStringLiteral("/win.ini"),
                      WindowsMajorVersion());
}

int MediaCheck::WindowsMajorVersion()
{
    utsname name{};
    if (uname(&name) != 0)
        return 0;
    return QString::fromLatin1(name.release).section(u'.', 0, 0).toInt();
}

void MediaCheck::CheckMp3SupportRegistry()
{
    Registry registry(mRegistryFile);
    if (registry.openKey(kMci32, false)) {
        const QString device = deviceEntry(
            QStringLiteral("MCIQTZ32.DLL"), [&](const QString &name) { return registry.readString(name); },
            [&](const QString &name, const QString &value) { registry.writeString(name, value); });
        registry.closeKey();
        if (registry.openKey(kMciExtensions, true) && !same(registry.readString(QStringLiteral("mp3")), device))
            registry.writeString(QStringLiteral("mp3"), device);
    }
    registry.closeKey();
    if (registry.openKey(kDrivers32, false) && !same(registry.readString(kCodecKey), kCodec))
        registry.writeString(kCodecKey, kCodec);
    registry.closeKey();
}

void MediaCheck::CheckMp3Support()
{
    CheckMp3SupportRegistry();
    if (mMajorVersion >= 5)
        return;

    // A file the user may not write keeps what it has: save() fails quietly.
    Profile system(mSystemIni);
    const QString device = deviceEntry(
        QStringLiteral("MCIQTZ.DRV"), [&](const QString &name) { return system.readString("mci", name); },
        [&](const QString &name, const QString &value) { system.writeString("mci", name, value); });
    if (system.readString(QStringLiteral("drivers32"), kCodecKey).isEmpty())
        system.writeString(QStringLiteral("drivers32"), kCodecKey, kCodec);
    if (system.isDirty())
        system.save();

    Profile win(mWinIni);
    if (!same(win.readString(QStringLiteral("mci extensions"), QStringLiteral("mp3")), device)) {
        win.writeString(QStringLiteral("mci extensions"), QStringLiteral("mp3"), device);
        win.save();
    }
}

} // namespace lirena
