#include "platform/mountinfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>

using namespace lirena;

namespace {

QString table(QTemporaryDir &dir, const QString &discMount)
{
    const QString path = dir.filePath("mountinfo");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray mount = QFile::encodeName(discMount);
    mount.replace(" ", "\\040");
    file.write("22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
               "30 22 0:5 / /proc rw - proc proc rw\n"
               "41 22 11:0 / " + mount + " ro,relatime shared:9 - iso9660 /dev/sr0 ro\n");
    return path;
}

} // namespace

TEST(MountInfo, FolderOnADiscIsOnAnOpticalMount)
{
    QTemporaryDir dir;
    const QString disc = QDir(dir.path()).filePath("cd rom");
    QDir().mkpath(disc + "/kurs");
    const QString mounts = table(dir, QDir(disc).canonicalPath());

    const MountPoint mount = mountOf(disc + "/kurs/", mounts);
    EXPECT_EQ(mount.mountPoint, QDir(disc).canonicalPath());
    EXPECT_EQ(mount.fsType, "iso9660");
    EXPECT_TRUE(isOpticalDisc(mount));
}

TEST(MountInfo, MissingFolderBelongsToTheMountOfItsNearestParent)
{
    QTemporaryDir dir;
    const QString disc = QDir(dir.path()).filePath("cdrom");
    QDir().mkpath(disc);
    const QString mounts = table(dir, QDir(disc).canonicalPath());
    EXPECT_TRUE(isOpticalDisc(mountOf(disc + "/not/there", mounts)));

    const MountPoint other = mountOf(dir.path(), mounts);
    EXPECT_EQ(other.mountPoint, "/");
    EXPECT_FALSE(isOpticalDisc(other));
}

TEST(MountInfo, UnreadableTableGivesTheRoot)
{
    const MountPoint mount = mountOf("/tmp", "/no/such/table");
    EXPECT_EQ(mount.mountPoint, "/");
    EXPECT_FALSE(isOpticalDisc(mount));
}

TEST(MountInfo, DiscFolderWithoutItsDiscNamesTheFolderTheDiscMountsOn)
{
    QTemporaryDir dir;
    const QString rootOnly = dir.filePath("mountinfo");
    QFile file(rootOnly);
    file.open(QIODevice::WriteOnly);
    file.write("22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
               "25 22 0:21 / /run rw - tmpfs tmpfs rw\n");
    file.close();

    for (const auto &[folder, drive] : {std::pair{"/media/cdrom/veri", "/media/cdrom"},
                                        std::pair{"/media/cdrom/", "/media/cdrom"},
                                        std::pair{"/mnt/kurs/a/b", "/mnt/kurs"},
                                        std::pair{"/run/media/ali/LIRENA/veri", "/run/media/ali/LIRENA"}}) {
        SCOPED_TRACE(folder);
        const Drive d = driveOf(folder, rootOnly);
        EXPECT_EQ(d.path, drive);
        EXPECT_TRUE(d.disc);
    }
    // Elsewhere, and with no folder below the usual places, the mount decides.
    for (const char *folder : {"/home/ali/kurs", "/media", "/run/media/ali", "/srv/media/cdrom/veri"}) {
        SCOPED_TRACE(folder);
        const Drive d = driveOf(folder, rootOnly);
        EXPECT_FALSE(d.disc);
        EXPECT_TRUE(d.path == "/" || d.path == "/run") << d.path.toStdString();
    }
    // A folder on a mounted disc keeps the mount's own name and type.
    const QString disc = QDir(dir.path()).filePath("cdrom");
    QDir().mkpath(disc);
    const Drive mounted = driveOf(disc + "/veri", table(dir, QDir(disc).canonicalPath()));
    EXPECT_EQ(mounted.path, QDir(disc).canonicalPath());
    EXPECT_TRUE(mounted.disc);
}
