#include "app/mediacheck.h"

#include "../qtprinters.h"
#include "../unprivileged.h"
#include "platform/profile.h"
#include "platform/registry.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

const char *const kMci32 = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\MCI32";
const char *const kExtensions = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\MCI Extensions";
const char *const kDrivers = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";

struct System
{
    QTemporaryDir dir;
    QString registry = dir.filePath("registry.ini");
    QString systemIni = dir.filePath("system.ini");
    QString winIni = dir.filePath("win.ini");

    void write(const QString &path, const QByteArray &text)
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
    }
    QByteArray read(const QString &path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
    QString value(const char *key, const char *name)
    {
        Registry r(registry);
        return r.openKey(key, false) ? r.readString(name) : QStringLiteral("<no key>");
    }
    void check(int version) { MediaCheck(registry, systemIni, winIni, version).CheckMp3Support(); }
};

} // namespace

TEST(MediaCheck, DriverNamedInAnyCaseWithBlanksIsTheDeviceEntry)
{
    System s;
    s.write(s.registry, QByteArray("[") + kMci32 + "]\nMPEGVideo=  mciqtz32.dll  \nMPEGVideo2=other.drv\n\n[" +
                            kExtensions + "]\nmp3=MPEGVideo\n");
    const QByteArray before = s.read(s.registry);
    s.check(6);
    EXPECT_EQ(s.read(s.registry), before); // nothing needed writing
}

TEST(MediaCheck, SecondEntryCountsAndMp3IsPointedAtIt)
{
    System s;
    s.write(s.registry, QByteArray("[") + kMci32 + "]\nMPEGVideo=other.drv\nMPEGVideo2=MCIQTZ32.DLL\n\n[" +
                            kExtensions + "]\nmp3=MPEGVideo\n");
    s.check(6);
    EXPECT_EQ(s.value(kExtensions, "mp3"), "MPEGVideo2");
    EXPECT_EQ(s.value(kMci32, "MPEGVideo3"), "");

    s.write(s.registry, QByteArray("[") + kMci32 + "]\nMPEGVideo2=MCIQTZ32.DLL\n\n[" + kExtensions +
                            "]\nmp3=mpegvideo2\n");
    const QByteArray before = s.read(s.registry);
    s.check(6); // already that name, in another letter case: left alone
    EXPECT_EQ(s.read(s.registry), before);
}

TEST(MediaCheck, NeitherEntryNamesTheDriverSoTheThirdIsWritten)
{
    System s;
    s.write(s.registry, QByteArray("[") + kMci32 + "]\nMPEGVideo=other.drv\n");
    s.check(6);
    EXPECT_EQ(s.value(kMci32, "MPEGVideo3"), "MCIQTZ32.DLL");
    EXPECT_EQ(s.value(kExtensions, "mp3"), "MPEGVideo3"); // the key was created
}

TEST(MediaCheck, CodecIsRegisteredOnlyWhereItsKeyExists)
{
    System s;
    s.write(s.registry, QByteArray("[") + kDrivers + "]\nmsacm.l3acm=old.acm\n");
    s.check(6);
    EXPECT_EQ(s.value(kDrivers, "msacm.l3acm"), "L3CODECA.ACM");
    EXPECT_EQ(s.value(kMci32, "MPEGVideo"), "<no key>"); // keys are not created from nothing
    EXPECT_EQ(s.value(kExtensions, "mp3"), "<no key>");

    System empty;
    empty.check(6);
    EXPECT_FALSE(QFile::exists(empty.registry));
}

TEST(MediaCheck, NewerSystemsLeaveTheIniFilesAlone)
{
    System s;
    s.check(5);
    EXPECT_FALSE(QFile::exists(s.systemIni));
    EXPECT_FALSE(QFile::exists(s.winIni));
}

TEST(MediaCheck, OlderSystemsRepairSystemIniAndWinIni)
{
    System s;
    s.write(s.systemIni, "[mci]\nMPEGVideo=mciqtz.drv\n\n[drivers32]\nmsacm.l3acm=other.acm\n");
    s.check(4);
    EXPECT_EQ(Profile(s.systemIni).readString("drivers32", "msacm.l3acm"), "other.acm"); // a value stays
    EXPECT_EQ(Profile(s.winIni).readString("mci extensions", "mp3"), "MPEGVideo");

    System t;
    t.check(4);
    EXPECT_EQ(Profile(t.systemIni).readString("mci", "MPEGVideo3"), "MCIQTZ.DRV");
    EXPECT_EQ(Profile(t.systemIni).readString("drivers32", "msacm.l3acm"), "L3CODECA.ACM");
    EXPECT_EQ(Profile(t.winIni).readString("mci extensions", "mp3"), "MPEGVideo3");
}

TEST(MediaCheck, FilesTheUserMayNotWriteAreSkippedSilently)
{
    if (ranAsNobody())
        return;
    System s;
    s.write(s.registry, QByteArray("[") + kMci32 + "]\nMPEGVideo=other.drv\n");
    const QByteArray before = s.read(s.registry);
    QFile::setPermissions(s.registry, QFileDevice::ReadOwner);
    s.check(6);
    EXPECT_EQ(s.value(kMci32, "MPEGVideo3"), "");
    EXPECT_EQ(s.read(s.registry), before);
}

TEST(MediaCheck, VersionIsTheKernelsMajorVersion)
{
    EXPECT_GE(MediaCheck::WindowsMajorVersion(), 3);
}
