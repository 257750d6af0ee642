// The bundled course is read by the real reader without a fault: every
// object line counts, every link and sequence id resolves and every rectangle
// lies on its page. And it reads well at the player's defaults: pages shown at
// their own size fit a small screen with large letters, the segments hold
// their words with their pauses, and the exercises are named for what they do.

#include "lesson/chapterfile.h"
#include "lesson/splitfields.h"
#include "platform/profile.h"
#include "platform/soundmediadevice.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

using namespace lirena;

namespace {

const QString kCourse = QStringLiteral(LIRENA_SAMPLE_COURSE);

class ErrorView : public ChapterView
{
public:
    QString error;
    std::vector<SubjectNode> subjects;
    void showError(const QString &message) override { error = message; }
    void setSubjects(const std::vector<SubjectNode> &nodes) override { subjects = nodes; }
};

struct LoadedChapter
{
    Chapter chapter;
    ChapterFile file{chapter};
    ErrorView view;
};

std::unique_ptr<LoadedChapter> load(const QString &name)
{
    auto loaded = std::make_unique<LoadedChapter>();
    loaded->file.setDataFolder(kCourse);
    loaded->file.LoadChapter(kCourse + "/" + name, loaded->view);
    return loaded;
}

QStringList chapterNames()
{
    return QDir(kCourse).entryList({"*.ini"}, QDir::Files);
}

// Rows of r that hold dark (letter) pixels, from the first to the last.
int inkHeight(const QImage &page, const PixelRect &r)
{
    int first = -1, last = -1;
    for (int y = r.Top; y < r.Bottom; ++y) {
        for (int x = r.Left; x < r.Right; ++x) {
            if (qGray(page.pixel(x, y)) < 96) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

} // namespace

TEST(SampleCourse, EveryChapterReadsWholeAndConsistent)
{
    const QStringList chapters = QDir(kCourse).entryList({"*.ini"}, QDir::Files);
    ASSERT_GE(chapters.size(), 5);
    ASSERT_TRUE(chapters.contains("sayfa01.ini"));
    ASSERT_TRUE(chapters.contains("help00.ini"));
    for (const QString &name : chapters) {
        SCOPED_TRACE(name.toStdString());
        Chapter chapter;
        ChapterFile file(chapter);
        file.setDataFolder(kCourse);
        ErrorView view;
        ASSERT_TRUE(file.LoadChapter(kCourse + "/" + name, view));
        EXPECT_TRUE(view.error.isEmpty()) << view.error.toStdString();

        const Profile profile(kCourse + "/" + name);
        EXPECT_EQ(chapter.LstGObj.count(), profile.readSectionValues("GraphicObjects").size());
        EXPECT_EQ(chapter.LstVObj.count(), profile.readSectionValues("VoiceObjects").size());
        EXPECT_EQ(chapter.LstVGObj.count(), profile.readSectionValues("VGObjects").size());
        EXPECT_EQ(chapter.LstCObj.count(), SplitFields(profile.readString("General", "ClickObjects")).size());
        EXPECT_EQ(chapter.LstRObj.count(), SplitFields(profile.readString("General", "ReadObjects")).size());
        EXPECT_FALSE(file.ChapterName.isEmpty());
        EXPECT_TRUE(QFileInfo::exists(file.resolve(file.ImageFile))) << file.ImageFile.toStdString();
        EXPECT_TRUE(QFileInfo::exists(file.resolve(file.MediaFile))) << file.MediaFile.toStdString();

        for (int i = 0; i < chapter.LstVGObj.count(); ++i) {
            const auto *link = chapter.LstVGObj.at<TVGObj>(i);
            EXPECT_NE(chapter.graphicOf(link), nullptr) << link->Name.toStdString();
            const TVoiceObj *voice = chapter.voiceOf(link);
            ASSERT_NE(voice, nullptr) << link->Name.toStdString();
            EXPECT_LT(voice->StartTime, voice->StopTime);
        }
        if (file.ImageFile.endsWith(".jpg", Qt::CaseInsensitive)) {
            const QSize page = QImageReader(file.resolve(file.ImageFile)).size();
            for (int i = 0; i < chapter.LstGObj.count(); ++i) {
                const PixelRect &r = chapter.LstGObj.at<TGraphicObj>(i)->ImageRect;
                EXPECT_FALSE(r.isEmpty());
                EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= page.width() && r.Bottom <= page.height());
            }
        }
    }
}

TEST(SampleCourse, PagesAtTheirOwnSizeFitASmallScreenWithLargeLetters)
{
    // The player's default size is %100. On a 1366-pixel screen the page is
    // centred; the chapter title stands at x = 3 and is about 24 pixels wide.
    const int smallScreen = 1366, titleRoom = 40, smallestLetters = 24;
    int pages = 0;
    for (const QString &name : chapterNames()) {
        SCOPED_TRACE(name.toStdString());
        const auto c = load(name);
        if (!c->file.ImageFile.endsWith(".jpg", Qt::CaseInsensitive))
            continue;
        ++pages;
        const QImage page(c->file.resolve(c->file.ImageFile));
        ASSERT_FALSE(page.isNull());
        EXPECT_LE(page.width(), smallScreen - 2 * titleRoom);
        for (int i = 0; i < c->chapter.LstGObj.count(); ++i) {
            const auto *g = c->chapter.LstGObj.at<TGraphicObj>(i);
            EXPECT_GE(inkHeight(page, g->ImageRect), smallestLetters) << g->Name.toStdString();
        }
    }
    EXPECT_GE(pages, 4);
}

TEST(SampleCourse, SegmentsHoldTheirWordsWithTheirPauses)
{
    for (const QString &name : chapterNames()) {
        SCOPED_TRACE(name.toStdString());
        const auto c = load(name);
        const qint64 length = SoundMediaDevice::probeLength(c->file.resolve(c->file.MediaFile));
        ASSERT_GT(length, 0);
        qint64 covered = 0, end = 0;
        for (int i = 0; i < c->chapter.LstRObj.count(); ++i) {
            const TVoiceObj *voice = c->chapter.voiceOf(c->chapter.LstRObj.at<TVGObj>(i));
            ASSERT_NE(voice, nullptr);
            // Long enough to be seen marked and to give TEST1 and TEST2 a reading time.
            EXPECT_GE(voice->StopTime - voice->StartTime, 700) << voice->Name.toStdString();
            EXPECT_GE(voice->StartTime, end) << "segments overlap";
            EXPECT_LE(voice->StopTime, length);
            covered += voice->StopTime - voice->StartTime;
            end = voice->StopTime;
        }
        // Marked nearly all the time the teacher reads: only the lead-in is not.
        EXPECT_GE(covered, length * 9 / 10);
    }
}

TEST(SampleCourse, ExercisesAreNamedForWhatTheyDoAndOnlyWhereTheyWork)
{
    const std::map<QString, QString> names{
        {"TEST1", "Dinle ve göster"}, {"TEST2", "Kendin oku"}, {"TEST3", "Sor ve bul"}};
    int exercises = 0;
    for (const QString &name : chapterNames()) {
        SCOPED_TRACE(name.toStdString());
        const auto c = load(name);
        const bool html = c->file.ImageFile.endsWith(".htm", Qt::CaseInsensitive);
        std::function<void(const std::vector<SubjectNode> &)> walk = [&](const std::vector<SubjectNode> &nodes) {
            for (const SubjectNode &node : nodes) {
                if (node.Action.startsWith("TEST")) {
                    ++exercises;
                    EXPECT_EQ(node.Title, names.at(node.Action));
                    // An HTML page shows no rectangle to mark or to click.
                    EXPECT_FALSE(html) << node.Action.toStdString();
                }
                walk(node.children);
            }
        };
        walk(c->view.subjects);
        if (html) {
            QFile page(c->file.resolve(c->file.ImageFile));
            ASSERT_TRUE(page.open(QIODevice::ReadOnly));
            EXPECT_FALSE(QString::fromUtf8(page.readAll()).contains("tıklayın")) << "nothing to click";
        }
    }
    EXPECT_GE(exercises, 12);
}
