// The bundled course is read by the real reader without a fault: every
// object line counts, every link and sequence id resolves and every rectangle
// lies on its page.

#include "lesson/chapterfile.h"
#include "lesson/splitfields.h"
#include "platform/profile.h"

#include <QDir>
#include <QImageReader>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

const QString kCourse = QStringLiteral(LIRENA_SAMPLE_COURSE);

class ErrorView : public ChapterView
{
public:
    QString error;
    void showError(const QString &message) override { error = message; }
};

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

TEST(SampleCourse, FirstPageIsAnA4PageAt300Dpi)
{
    QImageReader reader(kCourse + "/sayfa01.jpg");
    EXPECT_EQ(reader.size(), QSize(2480, 3508));
}
