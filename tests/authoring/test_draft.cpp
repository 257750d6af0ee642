#include "authoring/pagedraft.h"
#include "lesson/chapter.h"
#include "lesson/chapterfile.h"
#include "platform/profile.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

const QString kCourse = QStringLiteral(LIRENA_SAMPLE_COURSE);

// Stretches of the given lengths, each followed by the given pause (ms).
std::vector<SpeechStretch> stretches(std::initializer_list<std::pair<int, int>> lengthAndPause)
{
    std::vector<SpeechStretch> out;
    int at = 500;
    for (const auto &[length, pause] : lengthAndPause) {
        out.push_back({at, at + length});
        at += length + pause;
    }
    return out;
}

double iou(const PixelRect &a, const PixelRect &b)
{
    const double w = std::min(a.Right, b.Right) - std::max(a.Left, b.Left);
    const double h = std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
    if (w <= 0 || h <= 0)
        return 0;
    const double area = [](const PixelRect &r) { return double(r.Right - r.Left) * (r.Bottom - r.Top); }(a) +
                        double(b.Right - b.Left) * (b.Bottom - b.Top);
    return w * h / (area - w * h);
}

QStringList names(const ObjectList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.textAt(i);
    return out;
}

} // namespace

TEST(WordAlignment, PartsAStretchOfTwoWordsAndJoinsAWordParted)
{
    // Eight words of one weight, read at 200 ms a syllable: words 3 and 4
    // without a pause, word 6 in two halves with a short pause.
    const std::vector<double> weights(8, 2.0);
    const WordAlignment a(weights, stretches({{400, 500},
                                              {400, 500},
                                              {400, 500},
                                              {800, 500},
                                              {400, 500},
                                              {190, 120},
                                              {200, 500},
                                              {400, 500}}));
    const std::vector<AlignmentStep> expected{{0, 1, 0, 1}, {1, 1, 1, 1}, {2, 1, 2, 1}, {3, 2, 3, 1},
                                              {5, 1, 4, 1}, {6, 1, 5, 2}, {7, 1, 7, 1}};
    EXPECT_EQ(a.steps(), expected);
    EXPECT_NEAR(a.msPerSyllable(), 200, 10);
}

TEST(WordAlignment, PassesOverAWordNotReadAndASoundNotOnThePageWithoutCrossing)
{
    // The third word, far longer than its neighbours, is not read; a click
    // lies between the fourth and the fifth word.
    const std::vector<double> weights{1, 2, 6, 2, 1, 4};
    const WordAlignment a(weights,
                          stretches({{200, 400}, {400, 400}, {400, 300}, {40, 300}, {200, 400}, {800, 0}}));
    const std::vector<AlignmentStep> expected{{0, 1, 0, 1}, {1, 1, 1, 1}, {2, 1, 2, 0}, {3, 1, 2, 1},
                                              {4, 0, 3, 1}, {4, 1, 4, 1}, {5, 1, 5, 1}};
    EXPECT_EQ(a.steps(), expected);

    // Whatever the lengths, every word and every stretch is taken once, in order.
    const WordAlignment b({3, 1, 1, 5, 2, 2, 1},
                          stretches({{900, 100}, {100, 600}, {1500, 200}, {300, 200}}));
    int word = 0, stretch = 0;
    for (const AlignmentStep &step : b.steps()) {
        EXPECT_EQ(step.firstWord, word);
        EXPECT_EQ(step.firstStretch, stretch);
        EXPECT_GT(step.words + step.stretches, 0);
        word += step.words;
        stretch += step.stretches;
    }
    EXPECT_EQ(word, 7);
    EXPECT_EQ(stretch, 4);
}

TEST(PageDraft, SyllablesAndObjectNames)
{
    EXPECT_EQ(turkishSyllables(QStringLiteral("öğretmen")), 3);
    EXPECT_EQ(turkishSyllables(QStringLiteral("IŞIK")), 2);
    EXPECT_EQ(turkishSyllables(QStringLiteral("İstanbul")), 3);
    EXPECT_EQ(turkishSyllables(QStringLiteral("1923")), 2);
    EXPECT_EQ(draftObjectName(QStringLiteral("gitti.")), QStringLiteral("gitti"));
    EXPECT_EQ(draftObjectName(QStringLiteral("«Ayşe'nin»,")), QStringLiteral("Ayşe'nin"));
    EXPECT_EQ(draftObjectName(QStringLiteral("a=b||c")), QStringLiteral("a b c"));
    EXPECT_EQ(draftObjectName(QStringLiteral("|=.")), QString());
}

TEST(PageDraft, ReaderNamesTheModuleOrTheTurkishDataItCannotUse)
{
    // A missing module, and a library that is no word finder, are refused by name.
    for (const QString &module : {QStringLiteral("/no/such/liblirena-words.so"),
                                  QCoreApplication::applicationDirPath() + QStringLiteral("/libxaudio.so")}) {
        PageWordReader reader(module);
        QString error;
        EXPECT_FALSE(reader.start(&error));
        EXPECT_FALSE(reader.started());
        EXPECT_TRUE(error.contains(module)) << error.toStdString();
        EXPECT_TRUE(reader.read(GrayPicture(4, 4, std::vector<std::uint8_t>(16, 255))).empty());
    }

    const QByteArray saved = qgetenv("TESSDATA_PREFIX");
    qputenv("TESSDATA_PREFIX", "/no/such/tessdata");
    PageWordReader reader;
    QString error;
    EXPECT_FALSE(reader.start(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("/no/such/tessdata"))) << error.toStdString();
    if (saved.isNull())
        qunsetenv("TESSDATA_PREFIX");
    else
        qputenv("TESSDATA_PREFIX", saved);
    EXPECT_TRUE(reader.start(&error)) << error.toStdString();
}

TEST(PageDraft, DraftsTheCourseWordPageAndPutsItIntoTheChapter)
{
    Chapter chapter;
    ChapterFile file(chapter);
    file.setDataFolder(kCourse);
    ChapterView view;
    ASSERT_TRUE(file.LoadChapter(kCourse + QStringLiteral("/sayfa04.ini"), view));
    struct Reference
    {
        PixelRect rect;
        int start, stop;
    };
    std::vector<Reference> reference;
    for (int i = 0; i < chapter.LstVGObj.count(); ++i) {
        const auto *link = chapter.LstVGObj.at<TVGObj>(i);
        reference.push_back({chapter.graphicOf(link)->ImageRect, chapter.voiceOf(link)->StartTime,
                             chapter.voiceOf(link)->StopTime});
    }
    DraftInput in;
    in.picture = GrayPicture::readJpeg(file.resolve(file.ImageFile));
    in.sound = SpeechSound::read(file.resolve(file.MediaFile));
    ASSERT_FALSE(in.picture.isNull());

    PageWordReader reader;
    ASSERT_TRUE(reader.start());
    const DraftResult cancelled = draftPage(reader, in, [](int percent) { return percent < 20; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.links.empty());

    const DraftResult draft = draftPage(reader, in);
    ASSERT_TRUE(draft.error.isEmpty()) << draft.error.toStdString();
    int found = 0;
    for (const Reference &ref : reference) {
        found += std::any_of(draft.links.begin(), draft.links.end(), [&](const DraftLink &l) {
            const int both = std::min(l.stop, ref.stop) - std::max(l.start, ref.start);
            return iou(draft.words[std::size_t(l.word)].rect, ref.rect) >= 0.5 &&
                   both >= 0.7 * std::min(l.stop - l.start, ref.stop - ref.start);
        });
    }
    EXPECT_GE(found, 7);
    const auto heading = std::find_if(draft.words.begin(), draft.words.end(),
                                      [](const PageWord &w) { return w.text == u"Kelimeler"; });
    ASSERT_NE(heading, draft.words.end());
    EXPECT_EQ(heading->role, PageWord::Role::SmallerThanBody);

    // Replaced through the chapter's own operations: ids go on from the
    // largest read, the old objects are gone, both sequences read the page.
    applyDraft(chapter, draft, DraftApply::Replace, 0.5);
    EXPECT_TRUE(chapter.Modified());
    ASSERT_EQ(chapter.LstGObj.count(), 8);
    EXPECT_EQ(chapter.LstVGObj.count(), 8);
    EXPECT_EQ(chapter.LastGraphicId, 24 + 8);
    const auto *elma = static_cast<const TGraphicObj *>(Chapter::FindObjectById(25, chapter.LstGObj));
    ASSERT_NE(elma, nullptr);
    EXPECT_EQ(elma->Name, QStringLiteral("elma"));
    EXPECT_EQ(elma->ViewRect.Right, elma->ImageRect.Right / 2);
    const QStringList reading{"elma,elma", "kalem,kalem",     "öğretmen,öğretmen", "çiçek,çiçek",
                              "ağaç,ağaç", "şemsiye,şemsiye", "ışık,ışık",         "güneş,güneş"};
    EXPECT_EQ(names(chapter.LstRObj), reading);
    EXPECT_EQ(names(chapter.LstCObj), reading);
}

TEST(PageDraft, CheckToolSavesOverObjectsOnlyWhenToldToReplace)
{
    QTemporaryDir dir;
    for (const char *name : {"sayfa04.ini", "sayfa04.jpg", "sayfa04.mp3"})
        ASSERT_TRUE(QFile::copy(kCourse + u'/' + QLatin1String(name), dir.filePath(QLatin1String(name))));
    const QString ini = dir.filePath(QStringLiteral("sayfa04.ini"));
    QFile original(ini);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();

    const auto draft = [&](const QStringList &options) {
        QProcess p;
        p.start(QStringLiteral(LIRENA_BINARY_DIR "/lirena-check"), QStringList{"draft", ini} + options);
        p.waitForFinished(30000);
        return p.exitCode();
    };
    EXPECT_EQ(draft({"--write"}), 4);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), before);
    original.close();

    ASSERT_EQ(draft({"--write", "--replace"}), 0);
    Chapter chapter;
    ChapterFile file(chapter);
    file.setDataFolder(dir.path());
    ChapterView view;
    ASSERT_TRUE(file.LoadChapter(ini, view));
    EXPECT_EQ(chapter.LstGObj.count(), 8);
    EXPECT_EQ(chapter.LstRObj.count(), 8);
    EXPECT_EQ(chapter.LstRObj.textAt(0), QStringLiteral("elma,elma"));
    const Profile written(ini);
    EXPECT_EQ(written.readString(QStringLiteral("General"), QStringLiteral("Name")),
              QStringLiteral("Kelimeler"));
    EXPECT_EQ(written.readSectionValues(QStringLiteral("Subjects")).size(), 9);
    EXPECT_TRUE(QFile::exists(ini + QStringLiteral(".old")));
}
