#include "lesson/chapterfile.h"
#include "tools/chapterdump.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "../qtprinters.h"

#include <gtest/gtest.h>

using namespace lirena;

namespace {

const QString kData = QStringLiteral(LIRENA_TEST_DATA "/lesson/data/");

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Records what the reader asks of the window, in order.
class RecordingView : public ChapterView
{
public:
    double scale = 1.0;
    QStringList calls;
    bool sectionPlay = false;
    std::vector<SubjectNode> subjects;
    QString error;
    Chapter *chapter = nullptr;
    bool modifiedAtEnd = true;

    void stopMedia() override { calls << "stopMedia"; }
    void showWaitPicture(bool shown) override { calls << (shown ? "wait:on" : "wait:off"); }
    void setSectionPlay(bool checked) override { sectionPlay = checked; }
    void setChapterName(const QString &name) override { calls << "name:" + name; }
    void showPicturePage(const QString &file) override { calls << "picture:" + file; }
    void showHtmlPage(const QString &path) override { calls << "html:" + QFileInfo(path).fileName(); }
    void openMedia(const QString &file, const QString &) override { calls << "media:" + file; }
    double imageScale() const override { return scale; }
    void setSubjects(const std::vector<SubjectNode> &s) override { subjects = s; }
    void expandChapterGroup(const QString &id) override { calls << "group:" + id; }
    void chapterLoaded(const QString &) override
    {
        calls << "loaded";
        if (chapter)
            chapter->setModified(true); // the reader must clear it after this step
    }
    void showError(const QString &message) override { error = message; }
};

struct Loaded
{
    Chapter chapter;
    ChapterFile file{chapter};
    RecordingView view;

    explicit Loaded(const QString &path, double scale = 1.0)
    {
        view.scale = scale;
        view.chapter = &chapter;
        file.setDataFolder(QFileInfo(path).absolutePath());
        file.LoadChapter(path, view);
    }

    QJsonObject dump() const
    {
        ChapterDumpInput in;
        in.chapter = &chapter;
        in.file = &file;
        in.sectionPlay = view.sectionPlay;
        in.subjects = view.subjects;
        in.error = view.error;
        return QJsonDocument::fromJson(chapterDumpJson(in).toUtf8()).object();
    }
};

std::vector<int> ids(const ObjectList &list)
{
    std::vector<int> out;
    for (int i = 0; i < list.count(); ++i)
        out.push_back(list.objectAt(i)->Id);
    return out;
}

class ChapterFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;

    QString copy(const QString &name)
    {
        const QString path = dir.filePath(name);
        QFile::copy(kData + name, path);
        return path;
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        writeBytes(path, bytes);
        return path;
    }
};

} // namespace

TEST_F(ChapterFileTest, GoldenReadAtThreeQuartersScale)
{
    Loaded l(copy("full.ini"), 0.75);
    const QJsonObject expected = QJsonDocument::fromJson(readBytes(kData + "full.dump.json")).object();
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(l.dump(), expected) << chapterDumpJson({&l.chapter, &l.file, l.view.sectionPlay, l.view.subjects,
                                                      std::nullopt, l.view.error})
                                         .toStdString();
}

TEST_F(ChapterFileTest, ReaderStepsRunInOrderAndEndClean)
{
    Loaded l(copy("full.ini"));
    EXPECT_EQ(l.view.calls, (QStringList{"stopMedia", "wait:on", "name:Kaf ve Elif", "picture:sayfa.jpg",
                                         "media:sayfa.mp3", "group:02", "wait:off", "loaded"}));
    EXPECT_FALSE(l.chapter.Modified());
    EXPECT_EQ(l.chapter.LstGObj.currentIndex(), 0);
    EXPECT_EQ(l.file.ChapterFileName, "full.ini");
}

TEST_F(ChapterFileTest, HtmlPageAndUnknownExtensions)
{
    Loaded html(write("h.ini", "[General]\nImageFile=Sayfa.HtM\n"));
    EXPECT_TRUE(html.view.calls.contains("html:Sayfa.HtM"));
    Loaded other(write("o.ini", "[General]\nImageFile=sayfa.png\n"));
    for (const QString &call : other.view.calls)
        EXPECT_FALSE(call.startsWith("picture:") || call.startsWith("html:")) << call.toStdString();
    EXPECT_EQ(other.file.GroupId, "01"); // the default group
}

TEST_F(ChapterFileTest, SameFileNameOrMissingFileReloadsNothing)
{
    const QString first = copy("full.ini");
    QDir(dir.path()).mkdir("other");
    const QString sameName = dir.filePath("other/full.ini");
    writeBytes(sameName, "[General]\nName=Başka\n");

    Loaded l(first);
    RecordingView again;
    EXPECT_FALSE(l.file.LoadChapter(first, again));
    EXPECT_FALSE(l.file.LoadChapter(sameName, again));
    EXPECT_FALSE(l.file.LoadChapter(dir.filePath("none.ini"), again));
    EXPECT_TRUE(again.calls.isEmpty());
    EXPECT_EQ(l.file.ChapterName, "Kaf ve Elif");
    EXPECT_EQ(l.chapter.LstGObj.count(), 3);
}

TEST_F(ChapterFileTest, MalformedNumberStopsReadingButTheChapterStands)
{
    Loaded l(copy("malformed.ini"));
    EXPECT_EQ(l.view.error, "'1O' is not a valid integer value.\n[GraphicObjects] 2=iki|5|5|1O|20");
    EXPECT_EQ(ids(l.chapter.LstGObj), std::vector<int>{1});
    EXPECT_EQ(l.chapter.LstVObj.count(), 0); // reading stopped before the voices
    EXPECT_TRUE(l.view.calls.endsWith("loaded"));
    EXPECT_TRUE(l.view.calls.contains("wait:off"));
    EXPECT_FALSE(l.chapter.Modified());
}

TEST_F(ChapterFileTest, MalformedSequenceIdIsReportedToo)
{
    Loaded l(write("s.ini", "[General]\nClickObjects=1|x\n\n[VGObjects]\n1=a|1|1\n"));
    EXPECT_EQ(l.view.error.section('\n', 0, 0), "'x' is not a valid integer value.");
    EXPECT_EQ(ids(l.chapter.LstCObj), std::vector<int>{1});
}

TEST_F(ChapterFileTest, ABookSizedChapterIsReadWholeAndWrittenInLinearTime)
{
    // 20000 links and rectangles, every link in the click sequence: read and written
    // back in well under the seconds a rescan of the file per key or per id would take.
    QByteArray links, graphics, click;
    for (int id = 1; id <= 20000; ++id) {
        links += QByteArray::number(id) + "=l" + QByteArray::number(id) + "|1|1\n";
        graphics += QByteArray::number(id) + "=g|1|2|3|4\n";
        click += (id > 1 ? "|" : "") + QByteArray::number(id);
    }
    const QString path =
        write("book.ini", "[General]\nClickObjects=" + click + "\n\n[VGObjects]\n" + links + "\n[GraphicObjects]\n" + graphics);
    QElapsedTimer clock;
    clock.start();
    Loaded l(path);
    ASSERT_EQ(l.chapter.LstCObj.count(), 20000);
    EXPECT_EQ(l.chapter.LstCObj.objectAt(19999)->Id, 20000);
    ASSERT_TRUE(l.file.SaveChapter(path, false));
    EXPECT_LT(clock.elapsed(), 5000);
    Loaded again(path);
    EXPECT_EQ(again.chapter.LstGObj.count(), 20000);
    EXPECT_EQ(ids(again.chapter.LstCObj), ids(l.chapter.LstCObj));
}

TEST_F(ChapterFileTest, MemoryRunningOutIsAMessageAndTheChapterStands)
{
    // The recording (or the picture) too large for the memory left.
    class StarvedView : public RecordingView
    {
    public:
        void openMedia(const QString &, const QString &) override { throw std::bad_alloc(); }
    };
    const QString path = copy("full.ini");
    Chapter chapter;
    ChapterFile file(chapter);
    file.setDataFolder(dir.path());
    StarvedView view;
    EXPECT_TRUE(file.LoadChapter(path, view));
    EXPECT_EQ(view.error, "Bu ders sayfasını açmaya bellek yetmiyor !\n" + path);
    EXPECT_EQ(view.calls.mid(view.calls.size() - 2), (QStringList{"wait:off", "loaded"}));
    EXPECT_EQ(file.ChapterName, "Kaf ve Elif"); // read up to that step
    EXPECT_FALSE(chapter.Modified());
}

TEST_F(ChapterFileTest, SectionPlayIsAnIntegerWithHexAndDefaults)
{
    EXPECT_TRUE(Loaded(write("a.ini", "[General]\nSectionPlay=1\n")).view.sectionPlay);
    EXPECT_TRUE(Loaded(write("b.ini", "[General]\nSectionPlay=0X1\n")).view.sectionPlay);
    EXPECT_FALSE(Loaded(write("c.ini", "[General]\nSectionPlay=0\n")).view.sectionPlay);
    EXPECT_FALSE(Loaded(write("d.ini", "[General]\nSectionPlay=yes\n")).view.sectionPlay);
}

TEST(Subjects, EntriesBeforeAnyHeadingStandAtTheTop)
{
    const auto nodes = parseSubjects({"1=Önce|PLAY|0", "2=Başlık", "3=Alt|TEST3|", "4=Alt|TEST3|0", "5=x|y"});
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[0], (SubjectNode{"Önce", "PLAY", "0", {}}));
    EXPECT_EQ(nodes[1].Title, "Başlık");
    // "3=Alt|TEST3|" splits into three fields and is left out.
    ASSERT_EQ(nodes[1].children.size(), 1u);
    EXPECT_EQ(nodes[1].children[0].Parameter, "0");
}

TEST_F(ChapterFileTest, GoldenSaveRewritesOnlyTheObjectsAndKeepsEncoding)
{
    const QString path = copy("full.ini");
    Loaded l(path);
    l.chapter.setModified(true);
    QString error;
    ASSERT_TRUE(l.file.SaveChapter(path, true, &error)) << error.toStdString();
    EXPECT_EQ(readBytes(path), readBytes(kData + "full.saved.ini"));
    EXPECT_EQ(readBytes(path + ".old"), readBytes(kData + "full.ini"));
    EXPECT_FALSE(l.chapter.Modified());
}

TEST_F(ChapterFileTest, SavedChapterReadsBackTheSame)
{
    const QString path = copy("full.ini");
    Loaded first(path);
    ASSERT_TRUE(first.file.SaveChapter(path, first.view.sectionPlay));
    const QString again = dir.filePath("again.ini");
    QFile::copy(path, again);
    Loaded second(again);
    QJsonObject a = first.dump(), b = second.dump();
    EXPECT_EQ(a, b);
}

TEST_F(ChapterFileTest, SavingTwiceKeepsTheStateBeforeTheSecondSave)
{
    const QString path = copy("full.ini");
    Loaded l(path);
    ASSERT_TRUE(l.file.SaveChapter(path, false));
    const QByteArray afterFirst = readBytes(path);
    l.chapter.deleteLink(static_cast<TVGObj *>(Chapter::FindObjectById(8, l.chapter.LstVGObj)));
    ASSERT_TRUE(l.file.SaveChapter(path, false));
    EXPECT_EQ(readBytes(path + ".old"), afterFirst);
    EXPECT_FALSE(readBytes(path).contains("yok,001"));
}

TEST_F(ChapterFileTest, SavingErasesEveryCopyOfASectionItRewrites)
{
    // Reading sees the first [VGObjects]; what the second holds must not come back.
    const QString path = write("dup.ini", "[General]\r\nName=x\r\n\r\n[VGObjects]\r\n1=a|1|1\r\n\r\n"
                                          "[Subjects]\r\n1=s\r\n\r\n[VGObjects]\r\n1=gizli|1|1\r\n2=b|1|1\r\n");
    Loaded first(path);
    ASSERT_EQ(ids(first.chapter.LstVGObj), std::vector<int>{1});
    ASSERT_TRUE(first.file.SaveChapter(path, false));
    EXPECT_EQ(readBytes(path).count("[VGObjects]"), 1);
    Loaded second(path);
    EXPECT_EQ(second.dump(), first.dump());
}

TEST_F(ChapterFileTest, EmptyChapterKeepsTheDescriptionAndWritesEmptySequences)
{
    const QString path = write("e.ini", "[General]\r\nName=Boş\r\nImageFile=a.jpg\r\nMediaFile=a.mp3\r\n\r\n"
                                        "[GraphicObjects]\r\n1=a|0|0|1|1\r\n");
    Chapter chapter;
    ChapterFile file(chapter);
    ASSERT_TRUE(file.SaveChapter(path, false));
    EXPECT_EQ(readBytes(path), QByteArray("[General]\r\nName=Boş\r\nImageFile=a.jpg\r\nMediaFile=a.mp3\r\n"
                                          "ClickObjects=\r\nReadObjects=\r\nVersion=1.0\r\nSectionPlay=0\r\n\r\n"));
}

TEST_F(ChapterFileTest, NewFileHoldsOnlyWhatTheWriterWrites)
{
    Chapter chapter;
    auto g = std::make_unique<TGraphicObj>();
    g->Id = chapter.issueGraphicId();
    g->Name = defaultObjectName(g->Id);
    g->ImageRect = {1, 2, 3, 4};
    const QString name = g->Name;
    chapter.LstGObj.add(name, std::move(g));
    ChapterFile file(chapter);
    const QString path = dir.filePath("new.ini");
    ASSERT_TRUE(file.SaveChapter(path, false));
    EXPECT_EQ(readBytes(path), QByteArray("[GraphicObjects]\r\n1=001|1|2|3|4\r\n\r\n[General]\r\nClickObjects=\r\n"
                                          "ReadObjects=\r\nVersion=1.0\r\nSectionPlay=0\r\n"));
    EXPECT_FALSE(QFile::exists(path + ".old"));
}

TEST_F(ChapterFileTest, NameWithASeparatorIsWrittenButNotReadBack)
{
    const QString path = dir.filePath("sep.ini");
    Chapter chapter;
    auto v = std::make_unique<TVoiceObj>();
    v->Id = 1;
    v->Name = "a|b";
    chapter.LstVObj.add("a|b", std::move(v));
    ChapterFile(chapter).SaveChapter(path, false);
    Loaded l(path);
    EXPECT_EQ(l.chapter.LstVObj.count(), 0);
    EXPECT_TRUE(l.view.error.isEmpty());
}

TEST_F(ChapterFileTest, FailedSaveKeepsModifiedAndTheOldFile)
{
    Chapter chapter;
    chapter.setModified(true);
    ChapterFile file(chapter);
    QString error;
    const QString path = dir.filePath("no/such/folder.ini");
    EXPECT_FALSE(file.SaveChapter(path, false, &error));
    EXPECT_EQ(error, "Unable to write to " + path);
    EXPECT_TRUE(chapter.Modified());
}
