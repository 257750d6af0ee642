// The "All Objects" page driven through its widgets: objects, their times,
// links and the sequences, on the player built as the window builds it.

#include "../app/windowcontrols.h"
#include "../player/pageharness.h"
#include "../qtprinters.h"

#include "authoring/objectspage.h"
#include "authoring/pagedrafter.h"
#include "lesson/chapterfile.h"
#include "player/tupdown.h"
#include "tools/chapterdump.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

struct Authoring : PageHarness
{
    ObjectsPage objects{chapter, player};

    Authoring()
    {
        showPicture(800, 600);
        interaction.setMode(PageInteraction::Design);
    }

    void press(const char *name) { control<QAbstractButton>(objects, name)->click(); }
    // One press on an arrow of an up-down, as the learner's click gives it.
    void step(const char *name, int direction)
    {
        control<TUpDown>(objects, name)->step(direction);
        QApplication::processEvents();
    }
    void addGraphics(int n)
    {
        for (int i = 0; i < n; ++i) {
            page.replaceEditRect({10 * i, 10, 10 * i + 8, 20});
            press("BtnAdd");
        }
    }
};

// The words page of the sample course read through its file, its objects
// deleted as an author would before drafting it; Auto Draft wired.
struct Drafting : PageHarness
{
    ChapterFile file{chapter};
    std::unique_ptr<ObjectsPage> objects;

    Drafting()
    {
        file.setDataFolder(LIRENA_SAMPLE_COURSE);
        ChapterView view;
        file.LoadChapter(LIRENA_SAMPLE_COURSE "/sayfa04.ini", view);
        while (!chapter.LstVGObj.isEmpty())
            chapter.deleteLink(chapter.LstVGObj.at<TVGObj>(0));
        while (!chapter.LstVObj.isEmpty())
            chapter.deleteVoice(chapter.LstVObj.at<TVoiceObj>(0));
        while (!chapter.LstGObj.isEmpty())
            chapter.deleteGraphic(chapter.LstGObj.at<TGraphicObj>(0));
        chapter.setModified(false);
        objects = std::make_unique<ObjectsPage>(
            chapter, player, ObjectsPage::DraftParts{.chapterFile = &file, .dialogs = &dialogs});
        QApplication::processEvents();
    }
    QPushButton *button(const char *name) { return control<QPushButton>(*objects, name); }
    // Clicks Auto Draft, does what is given while it runs, waits for its end; true when applied.
    bool draft(const std::function<void()> &meanwhile = {})
    {
        QSignalSpy finished(objects->drafter(), &PageDrafter::finished);
        button("BtnAutoDraft")->click();
        if (meanwhile)
            meanwhile();
        if (finished.isEmpty() && !finished.wait(30000))
            return false;
        QApplication::processEvents(); // the button looks at the chapter again
        return finished.at(0).at(0).toBool();
    }
    bool untouched() const
    {
        return chapter.LstGObj.isEmpty() && chapter.LstVGObj.isEmpty() && !chapter.Modified();
    }
};

} // namespace

TEST(ObjectsPage, AutoDraftMakesTheCheckToolsObjectsAtTheDisplayScale)
{
    Drafting d;
    d.setOptions(PageDisplay::ChosenSize, 2); // shown at 50 %
    ASSERT_TRUE(d.button("BtnAutoDraft")->isEnabled());
    ASSERT_TRUE(d.draft());
    EXPECT_TRUE(d.chapter.Modified());
    EXPECT_FALSE(d.button("BtnAutoDraft")->isEnabled());

    // What the check tool drafts over the objects of the same file at the same scale.
    QProcess tool;
    tool.start(LIRENA_BINARY_DIR "/lirena-check",
               {"draft", LIRENA_SAMPLE_COURSE "/sayfa04.ini", "--scale", "0.5"});
    ASSERT_TRUE(tool.waitForFinished(30000));
    const QJsonObject expected = QJsonDocument::fromJson(tool.readAllStandardOutput()).object();
    ChapterDumpInput dump;
    dump.chapter = &d.chapter;
    dump.file = &d.file;
    const QJsonObject drafted = QJsonDocument::fromJson(chapterDumpJson(dump).toUtf8()).object();
    ASSERT_EQ(expected["read"].toArray().size(), 8);
    for (const char *key : {"lastIds", "graphics", "voices", "links", "click", "read"})
        EXPECT_EQ(drafted[key], expected[key]) << key;

    // Ordinary objects: with the graphic objects deleted the page may be drafted again.
    while (!d.chapter.LstGObj.isEmpty()) {
        d.chapter.LstGObj.setCurrentIndex(0);
        d.button("BtnDelete")->click();
    }
    QApplication::processEvents();
    EXPECT_TRUE(d.button("BtnAutoDraft")->isEnabled());
}

TEST(ObjectsPage, AutoDraftCancelledOutlivedOrFailingChangesNothing)
{
    Drafting d;
    EXPECT_FALSE(d.draft([&d] { d.button("BtnCancelDraft")->click(); }));
    EXPECT_TRUE(d.untouched());
    EXPECT_FALSE(d.draft([&d] { d.chapter.ClearChapter(); })); // another chapter loaded meanwhile
    EXPECT_TRUE(d.untouched());

    d.file.ImageFile = "nothing.jpg"; // a picture the chapter names but nobody can read
    EXPECT_FALSE(d.draft());
    ASSERT_EQ(d.dialogs.errors.size(), 1);
    EXPECT_TRUE(d.dialogs.errors[0].contains("nothing.jpg")) << d.dialogs.errors[0].toStdString();
    EXPECT_TRUE(d.untouched());

    // The page going while its draft runs waits for it; the chapter stays.
    d.file.ImageFile = "sayfa04.jpg";
    d.button("BtnAutoDraft")->click();
    ASSERT_TRUE(d.objects->drafter()->running());
    d.objects.reset();
    QApplication::processEvents();
    EXPECT_TRUE(d.untouched());
}

TEST(ObjectsPage, AddStoresPicturePixelsAndTheNextIdAboveTheHighest)
{
    Authoring a;
    a.addGraphic(41, "elif", {0, 0, 10, 10}); // as read from a chapter
    a.setOptions(PageDisplay::ChosenSize, 2); // shown at 50 %
    a.page.replaceEditRect({60, 20, 10, 70}); // drawn leftwards: nothing to add
    a.press("BtnAdd");
    EXPECT_EQ(a.chapter.LstGObj.count(), 1);
    EXPECT_FALSE(a.chapter.Modified());

    a.page.replaceEditRect({10, 21, 60, 70});
    a.press("BtnAdd");
    ASSERT_EQ(a.chapter.LstGObj.count(), 2);
    const auto *added = a.chapter.LstGObj.at<TGraphicObj>(a.chapter.LstGObj.currentIndex());
    EXPECT_EQ(added->Id, 42);
    EXPECT_EQ(added->Name, "042");
    EXPECT_EQ(control<QLineEdit>(a.objects, "EdtGObjName")->text(), "042");
    EXPECT_EQ(added->ViewRect, (PixelRect{10, 21, 60, 70}));
    EXPECT_EQ(added->ImageRect, (PixelRect{20, 42, 120, 140})); // where it stands on the picture
    EXPECT_TRUE(a.chapter.Modified());

    // Past 999 the names sort as text: 1000 lands between 100 and 101.
    a.addGraphic(101, "101", {0, 0, 10, 10});
    a.addGraphic(999, "100", {0, 0, 10, 10});
    a.press("BtnAdd");
    const int at = a.chapter.LstGObj.currentIndex();
    EXPECT_EQ(a.chapter.LstGObj.textAt(at), "1000");
    EXPECT_EQ(a.chapter.LstGObj.textAt(at - 1), "100");
    EXPECT_EQ(a.chapter.LstGObj.textAt(at + 1), "101");
}

TEST(ObjectsPage, NamesRefuseFieldSeparatorsAndRenamingIsAChange)
{
    Authoring a;
    a.addGraphics(1);
    a.chapter.setModified(false);
    auto *box = control<QLineEdit>(a.objects, "EdtGObjName");
    box->clear();
    QTest::keyClicks(box, "a|b=c");
    EXPECT_EQ(a.chapter.LstGObj.at<TGraphicObj>(0)->Name, "abc");
    EXPECT_EQ(a.chapter.LstGObj.textAt(0), "abc");
    EXPECT_TRUE(a.chapter.Modified());
}

TEST(ObjectsPage, NudgesKeepStartBelowStopAndNeverRunOut)
{
    Authoring a;
    a.objects.editor().NewVoiceObject(0, 2000);
    a.chapter.setModified(false);
    a.step("UDStart", -1);
    EXPECT_EQ(a.objects.editor().sectionStart(), -100); // no floor at 0
    for (int i = 0; i < 21; ++i)
        a.step("UDStart", +1);
    EXPECT_EQ(a.objects.editor().sectionStart(), 1900); // the step to 2000 is refused
    for (int i = 0; i < 400; ++i)
        a.step("UDStop", +1);
    const auto *voice = a.chapter.LstVObj.at<TVoiceObj>(0);
    EXPECT_EQ(voice->StartTime, 1900);
    EXPECT_EQ(voice->StopTime, 42000); // beyond the up-down's own 300 steps
    EXPECT_EQ(control<QLabel>(a.objects, "LblStop")->text(), "00:00:42.0");
    EXPECT_TRUE(a.chapter.Modified());

    // A range handed over from the sound editor retimes the selected segment: a change too.
    a.chapter.setModified(false);
    a.objects.editor().SetVoiceRange(500, 1500);
    EXPECT_EQ(voice->StartTime, 500);
    EXPECT_EQ(voice->StopTime, 1500);
    EXPECT_EQ(control<QLabel>(a.objects, "LblStart")->text(), "00:00:00.5");
    EXPECT_TRUE(a.chapter.Modified());
}

TEST(ObjectsPage, LinkingStepsBothListsAndSequencesKeepTheirEnds)
{
    Authoring a;
    a.addGraphics(3);
    for (int i = 0; i < 3; ++i)
        a.objects.editor().NewVoiceObject(1000 * i, 1000 * i + 900);
    a.chapter.LstGObj.setCurrentIndex(0);
    a.chapter.LstVObj.setCurrentIndex(0);
    for (int i = 0; i < 4; ++i)
        a.press("SBtnAddVGObj");
    QStringList links;
    for (int i = 0; i < a.chapter.LstVGObj.count(); ++i)
        links << a.chapter.LstVGObj.textAt(i);
    EXPECT_EQ(links, (QStringList{"001,001", "002,002", "003,003", "003,003"}));

    a.chapter.LstVGObj.setCurrentIndex(0);
    a.press("btnRC");
    a.press("btnRC"); // both sequences, link after link
    EXPECT_EQ(a.chapter.LstCObj.count(), 2);
    ASSERT_EQ(a.chapter.LstRObj.count(), 2);
    a.chapter.setModified(false);
    a.chapter.LstRObj.setCurrentIndex(0);
    a.press("BtnRObjUp"); // the first stays first
    a.chapter.LstRObj.setCurrentIndex(1);
    a.press("BtnRObjDown"); // the last stays last
    EXPECT_FALSE(a.chapter.Modified());
    a.press("BtnRObjUp");
    EXPECT_EQ(a.chapter.LstRObj.textAt(0), "002,002");
    EXPECT_EQ(a.chapter.LstRObj.currentIndex(), 0);
    EXPECT_TRUE(a.chapter.Modified());

    a.chapter.LstCObj.setCurrentIndex(-1);
    a.chapter.setModified(false);
    a.press("BtnDelClick"); // nothing chosen: nothing changes
    EXPECT_FALSE(a.chapter.Modified());
    a.press("SBtnDelVGObj"); // the link delete counts as a change even so
    EXPECT_TRUE(a.chapter.Modified());
}

TEST(ObjectsPage, MarkingAndPointingFollowEveryEdit)
{
    Authoring a;
    ObjectEditor &editor = a.objects.editor();
    a.addGraphics(2); // 0..8 and 10..18, rows 10..20
    editor.NewVoiceObject(1000, 2000);
    editor.NewVoiceObject(3000, 4000);
    a.chapter.LstGObj.setCurrentIndex(0);
    a.chapter.LstVObj.setCurrentIndex(0);
    a.press("SBtnAddVGObj");
    a.press("SBtnAddVGObj");
    a.chapter.BuildWorkingSets(false);
    const auto *first = a.chapter.LstVObj.at<TVoiceObj>(0);
    const auto *second = a.chapter.LstVObj.at<TVoiceObj>(1);
    auto markedAt = [&](qint64 p) {
        a.page.MarkingStep(p);
        return a.page.markedVoice();
    };
    ASSERT_EQ(markedAt(1500), first);
    ASSERT_EQ(a.chapter.clickableAt(15, 15).voice, second);

    editor.LstVObjClick(0);
    editor.SetVoiceRange(5000, 6000); // handed over from the sound editor
    EXPECT_EQ(markedAt(1500), nullptr);
    EXPECT_EQ(markedAt(5500), first);
    editor.LstVObjClick(1);
    a.step("UDStart", -1); // 2900
    EXPECT_EQ(markedAt(2950), second);
    markedAt(0);
    a.step("UDStop", +1); // 4100
    EXPECT_EQ(markedAt(4050), second);

    a.chapter.LstGObj.setCurrentIndex(1);
    a.page.replaceEditRect({100, 100, 120, 120});
    a.press("BtnReplace");
    EXPECT_EQ(a.chapter.clickableAt(15, 15).link, nullptr);
    EXPECT_EQ(a.chapter.clickableAt(110, 110).voice, second);

    a.chapter.LstVGObj.setCurrentIndex(1);
    a.press("SBtnDelVGObj");
    markedAt(0);
    EXPECT_EQ(markedAt(3500), nullptr);
}
