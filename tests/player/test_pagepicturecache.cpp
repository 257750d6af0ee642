#include "pageharness.h"

#include "../qtprinters.h"
#include "player/pagepicturecache.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

using namespace lirena;

namespace {

QImage patterned(int w, int h, int seed = 0)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) % 256, (y * 5) % 256, (x + y + seed * 3) % 256));
    return image;
}

QImage plain(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void writeChapter(const QString &path, const QString &imageFile)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(
        ("[General]\r\nName=Sayfa\r\nImageFile=" + imageFile + "\r\n\r\n[GraphicObjects]\r\n1=a|1|2|3|4\r\n")
            .toUtf8());
}

} // namespace

TEST(PagePictureCache, APageMadeAheadIsExactlyThePictureLoadedDirectlyAndStaysClean)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Resimler");
    ASSERT_TRUE(patterned(1100, 1000).save(dir.filePath("Resimler/sayfa.jpg"), "JPG", 90));
    writeChapter(dir.filePath("sayfa.ini"), "resimler\\Sayfa.JPG"); // as course files name their pictures
    const QString picture = dir.filePath("Resimler/sayfa.jpg");

    for (const int size : {-1, 1}) { // fitted to the screen, %75
        PageHarness direct;
        direct.folder = dir.path();
        direct.setOptions(size < 0 ? PageDisplay::FitScreen : PageDisplay::ChosenSize, std::max(size, 0));
        ASSERT_TRUE(direct.page.LoadPageImage("Resimler/sayfa.jpg"));

        PagePictureCache pages;
        pages.makeAhead({dir.filePath("sayfa.ini")}, dir.path() + "/", direct.page.sizing());
        pages.waitUntilIdle();
        ASSERT_TRUE(pages.holds(picture, direct.page.sizing()));
        PageHarness ahead;
        ahead.pages = &pages;
        ahead.folder = dir.path();
        ahead.setOptions(size < 0 ? PageDisplay::FitScreen : PageDisplay::ChosenSize, std::max(size, 0));
        ASSERT_TRUE(ahead.page.LoadPageImage("Resimler/sayfa.jpg"));
        EXPECT_EQ(ahead.img->image(), direct.img->image()) << size;
        EXPECT_EQ(ahead.img->image().size(), direct.img->image().size());
        EXPECT_DOUBLE_EQ(ahead.page.fitScale(), direct.page.fitScale());

        // Tints go on the page shown, never on the picture kept: a reload is clean.
        ahead.page.markDirty();
        ahead.page.TintExerciseRect(false, {10, 10, 200, 200});
        ASSERT_NE(ahead.img->image(), direct.img->image());
        ahead.page.RestorePage();
        EXPECT_EQ(ahead.img->image(), direct.img->image());
    }
}

TEST(PagePictureCache, AChangedFileOrSizeIsNeverShownFromIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sayfa.jpg");
    writeChapter(dir.filePath("sayfa.ini"), "sayfa.jpg");
    ASSERT_TRUE(plain(400, 300, qRgb(220, 20, 20)).save(path, "JPG", 95));
    struct stat before;
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &before), 0);
    const PageSizing fit{.screen = QSize(1024, 768), .fitScreen = true, .sizeIndex = 0};
    PagePictureCache pages;
    pages.makeAhead({dir.filePath("sayfa.ini")}, dir.path(), fit);
    pages.waitUntilIdle();
    ASSERT_TRUE(pages.holds(path, fit));

    // Written again, even with its old modification time put back.
    ASSERT_TRUE(plain(400, 300, qRgb(20, 20, 220)).save(path, "JPG", 95));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    EXPECT_FALSE(pages.holds(path, fit));
    const QImage shown = pages.picture(path, fit).image;
    EXPECT_GT(qBlue(shown.pixel(100, 100)), 180);
    EXPECT_EQ(shown, makePagePicture(path, fit).image);

    // Another size is made for that size; clearing forgets every size.
    const PageSizing half{.screen = QSize(1024, 768), .fitScreen = false, .sizeIndex = 2};
    EXPECT_FALSE(pages.holds(path, half));
    EXPECT_EQ(pages.picture(path, half).image.size(), QSize(200, 150));
    EXPECT_EQ(pages.picture(path, fit).image.size(), shown.size());
    EXPECT_EQ(pages.pagesHeld(), 2);
    pages.clear();
    EXPECT_FALSE(pages.holds(path, fit));
    EXPECT_EQ(pages.pagesHeld(), 0);
}

TEST(PagePictureCache, KeepsWithinItsBudgetTheMostRecentlyUsedFirst)
{
    QTemporaryDir dir;
    const PageSizing own{.screen = QSize(1024, 768), .fitScreen = false, .sizeIndex = 0};
    QStringList paths;
    for (int k = 0; k < 4; ++k) {
        paths << dir.filePath(QStringLiteral("p%1.jpg").arg(k));
        ASSERT_TRUE(patterned(200, 100, k).save(paths.last(), "JPG"));
    }
    const qint64 one = 200 * 100 * 4;
    PagePictureCache byCount(PagePictureCache::Limits{.pages = 2, .bytes = 100 * one});
    byCount.picture(paths[0], own);
    byCount.picture(paths[1], own);
    byCount.picture(paths[0], own); // used again: p1 is now the oldest
    byCount.picture(paths[2], own);
    EXPECT_EQ(byCount.pagesHeld(), 2);
    EXPECT_TRUE(byCount.holds(paths[0], own));
    EXPECT_FALSE(byCount.holds(paths[1], own));
    EXPECT_TRUE(byCount.holds(paths[2], own));

    PagePictureCache byBytes(PagePictureCache::Limits{.pages = 10, .bytes = one * 3 / 2});
    for (const QString &path : paths)
        EXPECT_FALSE(byBytes.picture(path, own).image.isNull());
    EXPECT_EQ(byBytes.pagesHeld(), 1);
    EXPECT_LE(byBytes.bytesHeld(), one * 3 / 2);
    EXPECT_TRUE(byBytes.holds(paths[3], own));

    // A picture larger than the whole budget is shown, not kept (nor made ahead: its header tells).
    ASSERT_TRUE(patterned(400, 100).save(dir.filePath("wide.jpg"), "JPG"));
    EXPECT_EQ(jpegSize(dir.filePath("wide.jpg")), QSize(400, 100));
    EXPECT_EQ(jpegSize(QStringLiteral(LIRENA_TEST_DATA "/data/page-progressive.jpg")),
              QImageReader(QStringLiteral(LIRENA_TEST_DATA "/data/page-progressive.jpg")).size());
    EXPECT_FALSE(jpegSize(QStringLiteral(LIRENA_TEST_DATA "/data/page-empty.jpg")).isValid());
    EXPECT_EQ(byBytes.picture(dir.filePath("wide.jpg"), own).image.size(), QSize(400, 100));
    EXPECT_FALSE(byBytes.holds(dir.filePath("wide.jpg"), own));
    EXPECT_TRUE(byBytes.holds(paths[3], own));
}
