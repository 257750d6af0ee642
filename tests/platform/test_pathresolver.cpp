#include "platform/pathresolver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "../qtprinters.h"

#include <gtest/gtest.h>

using namespace lirena;

TEST(ResolveCoursePath, WindowsNamesFindFilesInAnyLetterCase)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Resimler/Alt");
    QFile(dir.filePath("Resimler/Alt/Sayfa03.jpg")).open(QIODevice::WriteOnly);
    QFile(dir.filePath("sayfa01.ini")).open(QIODevice::WriteOnly);
    const QString folder = dir.path() + '/';

    EXPECT_EQ(resolveCoursePath(folder, "sayfa01.ini"), folder + "sayfa01.ini");
    EXPECT_EQ(resolveCoursePath(folder, "SAYFA01.INI"), folder + "sayfa01.ini");
    EXPECT_EQ(resolveCoursePath(folder, "resimler\\ALT\\sayfa03.JPG"), folder + "Resimler/Alt/Sayfa03.jpg");
    EXPECT_EQ(resolveCoursePath(dir.path(), "Resimler/Alt/Sayfa03.jpg"), folder + "Resimler/Alt/Sayfa03.jpg");
}

TEST(ResolveCoursePath, MissingNamesComeBackAsWritten)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + '/';
    EXPECT_EQ(resolveCoursePath(folder, "yok\\Dosya.mp3"), folder + "yok/Dosya.mp3");
    EXPECT_EQ(resolveCoursePath(folder, ""), folder);
}

TEST(PathHelpers, TrailingSlashAndFileName)
{
    EXPECT_EQ(withTrailingSlash("/data"), "/data/");
    EXPECT_EQ(withTrailingSlash("/data/"), "/data/");
    EXPECT_EQ(withTrailingSlash("D:\\kurs\\"), "D:/kurs/");
    EXPECT_EQ(fileNamePart("/a/b/sayfa05.ini"), "sayfa05.ini");
    EXPECT_EQ(fileNamePart("a\\b\\sayfa05.ini"), "sayfa05.ini");
    EXPECT_EQ(fileNamePart("sayfa05.ini"), "sayfa05.ini");
}
