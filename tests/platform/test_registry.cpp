#include "platform/registry.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace lirena;

TEST(Registry, KeysAreOpenedWithoutCreatingThemUnlessAsked)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("registry.ini");
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("[Software\\Brisel\\Lirena\\1.2]\r\nSourceFolder=/media/cdrom\r\n");
    }
    Registry registry(file);
    ASSERT_TRUE(registry.openKey("\\Software\\Brisel\\Lirena\\1.2", false));
    EXPECT_EQ(registry.readString("SourceFolder"), "/media/cdrom");
    EXPECT_EQ(registry.readString("Missing"), "");
    EXPECT_TRUE(registry.valueExists("sourcefolder"));
    EXPECT_FALSE(registry.valueExists("Missing"));
    registry.closeKey();

    EXPECT_FALSE(registry.openKey("\\Software\\Other", false));
    ASSERT_TRUE(registry.openKey("\\Software\\Other", true));
    ASSERT_TRUE(registry.writeString("mp3", "MPEGVideo"));
    registry.closeKey();

    Registry again(file);
    ASSERT_TRUE(again.openKey("Software\\Other\\", false));
    EXPECT_EQ(again.readString("MP3"), "MPEGVideo");
}

TEST(Registry, MissingFileHasNoKeys)
{
    QTemporaryDir dir;
    Registry registry(dir.filePath("none.ini"));
    EXPECT_FALSE(registry.openKey("\\Software\\Brisel\\Lirena\\1.2", false));
    EXPECT_EQ(registry.readString("SourceFolder"), "");
}

TEST(Registry, AFileTheUserMayNotWriteCannotBeOpened)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write every file";
    QTemporaryDir dir;
    const QString file = dir.filePath("registry.ini");
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("[Key]\nv=1\n");
    }
    QFile::setPermissions(file, QFileDevice::ReadOwner);
    Registry registry(file);
    EXPECT_FALSE(registry.openKey("Key", false));
}
