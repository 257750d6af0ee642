#include "app/appsettings.h"

#include <QFile>
#include <QTemporaryDir>

#include "../qtprinters.h"

#include <gtest/gtest.h>

using namespace lirena;

namespace {

Profile profileWith(QTemporaryDir &dir, const QByteArray &text)
{
    const QString path = dir.filePath("Vedra.ini");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    file.close();
    return Profile(path);
}

} // namespace

TEST(AppSettings, NoFileGivesEveryDefault)
{
    QTemporaryDir dir;
    const Profile none(dir.filePath("Vedra.ini"));
    EXPECT_EQ(AppSettings::readDisplayOptions(none), DisplayOptions{});
    const DisplayOptions o = AppSettings::readDisplayOptions(none);
    EXPECT_EQ(o.BackgroundColor, 0x0127A9);
    EXPECT_EQ(o.MarkColor, 0x89C7F7);
    EXPECT_EQ(o.Test12WaitTime, "1,2");
    EXPECT_EQ(o.Test3WaitTime, "5");
    EXPECT_EQ(AppSettings::readRunState(none), RunState{});
    EXPECT_EQ(AppSettings::readDataFolder(none, "/opt/lirena/"), "/opt/lirena/");
}

TEST(AppSettings, DataFolderGetsItsSlashAndRelativeFoldersStartAtTheProgram)
{
    QTemporaryDir dir;
    EXPECT_EQ(AppSettings::readDataFolder(profileWith(dir, "[Settings]\nDataFolder=/media/cdrom\n"), "/opt/"),
              "/media/cdrom/");
    EXPECT_EQ(AppSettings::readDataFolder(profileWith(dir, "[Settings]\nDataFolder=/media/cdrom/\n"), "/opt/"),
              "/media/cdrom/");
    EXPECT_EQ(AppSettings::readDataFolder(profileWith(dir, "[Settings]\nDataFolder=kurs\\veri\n"), "/opt/"),
              "/opt/kurs/veri/");
}

TEST(AppSettings, FactorIsReadWithTheDecimalComma)
{
    QTemporaryDir dir;
    EXPECT_EQ(AppSettings::readDisplayOptions(profileWith(dir, "[Settings]\nTest12WaitTime=1,5\n")).Test12WaitTime,
              "1,5");
    EXPECT_EQ(AppSettings::readDisplayOptions(profileWith(dir, "[Settings]\nTest12WaitTime=1.5\n")).Test12WaitTime,
              "1,2");
    EXPECT_EQ(AppSettings::readDisplayOptions(profileWith(dir, "[Settings]\nTest12WaitTime=abc\n")).Test12WaitTime,
              "1,2");
    EXPECT_EQ(AppSettings::readDisplayOptions(profileWith(dir, "[Settings]\nTest12WaitTime=2,50\n")).Test12WaitTime,
              "2,5");
}

TEST(AppSettings, IntegersTakeHexAndFallBackWhenUnparsableOrNoChoice)
{
    QTemporaryDir dir;
    const Profile p = profileWith(dir, "[Settings]\nBackgroundColor=0x00FF00\nMarkType=x\nTest3WaitTime=012\n"
                                       "ImageSize=9\nImageSizeType=-1\nLastScreenSize=5\n");
    const DisplayOptions o = AppSettings::readDisplayOptions(p);
    EXPECT_EQ(o.BackgroundColor, 0x00FF00); // green: 0x00BBGGRR
    EXPECT_EQ(o.MarkType, 0);
    EXPECT_EQ(o.Test3WaitTime, "12");
    // A choice the controls do not offer would leave them with none.
    EXPECT_EQ(o.ImageSize, 0);
    EXPECT_EQ(o.ImageSizeType, 1);
    EXPECT_EQ(AppSettings::readRunState(p).LastScreenSize, 1);
    EXPECT_EQ(AppSettings::readDisplayOptions(profileWith(dir, "[Settings]\nMarkType=7\nImageSize=4\n")).MarkType, 0);
    EXPECT_EQ(AppSettings::readDisplayOptions(profileWith(dir, "[Settings]\nMarkType=2\nImageSize=4\n")).ImageSize, 4);
}

TEST(AppSettings, WritesEveryKeyInItsOrderAndKeepsTheRest)
{
    QTemporaryDir dir;
    Profile p = profileWith(dir, "[Settings]\r\nDataFolder=/media/cdrom\r\nMarkType=1\r\n\r\n"
                                 "[LessonGroups]\r\n01=Harfler\r\n");
    RunState run{"sayfa03.ini", 15230, 2};
    DisplayOptions o;
    o.MarkType = 2;
    o.Test12WaitTime = "1,5";
    AppSettings::write(p, run, o);
    ASSERT_TRUE(p.save());
    QFile file(dir.filePath("Vedra.ini"));
    file.open(QIODevice::ReadOnly);
    EXPECT_EQ(file.readAll(), QByteArray("[Settings]\r\nDataFolder=/media/cdrom\r\nMarkType=2\r\n"
                                         "LastChapter=sayfa03.ini\r\nMediaPosition=15230\r\nLastScreenSize=2\r\n"
                                         "Test3WaitTime=5\r\nTest12WaitTime=1,5\r\nImageSize=0\r\nImageSizeType=1\r\n"
                                         "BackgroundColor=75689\r\nMarkColor=9029623\r\nReadingSpeed=1,0\r\n\r\n"
                                         "[LessonGroups]\r\n01=Harfler\r\n"));
    const Profile back(dir.filePath("Vedra.ini"));
    EXPECT_EQ(AppSettings::readRunState(back), run);
    EXPECT_EQ(AppSettings::readDisplayOptions(back), o);
}

TEST(AppSettings, ReadingSpeedKeepsItsDecimalCommaAndItsRange)
{
    QTemporaryDir dir;
    auto speed = [&](const QByteArray &value) {
        return AppSettings::readDisplayOptions(profileWith(dir, "[Settings]\nReadingSpeed=" + value + "\n"))
            .ReadingSpeed;
    };
    EXPECT_EQ(speed("0,7"), 7);
    EXPECT_EQ(speed("1.3"), 13); // written by hand
    EXPECT_EQ(speed("0,1"), 5);
    EXPECT_EQ(speed("9"), 15);
    EXPECT_EQ(speed("hızlı"), 10);
    EXPECT_EQ(speed("nan"), 10);
    EXPECT_EQ(speed(""), 10);

    Profile p = profileWith(dir, "[Settings]\nReadingSpeed=1,0\nAuthorMode=1\n");
    DisplayOptions o;
    o.ReadingSpeed = 7;
    AppSettings::write(p, RunState{}, o);
    ASSERT_TRUE(p.save());
    QFile file(dir.filePath("Vedra.ini"));
    file.open(QIODevice::ReadOnly);
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("[Settings]\nReadingSpeed=0,7\nAuthorMode=1\n")) << text.toStdString();
    EXPECT_EQ(AppSettings::readDisplayOptions(Profile(dir.filePath("Vedra.ini"))).ReadingSpeed, 7);
}
