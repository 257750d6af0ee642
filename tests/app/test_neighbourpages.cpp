// The pages made ahead around the page shown, on the sample course: the next
// lesson, back and forward, at the size shown.

#include "app/lessoncatalogue.h"
#include "app/navigation.h"
#include "app/neighbourpages.h"
#include "app/ttreecombo.h"
#include "lesson/chapterfile.h"
#include "platform/pathresolver.h"
#include "player/pagepicturecache.h"

#include "../player/pageharness.h"
#include "../qtprinters.h"

#include <QToolButton>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

const QString kCourse = QStringLiteral(LIRENA_SAMPLE_COURSE "/");

// The picture a chapter shows, as the page display resolves it.
QString pictureOf(const QString &chapter)
{
    return resolveCoursePath(kCourse,
                             readChapterGeneral(kCourse + chapter).readString("General", "ImageFile"));
}

} // namespace

TEST(NeighbourPages, NextLessonBackAndForwardAreMadeAheadAndMadeAnewForANewSize)
{
    PageHarness h;
    h.folder = QStringLiteral(LIRENA_SAMPLE_COURSE);
    h.setOptions(PageDisplay::FitScreen, 0);
    Chapter chapter;
    ChapterFile file(chapter);
    file.setDataFolder(kCourse);
    TTreeCombo tree;
    LessonCatalogue catalogue(tree);
    catalogue.scanLater({"01=Harfler", "02=Heceler ve Kelimeler", "09=Yardım"}, kCourse);
    QToolButton back, forward;
    Navigation navigation(
        {.chapterName = [] { return QString(); },
         .chapterFileName = [&] { return file.ChapterFileName; },
         .position = [] { return qint64(0); },
         .loadChapter = [&](const QString &path) { file.ChapterFileName = fileNamePart(path); },
         .seek = [](qint64) {}},
        &back, &forward);
    PagePictureCache pages;
    NeighbourPages neighbours({.chapterFile = &file,
                               .navigation = &navigation,
                               .catalogue = &catalogue,
                               .page = &h.page,
                               .pages = &pages});

    file.ChapterFileName = "sayfa01.ini";
    navigation.start();
    navigation.GoToChapter(kCourse + "sayfa02.ini");
    navigation.GoToChapter(kCourse + "sayfa04.ini");
    navigation.btnBackClick();
    ASSERT_EQ(file.ChapterFileName, "sayfa02.ini");
    // Before the lessons tree is built there is no next lesson yet.
    EXPECT_EQ(neighbours.neighbours(), (QStringList{kCourse + "sayfa01.ini", kCourse + "sayfa04.ini"}));
    catalogue.ensureScanned();
    EXPECT_EQ(neighbours.neighbours(),
              (QStringList{kCourse + "sayfa03.ini", kCourse + "sayfa01.ini", kCourse + "sayfa04.ini"}));
    pages.waitUntilIdle();
    const PageSizing fit = h.page.sizing();
    for (const char *chapterName : {"sayfa03.ini", "sayfa01.ini", "sayfa04.ini"})
        EXPECT_TRUE(pages.holds(pictureOf(chapterName), fit)) << chapterName;

    h.setOptions(PageDisplay::ChosenSize, 2);
    h.page.ApplyImageSize();
    pages.waitUntilIdle();
    for (const char *chapterName : {"sayfa03.ini", "sayfa01.ini", "sayfa04.ini"}) {
        EXPECT_FALSE(pages.holds(pictureOf(chapterName), fit)) << chapterName;
        EXPECT_TRUE(pages.holds(pictureOf(chapterName), h.page.sizing())) << chapterName;
    }
}
