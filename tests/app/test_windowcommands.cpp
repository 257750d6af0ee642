// Window-wide commands: the subjects menu's actions, the manual, the keys and
// the About page's links, on the real window with a scripted media device.

#include "app/navigation.h"
#include "app/lessonmenu.h"
#include "app/tmainform.h"
#include "app/ttreecombo.h"
#include "fakedialogs.h"
#include "windowcontrols.h"

#include "../player/scripteddevice.h"
#include "../qtprinters.h"
#include "player/exercises.h"
#include "player/player.h"
#include "player/pagedisplay.h"
#include "player/tradiogroup.h"
#include "player/tupdown.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QPushButton>
#include <QStandardItem>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

const QString kCourse = QStringLiteral(LIRENA_SAMPLE_COURSE);

class WindowTest : public ::testing::Test
{
protected:
    QTemporaryDir programDir;
    FakeDialogs dialogs;
    ScriptedDevice device;
    QList<QUrl> opened;
    bool openSucceeds = true;
    QString course = kCourse;
    std::unique_ptr<TMainForm> form;

    TMainForm &show(const QByteArray &settings = "LastChapter=sayfa01.ini\n")
    {
        QFile file(programDir.filePath("Vedra.ini"));
        file.open(QIODevice::WriteOnly);
        file.write("[Settings]\nDataFolder=" + course.toUtf8() + "\n" + settings +
                   "\n[LessonGroups]\n01=Harfler\n02=Heceler ve Kelimeler\n09=Yardım\n");
        file.close();
        device.fileLength = 20000;
        TMainForm::Environment env;
        env.programFolder = programDir.path();
        env.registryFile = programDir.filePath("registry.ini");
        env.dialogs = &dialogs;
        env.media = &device;
        env.openUrl = [this](const QUrl &url) {
            opened << url;
            return openSucceeds;
        };
        form = std::make_unique<TMainForm>(env);
        form->show();
        QApplication::processEvents();
        QApplication::processEvents();
        return *form;
    }

    QList<int> readOrder() const
    {
        QList<int> ids;
        for (const TVGObj *link : form->chapter().ReadSet)
            ids << link->Id;
        return ids;
    }
};

} // namespace

TEST_F(WindowTest, PlaySubjectSeeksAndPlays)
{
    TMainForm &f = show();
    f.lessons().TComboSubjectsSelectionChange("play", "6313");
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
    EXPECT_TRUE(device.calls.contains("seek 6313"));
}

TEST_F(WindowTest, PlaySubjectWithoutANumberStopsTheExerciseAndSaysWhy)
{
    TMainForm &f = show();
    f.lessons().TComboSubjectsSelectionChange("TEST1", "0");
    ASSERT_TRUE(f.player().exercises().ticking());
    device.calls.clear();
    f.lessons().TComboSubjectsSelectionChange("PLAY", "baştan");
    EXPECT_FALSE(f.player().exercises().ticking());
    EXPECT_EQ(dialogs.errors, QStringList{"'baştan' is not a valid integer value."});
    EXPECT_FALSE(device.calls.contains("play"));
}

TEST_F(WindowTest, LoadChapterSubjectGoesThereThroughTheHistory)
{
    TMainForm &f = show();
    f.lessons().TComboSubjectsSelectionChange("LOADCHAPTER", "sayfa02.ini");
    EXPECT_EQ(f.chapterFile().ChapterFileName, "sayfa02.ini");
    EXPECT_EQ(f.lessons().navigation().history().size(), 2);
    EXPECT_TRUE(control<QToolButton>(f, "btnBack")->isEnabled());
}

TEST_F(WindowTest, ExerciseSubjectsSetTheirStartingState)
{
    TMainForm &f = show();
    const QList<int> authored = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    f.lessons().TComboSubjectsSelectionChange("TEST1", "0");
    EXPECT_EQ(readOrder(), authored);
    EXPECT_EQ(f.player().exercises().kind(), Exercises::Test1);
    EXPECT_EQ(f.player().exercises().phase(), Exercises::Waiting);
    EXPECT_TRUE(f.player().exercises().ticking());
    EXPECT_TRUE(control<QFrame>(f, "PaExerciseInfo")->isVisible());

    bool shuffled = false;
    for (int i = 0; i < 5 && !shuffled; ++i) {
        f.lessons().TComboSubjectsSelectionChange("TEST2", "1");
        shuffled = readOrder() != authored;
    }
    EXPECT_TRUE(shuffled);
    EXPECT_EQ(f.player().exercises().sectionStop(), -1);

    f.lessons().TComboSubjectsSelectionChange("TEST3", "0"); // always shuffled
    EXPECT_EQ(f.player().exercises().kind(), Exercises::Test3);
    EXPECT_EQ(f.player().exercises().waitLimit(), 500u);
    EXPECT_TRUE(f.player().page().pageDirty());
    EXPECT_EQ(f.player().exercises().target(), nullptr);
    QList<int> sorted = readOrder();
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, authored);
}

TEST_F(WindowTest, SubjectsTreeFollowsTheChapter)
{
    TMainForm &f = show();
    EXPECT_TRUE(control<QPushButton>(f, "btnSubjects")->isEnabled());
    const QList<QStandardItem *> nodes = control<TTreeCombo>(f, "TComboSubjects")->nodesDepthFirst();
    ASSERT_FALSE(nodes.isEmpty());
    EXPECT_EQ(nodes.first()->text(), "Dinle");
    EXPECT_TRUE(nodes.first()->font().bold());
}

TEST_F(WindowTest, LessonsTreeOpensTheChaptersGroup)
{
    TMainForm &f = show("LastChapter=sayfa04.ini\n");
    QTreeView *view = control<TTreeCombo>(f, "TComboLessons")->treeView();
    EXPECT_FALSE(view->isExpanded(control<TTreeCombo>(f, "TComboLessons")->tree().item(0)->index()));
    EXPECT_TRUE(view->isExpanded(control<TTreeCombo>(f, "TComboLessons")->tree().item(1)->index()));
    control<TTreeCombo>(f, "TComboLessons")->choose(control<TTreeCombo>(f, "TComboLessons")->tree().item(0)->child(1));
    EXPECT_EQ(f.chapterFile().ChapterFileName, "sayfa02.ini");
}

TEST_F(WindowTest, NextLessonGoesOnAndTheManualComesWithF1)
{
    TMainForm &f = show();
    control<QToolButton>(f, "btnNext")->click();
    EXPECT_EQ(f.chapterFile().ChapterFileName, "sayfa02.ini");
    QTest::keyClick(&f, Qt::Key_F1);
    EXPECT_EQ(f.chapterFile().ChapterFileName, "help00.ini");
    control<QToolButton>(f, "btnBack")->click();
    EXPECT_EQ(f.chapterFile().ChapterFileName, "sayfa02.ini");
}

TEST_F(WindowTest, DesignKeysMoveTheOutlineAndAreConsumed)
{
    TMainForm &f = show();
    control<TRadioGroup>(f, "RGrpMode")->setItemIndex(0);
    PageDisplay &page = f.player().page();
    page.replaceEditRect({10, 10, 11, 30});
    EXPECT_TRUE(f.FormKeyDown(Qt::Key_Left, Qt::ShiftModifier)); // left + 1 is not below right
    EXPECT_EQ(page.editRect(), (PixelRect{10, 10, 11, 30}));
    EXPECT_TRUE(f.FormKeyDown(Qt::Key_Right, Qt::ShiftModifier));
    EXPECT_TRUE(f.FormKeyDown(Qt::Key_Down, Qt::ShiftModifier));
    EXPECT_TRUE(f.FormKeyDown(Qt::Key_Up, Qt::ControlModifier));
    EXPECT_EQ(page.editRect(), (PixelRect{10, 9, 12, 30}));
    const QString before = f.chapterFile().ChapterFileName;
    EXPECT_TRUE(f.FormKeyDown(Qt::Key_F1, Qt::ShiftModifier)); // consumed: no manual
    EXPECT_EQ(f.chapterFile().ChapterFileName, before);
    EXPECT_FALSE(f.FormKeyDown(Qt::Key_A, Qt::ShiftModifier | Qt::AltModifier));

    page.replaceEditRect({});
    EXPECT_FALSE(f.FormKeyDown(Qt::Key_Left, Qt::ShiftModifier)); // nothing drawn: the key goes on
    control<TRadioGroup>(f, "RGrpMode")->setItemIndex(2);
    page.replaceEditRect({10, 10, 50, 50});
    EXPECT_FALSE(f.FormKeyDown(Qt::Key_Left, Qt::ShiftModifier)); // play modes leave keys alone
}

TEST_F(WindowTest, SourceFilesOpenOrAskForTheDisc)
{
    QTemporaryDir source;
    QDir(source.path()).mkpath("briselweb");
    QFile(source.filePath("briselweb/index.html")).open(QIODevice::WriteOnly);
    QFile registry(programDir.filePath("registry.ini"));
    registry.open(QIODevice::WriteOnly);
    registry.write("[Software\\Brisel\\Lirena\\1.2]\nSourceFolder=" + source.path().toUtf8() + "\n");
    registry.close();
    TMainForm &f = show();

    QTest::mouseClick(control<QLabel>(f, "LogoImage"), Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(source.filePath("briselweb/index.html"))});
    f.OpenSourceFile("briselvideo\\brisel1.mpg");
    EXPECT_EQ(dialogs.errors, QStringList{"Lütfen kuruluş CD'sini takın !"});

    opened.clear();
    openSucceeds = false; // the desktop cannot open it: its folder opens instead
    f.OpenSourceFile("briselweb\\index.html");
    EXPECT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.last(), QUrl::fromLocalFile(source.filePath("briselweb")));

    opened.clear();
    openSucceeds = true;
    QTest::mouseClick(control<QLabel>(f, "Label20"), Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>{QUrl("mailto:bilgi@lirena.example.org")});
}

TEST_F(WindowTest, SourceFilesWithoutARecordedSourceAreLookedForInTheWorkingFolder)
{
    TMainForm &f = show();
    ASSERT_TRUE(f.sourceFolder().isEmpty());
    QTemporaryDir work;
    QDir(work.path()).mkpath("briselvideo");
    QFile(work.filePath("briselvideo/brisel2.mpg")).open(QIODevice::WriteOnly);
    const QString before = QDir::currentPath();
    QDir::setCurrent(work.path());
    f.OpenSourceFile("briselvideo\\brisel2.mpg");
    QDir::setCurrent(before);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].toLocalFile().endsWith("briselvideo/brisel2.mpg"));
}

TEST_F(WindowTest, WaitTimesGoDownFromTheStoredValuesToo)
{
    TMainForm &f = show("Test3WaitTime=5\nTest12WaitTime=1,2\n");
    control<TUpDown>(f, "UDTest3")->step(-1); // the position stands at its minimum; the value does not
    EXPECT_EQ(control<QLabel>(f, "LblTest3")->text(), "4");
    control<TUpDown>(f, "UDTest12")->step(-1);
    EXPECT_EQ(control<QLabel>(f, "LblTest12")->text(), "1,1");
    control<TUpDown>(f, "UDTest12")->step(-1);
    control<TUpDown>(f, "UDTest12")->step(-1);
    EXPECT_EQ(control<QLabel>(f, "LblTest12")->text(), "1");
    EXPECT_EQ(control<TUpDown>(f, "UDTest12")->position(), 10);
    control<TUpDown>(f, "UDTest12")->step(+1);
    EXPECT_EQ(control<QLabel>(f, "LblTest12")->text(), "1,1");
}

TEST_F(WindowTest, ChangingTheSizeEndsAWaitingExercise)
{
    TMainForm &f = show("LastChapter=sayfa04.ini\nImageSizeType=1\n");
    f.lessons().TComboSubjectsSelectionChange("TEST1", "0");
    Exercises &x = f.player().exercises();
    for (int i = 0; i < 200 && !(x.phase() == Exercises::Waiting && x.item() == 0); ++i) {
        device.advance(100);
        x.Timer3Timer();
    }
    ASSERT_EQ(x.phase(), Exercises::Waiting); // reading the first word, the recording paused
    ASSERT_NE(device.mode(), MediaDevice::Mode::Playing);
    control<TRadioGroup>(f, "RGrpImageSize")->setItemIndex(0);
    EXPECT_EQ(x.kind(), Exercises::None);
    EXPECT_FALSE(f.player().exercises().ticking());
    EXPECT_NE(device.mode(), MediaDevice::Mode::Playing);
}

TEST_F(WindowTest, ChangingTheSizeOnAnHtmlPageChangesNoChapter)
{
    TMainForm &f = show("LastChapter=sayfa04.ini\n");
    f.lessons().GoToChapter(kCourse + "/sayfa05.ini");
    ASSERT_FALSE(f.chapter().Modified());
    control<TRadioGroup>(f, "RGrpImageSize")->setItemIndex(0);
    EXPECT_FALSE(f.chapter().Modified());
}

TEST_F(WindowTest, TrayIconIsMadeButNeverShown)
{
    TMainForm &f = show();
    const auto *tray = f.findChild<QSystemTrayIcon *>();
    ASSERT_NE(tray, nullptr);
    EXPECT_FALSE(tray->isVisible());
    EXPECT_EQ(tray->toolTip(), "Lirena");
}

TEST_F(WindowTest, ExercisesOnAPageWithoutItsRecordingDoNothing)
{
    TMainForm &f = show();
    device.opens = false;
    f.lessons().GoToChapter(kCourse + "/sayfa02.ini");
    ASSERT_EQ(dialogs.warnings.size(), 1); // the recording cannot be opened
    for (const char *test : {"TEST1", "TEST2", "TEST3"}) {
        f.lessons().TComboSubjectsSelectionChange(test, "0");
        EXPECT_EQ(f.player().exercises().kind(), Exercises::None) << test;
        EXPECT_FALSE(f.player().exercises().ticking());
        EXPECT_FALSE(control<QFrame>(f, "PaExerciseInfo")->isVisible());
    }
    EXPECT_EQ(dialogs.warnings.size(), 1);
}

TEST_F(WindowTest, MinimisingEndsTheExercise)
{
    TMainForm &f = show();
    f.lessons().TComboSubjectsSelectionChange("TEST3", "0");
    ASSERT_EQ(f.player().exercises().kind(), Exercises::Test3);
    control<QToolButton>(f, "btnMin")->click();
    EXPECT_EQ(f.player().exercises().kind(), Exercises::None);
    EXPECT_FALSE(f.player().exercises().ticking());
}

TEST_F(WindowTest, APageWithoutAJpegBringsNoOldPictureBackAndNoSavePrompt)
{
    QTemporaryDir copy;
    for (const QString &name : QDir(kCourse).entryList(QDir::Files))
        QFile::copy(kCourse + "/" + name, copy.filePath(name));
    const QByteArray chapter = "[General]\nName=Resimsiz\nImageFile=sayfa06.png\nMediaFile=sayfa01.mp3\nGroupID=01\n";
    QFile file(copy.filePath("sayfa06.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(chapter);
    file.close();
    course = copy.path();
    TMainForm &f = show();
    f.lessons().GoToChapter(copy.filePath("sayfa06.ini"));
    control<TRadioGroup>(f, "RGrpImageSize")->setItemIndex(0); // "Sayfayı tam olarak kapla"
    f.lessons().TComboSubjectsSelectionChange("TEST3", "0");
    control<QToolButton>(f, "btnPlay")->click(); // TEST3, then play: the page is restored
    EXPECT_FALSE(f.chapter().Modified());
    form->close();
    EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join(" / ").toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), chapter);
}

TEST_F(WindowTest, HiddenPagesCannotBeReachedByAnyKey)
{
    TMainForm &f = show("LastChapter=sayfa01.ini\nLastScreenSize=2\n");
    control<QTabWidget>(f, "PageControl")->setCurrentWidget(control<QWidget>(f, "OptionsPage"));
    QWidget *inside = control<TRadioGroup>(f, "RGrpMarkType");
    for (const Qt::KeyboardModifiers held : {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ControlModifier | Qt::ShiftModifier}) {
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(inside, Qt::Key_Tab, held);
            QTest::keyClick(control<QTabWidget>(f, "PageControl")->tabBar(), Qt::Key_Left);
            QWidget *shown = control<QTabWidget>(f, "PageControl")->currentWidget();
            EXPECT_NE(shown, control<QWidget>(f, "FilePage"));
            EXPECT_NE(shown, control<QWidget>(f, "GObjPage"));
        }
    }
}

TEST_F(WindowTest, AuthorsSeeTheAuthoringPagesAndSaveWithCtrlS)
{
    QTemporaryDir copy;
    for (const QString &name : QDir(kCourse).entryList(QDir::Files))
        QFile::copy(kCourse + "/" + name, copy.filePath(name));
    course = copy.path();
    const auto saveWithCtrlS = [](TMainForm &f) {
        QApplication::setActiveWindow(&f);
        QTest::keyClick(control<QWidget>(f, "img"), Qt::Key_S, Qt::ControlModifier);
    };
    const auto deleteFirstGraphic = [](TMainForm &f) {
        f.chapter().LstGObj.setCurrentIndex(0);
        control<QPushButton>(f, "BtnDelete")->click();
    };
    QFile file(copy.filePath("sayfa01.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    {
        TMainForm &f = show("LastChapter=sayfa01.ini\n");
        auto *pages = control<QTabWidget>(f, "PageControl");
        EXPECT_FALSE(pages->isTabVisible(pages->indexOf(control<QWidget>(f, "FilePage"))));
        deleteFirstGraphic(f);
        saveWithCtrlS(f); // a learner never rewrites a course file
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before);
        file.close();
        f.chapter().setModified(false);
        form.reset();
    }

    TMainForm &f = show("LastChapter=sayfa01.ini\nAuthorMode=1\n");
    auto *pages = control<QTabWidget>(f, "PageControl");
    EXPECT_TRUE(pages->isTabVisible(pages->indexOf(control<QWidget>(f, "FilePage"))));
    EXPECT_TRUE(pages->isTabVisible(pages->indexOf(control<QWidget>(f, "GObjPage"))));
    const int graphics = f.chapter().LstGObj.count();
    deleteFirstGraphic(f);
    saveWithCtrlS(f);
    EXPECT_FALSE(f.chapter().Modified());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_NE(file.readAll(), before);
    file.close();
    form.reset();
    TMainForm &again = show("LastChapter=sayfa01.ini\nAuthorMode=1\n");
    EXPECT_EQ(again.chapter().LstGObj.count(), graphics - 1);
}

namespace {

// A copy of the sample course an author may change.
QString copyCourse(QTemporaryDir &dir)
{
    for (const QString &name : QDir(kCourse).entryList(QDir::Files))
        QFile::copy(kCourse + "/" + name, dir.filePath(name));
    return dir.path();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST_F(WindowTest, SaveAsWritesThePageItWasMadeOnAndSaveGoesOnThere)
{
    QTemporaryDir copy;
    course = copyCourse(copy);
    TMainForm &f = show("LastChapter=sayfa01.ini\nAuthorMode=1\n");
    const QByteArray original = readAll(copy.filePath("sayfa01.ini"));
    dialogs.files.push_back(copy.filePath("kopya.ini"));
    control<QToolButton>(f, "btnSaveAs")->click();
    EXPECT_EQ(dialogs.fileDialogs, QStringList{"Save Subtitle File"});
    const QByteArray written = readAll(copy.filePath("kopya.ini"));
    EXPECT_TRUE(written.contains("ImageFile=sayfa01.jpg")) << written.toStdString();
    EXPECT_TRUE(written.contains("MediaFile=sayfa01.mp3"));
    EXPECT_EQ(control<QLabel>(f, "lblFileName")->text(), copy.filePath("kopya.ini"));

    f.chapter().LstGObj.setCurrentIndex(0);
    control<QPushButton>(f, "BtnDelete")->click();
    control<QToolButton>(f, "btnSaveSub")->click(); // into the new file, never the original
    EXPECT_NE(readAll(copy.filePath("kopya.ini")), written);
    EXPECT_EQ(readAll(copy.filePath("sayfa01.ini")), original);
}

TEST_F(WindowTest, YesForANewChapterAsksForAFileAndACancelledSaveKeepsTheWork)
{
    QTemporaryDir copy;
    course = copyCourse(copy);
    TMainForm &f = show("LastChapter=sayfa01.ini\nAuthorMode=1\n");
    control<QToolButton>(f, "btnNewSub")->click();
    EXPECT_EQ(control<QLabel>(f, "lblFileName")->text(), "New File");
    f.player().page().replaceEditRect({10, 10, 50, 40});
    control<QPushButton>(f, "BtnAdd")->click();
    ASSERT_TRUE(f.chapter().Modified());
    dialogs.answers = {UserDialogs::Answer::Yes};
    EXPECT_FALSE(f.close()); // Yes, then the file dialog is cancelled: nothing is lost
    EXPECT_EQ(dialogs.fileDialogs, QStringList{"Save Subtitle File"});
    EXPECT_TRUE(f.chapter().Modified());
    EXPECT_EQ(f.chapter().LstGObj.count(), 1);
    f.chapter().setModified(false);
}

TEST_F(WindowTest, OpenReadsAnyFileButTheOneShown)
{
    QTemporaryDir first, second;
    course = copyCourse(first);
    copyCourse(second);
    TMainForm &f = show("LastChapter=sayfa01.ini\nAuthorMode=1\n");
    dialogs.files = {second.filePath("sayfa01.ini"), second.filePath("sayfa01.ini")};
    control<QToolButton>(f, "btnOpenSub")->click(); // named like the chapter shown, in another folder
    EXPECT_EQ(control<QLabel>(f, "lblFileName")->text(), second.filePath("sayfa01.ini"));
    f.chapter().LstGObj.setCurrentIndex(0);
    control<QPushButton>(f, "BtnDelete")->click();
    dialogs.answers = {UserDialogs::Answer::No};
    control<QToolButton>(f, "btnOpenSub")->click(); // the very file shown: not read again
    EXPECT_TRUE(f.chapter().Modified());
    f.chapter().setModified(false);
}
