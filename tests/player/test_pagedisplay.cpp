#include "pageharness.h"

#include "../qtprinters.h"
#include "platform/profile.h"
#include "player/imageops.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

QImage patterned(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x + y) % 256));
    return image;
}

int clip(int v)
{
    return std::clamp(v, 0, 255);
}

} // namespace

TEST(FitScale, FitsTheScreenAboveTheButtonBar)
{
    const QSize screen(1024, 768);
    EXPECT_DOUBLE_EQ(PageDisplay::fitScaleFor(2000, 1000, screen), 1024 * 0.96 / 2000); // 0.49152: 983 x 491
    EXPECT_DOUBLE_EQ(PageDisplay::fitScaleFor(1000, 3000, screen), 728 * 0.96 / 3000);  // 0.23296: 232 x 698
    const double tall = PageDisplay::fitScaleFor(1100, 1000, screen);                 // too high twice
    EXPECT_DOUBLE_EQ(tall, 1024 * 0.96 / 1100 * 0.9 * 0.9);
    EXPECT_EQ(int(1100 * tall), 796);
    EXPECT_EQ(int(1000 * tall), 723);
    const double small = PageDisplay::fitScaleFor(800, 600, screen); // enlarged, once reduced
    EXPECT_DOUBLE_EQ(small, 1.2288 * 0.9);
    EXPECT_EQ(int(800 * small), 884);
    EXPECT_EQ(int(600 * small), 663);
}

TEST(LoadPageImage, ShowsTheJpegAtTheChosenScale)
{
    QTemporaryDir dir;
    ASSERT_TRUE(patterned(2000, 1000).save(dir.filePath("wide.jpg"), "JPG", 90));
    PageHarness h;
    h.folder = dir.path();
    h.setOptions(PageDisplay::FitScreen, 0);
    ASSERT_TRUE(h.page.LoadPageImage("wide.jpg"));
    EXPECT_DOUBLE_EQ(h.page.fitScale(), 0.49152);
    EXPECT_EQ(h.img->image().size(), QSize(983, 491));
    EXPECT_EQ(h.img->pos(), QPoint((1024 - 983) / 2, (768 - 491 - 40) / 2));

    h.setOptions(PageDisplay::ChosenSize, 1); // %75
    ASSERT_TRUE(h.page.LoadPageImage("wide.jpg"));
    EXPECT_EQ(h.img->image().size(), QSize(1500, 750));
    EXPECT_EQ(h.img->x(), 0); // wider than the screen: from its left edge, all of it in reach
    h.setOptions(PageDisplay::ChosenSize, 0); // %100: the decoded picture as it is
    ASSERT_TRUE(h.page.LoadPageImage("wide.jpg"));
    EXPECT_EQ(h.img->image().size(), QSize(2000, 1000));
}

namespace {

// Which view pixels of a page changed: 255 where all of their picture's pixels
// did, 128 where only some did.
QImage changedViewPixels(const QImage &before, const QImage &after)
{
    const int k = int(after.devicePixelRatio());
    QImage mask(after.width() / k, after.height() / k, QImage::Format_Grayscale8);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            int changed = 0;
            for (int d = 0; d < k * k; ++d) {
                const QPoint at(k * x + d % k, k * y + d / k);
                changed += before.pixel(at) != after.pixel(at);
            }
            mask.scanLine(y)[x] = changed == 0 ? 0 : changed == k * k ? 255 : 128;
        }
    return mask;
}

} // namespace

TEST(LoadPageImage, OnAScreenOfRatioTwoThePictureHasTwiceThePixelsAndMarksTheSameViewPixels)
{
    QTemporaryDir dir;
    QImage paper(2000, 1000, QImage::Format_RGB32);
    paper.fill(qRgb(200, 180, 160));
    ASSERT_TRUE(paper.save(dir.filePath("wide.jpg"), "JPG", 95));
    PagePictureCache pages; // one for both: a picture made for one ratio is never given for the other
    PageHarness plain, fine;
    fine.ratio = 2;
    for (PageHarness *h : {&plain, &fine}) {
        h->folder = dir.path();
        h->pages = &pages;
        h->setOptions(PageDisplay::FitScreen, 0, PageDisplay::Frame, QColor(100, 100, 100));
        ASSERT_TRUE(h->page.LoadPageImage("wide.jpg"));
    }
    EXPECT_EQ(plain.img->image().size(), QSize(983, 491));
    EXPECT_EQ(fine.img->image().size(), QSize(1966, 982));
    EXPECT_EQ(fine.img->geometry(), plain.img->geometry());
    EXPECT_EQ(pages.pagesHeld(), 2);

    const PixelRect word{101, 53, 180, 77};
    for (const PageDisplay::MarkStyle style : {PageDisplay::Frame, PageDisplay::Recolour}) {
        QImage marked[2];
        for (PageHarness *h : {&plain, &fine}) {
            const QImage page = h->img->image();
            h->page.MarkRect(style, word);
            marked[h == &fine] = changedViewPixels(page, h->img->image());
            h->page.UnmarkRect();
            EXPECT_EQ(h->img->image(), page) << style;
        }
        EXPECT_EQ(marked[1], marked[0]) << style;
        EXPECT_NE(marked[0].pixel(word.Left, word.Top), qRgb(0, 0, 0)) << style;
    }
    // The pointer, drawn finely, keeps to its 23 x 33 view pixels centred under the word.
    const QImage page = fine.img->image();
    fine.page.MarkRect(PageDisplay::Pointer, word);
    QImage outside[2] = {page, fine.img->image()};
    for (QImage &picture : outside)
        QPainter(&picture).fillRect(QRect(101 + (79 - 23) / 2, 77, 23, 33), Qt::black);
    EXPECT_EQ(outside[1], outside[0]);
    EXPECT_NE(fine.img->image(), page);
}

TEST(LoadPageImage, DamagedPictureIsAnErrorAndTheOldPageStays)
{
    PageHarness h;
    h.folder = QStringLiteral(LIRENA_TEST_DATA "/data");
    ASSERT_TRUE(h.page.LoadPageImage("page-rgb.jpg"));
    const QImage shown = h.img->image();
    for (const char *name : {"page-corrupt.jpg", "page-truncated.jpg", "page-empty.jpg"}) {
        QString error;
        EXPECT_FALSE(h.page.LoadPageImage(name, &error)) << name;
        // Turkish for the learner, naming the picture; libjpeg's words may follow.
        EXPECT_TRUE(error.startsWith(QStringLiteral("Sayfaya ait resim dosyası açılamıyor !\n") + h.folder + "/" + name))
            << error.toStdString();
        EXPECT_EQ(h.img->image(), shown);
    }
    QString error;
    EXPECT_TRUE(h.page.LoadPageImage("missing.jpg", &error)); // a missing file changes nothing, quietly
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(h.img->image(), shown);
    EXPECT_EQ(h.page.pageImageFile(), "missing.jpg");
}

TEST(LoadPageImage, APictureTooLargeToShowIsRefusedLikeADamagedOne)
{
    // Small files, large pictures: 16385 pixels wide, and 8193 x 8193 (over 256 MB) at %150.
    QTemporaryDir dir;
    QImage strip(16385, 8, QImage::Format_Grayscale8), square(5462, 5462, QImage::Format_Grayscale8);
    strip.fill(128);
    square.fill(128);
    ASSERT_TRUE(strip.save(dir.filePath("strip.jpg"), "JPG"));
    ASSERT_TRUE(square.save(dir.filePath("square.jpg"), "JPG"));
    PageHarness h;
    h.folder = dir.path();
    h.setOptions(PageDisplay::ChosenSize, 2); // %50: 8192 pixels wide, within bounds
    ASSERT_TRUE(h.page.LoadPageImage("strip.jpg"));
    const QImage shown = h.img->image();
    EXPECT_EQ(shown.size(), QSize(8192, 4));

    QString error;
    h.setOptions(PageDisplay::ChosenSize, 0); // %100
    EXPECT_FALSE(h.page.LoadPageImage("strip.jpg", &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Sayfaya ait resim dosyası açılamıyor !\n") + dir.filePath("strip.jpg")))
        << error.toStdString();
    EXPECT_EQ(h.img->image(), shown);
    h.setOptions(PageDisplay::ChosenSize, 4); // %150
    EXPECT_FALSE(h.page.LoadPageImage("square.jpg", &error));
    EXPECT_EQ(h.img->image(), shown);
}

TEST(ChapterTitle, ATitleLongerThanTheScreenIsCut)
{
    RotatedLabel title;
    const QString longest(Profile::kMaxValueBytes, u'a'); // the longest a chapter may hold
    title.setText(longest);
    EXPECT_EQ(title.text(), longest);
    EXPECT_LE(title.height(), title.screen()->geometry().height());
    title.setText("Kaf ve Elif");
    EXPECT_EQ(title.height(), QFontMetrics(title.font()).horizontalAdvance("Kaf ve Elif") + 4);
}

TEST(RescaleViewRects, TruncatesAllFourSides)
{
    PageHarness h;
    TGraphicObj *g = h.addGraphic(7, "Kaf", {10, 20, 110, 90});
    h.setOptions(PageDisplay::ChosenSize, 1);
    h.page.RescaleViewRects();
    EXPECT_EQ(g->ViewRect, (PixelRect{7, 15, 82, 67})); // the reader would round 67.5 to 68
}

TEST(MarkRect, FrameIsTheThreePixelBandAroundTheRectangle)
{
    PageHarness h;
    h.img->setImage(patterned(60, 40));
    const QImage page = h.img->image();
    h.page.MarkRect(PageDisplay::Frame, {10, 10, 14, 13});
    QImage expected = page;
    for (int y = 9; y <= 13; ++y)
        for (int x = 9; x <= 14; ++x)
            expected.setPixel(x, y, page.pixel(x, y) ^ 0x00FFFFFF);
    EXPECT_EQ(h.img->image(), expected);
    EXPECT_EQ(h.page.editRect(), (PixelRect{10, 10, 14, 13}));
    h.page.UnmarkRect();
    EXPECT_EQ(h.img->image(), page);
    EXPECT_EQ(h.page.markKind(), PageDisplay::NoMark);
}

TEST(MarkRect, PointerStandsCentredUnderTheRectangle)
{
    PageHarness h;
    h.img->setImage(patterned(120, 90));
    const QImage page = h.img->image();
    const QImage pointer = pointerPicture();
    h.page.MarkRect(PageDisplay::Pointer, {50, 10, 60, 30}); // narrower than the pointer: it still centres
    const QPoint origin(50 + (10 - 23) / 2, 30); // -13 / 2 is -6: toward zero
    QImage expected = page;
    const QRgb key = pointer.pixel(0, 32);
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 23; ++x)
            if (pointer.pixel(x, y) != key)
                expected.setPixel(origin.x() + x, origin.y() + y, pointer.pixel(x, y));
    EXPECT_EQ(h.img->image(), expected);
    h.page.UnmarkRect();
    EXPECT_EQ(h.img->image(), page);
}

TEST(MarkRect, RecolourAddsTheMarkColourMinus192)
{
    PageHarness h;
    h.img->setImage(patterned(60, 40));
    const QImage page = h.img->image();
    h.page.MarkRect(PageDisplay::Recolour, {5, 6, 25, 16}); // "Somon": +55 red, +7 green, -55 blue
    QImage expected = page;
    for (int y = 6; y < 16; ++y)
        for (int x = 5; x < 25; ++x) {
            const QRgb p = page.pixel(x, y);
            expected.setPixel(x, y, qRgb(clip(qRed(p) + 55), clip(qGreen(p) + 7), clip(qBlue(p) - 55)));
        }
    EXPECT_EQ(h.img->image(), expected);
    h.page.MarkRect(PageDisplay::Recolour, {30, 6, 40, 16}); // the next mark first restores the last one
    h.page.UnmarkRect();
    EXPECT_EQ(h.img->image(), page);
}

TEST(MarkRect, ExerciseTintsAreGreenOrRed)
{
    PageHarness h;
    h.showPicture(40, 30, qRgb(100, 100, 100));
    h.page.TintExerciseRect(true, {0, 0, 10, 10});
    h.page.TintExerciseRect(false, {20, 0, 30, 10});
    EXPECT_EQ(h.img->image().pixel(5, 5), qRgb(37, 159, 40));
    EXPECT_EQ(h.img->image().pixel(25, 5), qRgb(139, 0, 0));
    EXPECT_EQ(h.img->image().pixel(15, 5), qRgb(100, 100, 100));
}

TEST(MarkRect, ANewPictureForgetsTheMarkOfTheOldOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(patterned(200, 100).save(dir.filePath("a.jpg"), "JPG"));
    PageHarness h;
    h.folder = dir.path();
    h.setOptions(PageDisplay::ChosenSize, 0);
    ASSERT_TRUE(h.page.LoadPageImage("a.jpg"));
    h.page.MarkRect(PageDisplay::Recolour, {10, 10, 50, 50});
    ASSERT_TRUE(h.page.LoadPageImage("a.jpg"));
    const QImage fresh = h.img->image();
    h.page.UnmarkRect();
    h.page.MarkRect(PageDisplay::Frame, {60, 10, 70, 20});
    h.page.UnmarkRect();
    EXPECT_EQ(h.img->image(), fresh); // no old patch or outline was drawn onto the new page
}

namespace {

// Two overlapping segments: A (0 to 5000 ms, its link sorts first) and B (3000 to 8000 ms).
struct Overlap : PageHarness
{
    TVoiceObj *a, *b;
    Overlap()
    {
        showPicture(400, 300);
        addGraphic(1, "ga", {10, 10, 50, 30});
        addGraphic(2, "gb", {10, 100, 50, 130});
        a = addVoice(1, 0, 5000);
        b = addVoice(2, 3000, 8000);
        addLink(1, "a", 1, 1);
        addLink(2, "b", 2, 2);
    }
    const TVoiceObj *markAt(qint64 p)
    {
        page.MarkingStep(p);
        return page.markedVoice();
    }
};

} // namespace

TEST(MarkingStep, FirstLinkInListOrderWinsAndStaysUntilItsSegmentEnds)
{
    Overlap o;
    EXPECT_EQ(o.markAt(0), nullptr); // on the start bound: not inside
    EXPECT_EQ(o.markAt(100), o.a);
    EXPECT_EQ(o.markAt(4999), o.a);
    EXPECT_EQ(o.page.editRect(), (PixelRect{10, 10, 50, 30}));
    EXPECT_EQ(o.markAt(5000), o.b); // on A's stop bound: A is over
    EXPECT_EQ(o.page.editRect(), (PixelRect{10, 100, 50, 130}));
    EXPECT_EQ(o.markAt(6000), o.b);
    EXPECT_EQ(o.markAt(4000), o.b); // B still holds the position
    EXPECT_EQ(o.markAt(8000), nullptr);
    EXPECT_EQ(o.page.markKind(), -1);
    EXPECT_EQ(o.page.editRect(), PixelRect{});
}

TEST(MarkingStep, SeekInsideTheMarkedSegmentKeepsTheMark)
{
    Overlap o;
    o.markAt(1000);
    const QImage marked = o.img->image();
    o.markAt(2500);
    EXPECT_EQ(o.img->image(), marked);
    EXPECT_EQ(o.page.markedVoice(), o.a);
}

TEST(MarkingStep, LinkWhoseRectangleIsGoneMarksNothing)
{
    Overlap o;
    o.chapter.deleteGraphic(o.chapter.graphicOf(o.chapter.LstVGObj.at<TVGObj>(0)));
    const QImage page = o.img->image();
    EXPECT_EQ(o.markAt(1000), nullptr);
    EXPECT_EQ(o.img->image(), page);
    EXPECT_EQ(o.markAt(4000), o.b); // the next link still counts
}

TEST(MarkingStep, DeletedVoiceIsForgotten)
{
    Overlap o;
    o.markAt(1000);
    o.chapter.deleteVoice(o.a);
    EXPECT_EQ(o.page.markedVoice(), nullptr);
    EXPECT_EQ(o.markAt(1000), nullptr);
}

TEST(ScrollRectIntoView, ScrollsDownToARectangleBelowTheBox)
{
    PageHarness h;
    h.window.show();
    h.showPicture(400, 3000);
    h.page.CenterPage();
    QApplication::processEvents();
    TGraphicObj *low = h.addGraphic(1, "low", {10, 2000, 100, 2100});
    h.page.ScrollRectIntoView(low);
    QScrollBar *bar = h.box->verticalScrollBar();
    EXPECT_GT(bar->value(), 0);
    const int top = h.img->y() - bar->value();
    EXPECT_LE(top + low->ViewRect.Top, h.box->height());
    EXPECT_GE(top + low->ViewRect.Bottom, 0);
}

TEST(ScrollRectIntoView, FollowsSidewaysOnAPageWiderThanTheBox)
{
    PageHarness h;
    h.window.show();
    h.showPicture(3000, 400);
    h.page.CenterPage();
    QApplication::processEvents();
    EXPECT_EQ(h.img->x(), 0); // all of it can be scrolled to
    QScrollBar *across = h.box->horizontalScrollBar();
    const int visible = h.box->viewport()->width();
    auto inView = [&](const TGraphicObj *g) {
        return g->ViewRect.Left >= across->value() && g->ViewRect.Right <= across->value() + visible;
    };
    TGraphicObj *far = h.addGraphic(1, "far", {2500, 100, 2600, 150});
    h.page.ScrollRectIntoView(far);
    EXPECT_TRUE(inView(far)) << across->value();
    TGraphicObj *first = h.addGraphic(2, "first", {20, 100, 120, 150});
    h.page.ScrollRectIntoView(first);
    EXPECT_TRUE(inView(first)) << across->value();
    h.page.ScrollRectIntoView(first); // in view: it stays where it is
    EXPECT_TRUE(inView(first));
}
