#include "platform/registry.h"

#include <QFile>
#include <QTemporaryDir>

#include "../unprivileged.h"

#include <gtest/gtest.h>

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

TEST(Registry, AFileTheUserMayOnlyReadIsReadButNotWritten)
{
    if (ranAsNobody())
        return;
    QTemporaryDir dir;
    const QString file = dir.filePath("registry.ini");
    const QByteArray bytes = "[Software\\Brisel\\Lirena\\1.2]\r\nSourceFolder=/media/cdrom\r\n";
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    Registry registry(file);
    ASSERT_TRUE(registry.openKey("\\Software\\Brisel\\Lirena\\1.2", false));
    EXPECT_EQ(registry.readString("SourceFolder"), "/media/cdrom");
    EXPECT_FALSE(registry.writeString("SourceFolder", "/elsewhere"));
    EXPECT_EQ(registry.readString("SourceFolder"), "/media/cdrom");
    registry.closeKey();
    EXPECT_FALSE(registry.openKey("\\Software\\Other", true)); // nothing can be created there

    QFile f(file);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), bytes);
}
