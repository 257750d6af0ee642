#include "app/lessonmenu.h"
#include "app/tmainform.h"
#include "app/navigation.h"
#include "app/ttreecombo.h"
#include "fakedialogs.h"
#include "windowcontrols.h"

#include "player/colorcombo.h"
#include "player/pageview.h"
#include "player/rotatedlabel.h"
#include "player/tradiogroup.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>

#include "../qtprinters.h"

#include <gtest/gtest.h>

using namespace lirena;

namespace {

const QString kCourse = QStringLiteral(LIRENA_SAMPLE_COURSE);

class MainFormTest : public ::testing::Test
{
protected:
    QTemporaryDir programDir;
    FakeDialogs dialogs;
    std::unique_ptr<TMainForm> form;

    void writeFile(const QString &name, const QByteArray &text)
    {
        QFile file(programDir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray settingsText()
    {
        QFile file(programDir.filePath("Vedra.ini"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    void settings(const QByteArray &extra)
    {
        writeFile("Vedra.ini", "[Settings]\nDataFolder=" + kCourse.toUtf8() + "\n" + extra);
    }

    TMainForm &create(const QString &mountTable = QStringLiteral("/proc/self/mountinfo"))
    {
        TMainForm::Environment env;
        env.programFolder = programDir.path();
        env.registryFile = programDir.filePath("registry.ini");
        env.mountTable = mountTable;
        env.dialogs = &dialogs;
        form = std::make_unique<TMainForm>(env);
        return *form;
    }

    // Shows the window and lets its first activation run.
    TMainForm &createShown()
    {
        create();
        form->show();
        QApplication::processEvents();
        QApplication::processEvents();
        return *form;
    }
};

// Run by ctest on two screens, the second of twice the pixel density.
class TwoScreens : public MainFormTest
{
};

} // namespace

TEST_F(TwoScreens, APageMovedToADenserScreenIsMadeAgainForIt)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    QScreen *dense = screens.at(0)->devicePixelRatio() > 1 ? screens.at(0) : screens.at(1);
    QScreen *plain = dense == screens.at(0) ? screens.at(1) : screens.at(0);
    // The sample page at "%50": the file has twice the pixels shown.
    settings("LastChapter=sayfa01.ini\nImageSizeType=1\nImageSize=2\n");
    TMainForm &f = createShown();
    f.windowHandle()->setScreen(plain);
    QApplication::processEvents();
    const PageView *page = control<PageView>(f, "img");
    ASSERT_FALSE(page->image().isNull());
    EXPECT_EQ(page->image().devicePixelRatio(), 1.0);
    const QSize view = page->image().size();

    f.windowHandle()->setScreen(dense);
    QApplication::processEvents();
    EXPECT_EQ(page->image().devicePixelRatio(), 2.0);
    EXPECT_EQ(page->image().size(), view * 2);
    EXPECT_EQ(page->size(), view);
}

TEST_F(MainFormTest, DesignTabsAreHiddenAndTheAboutPageIsActive)
{
    settings("");
    TMainForm &f = create();
    EXPECT_EQ(f.windowTitle(), "Vedra");
    EXPECT_FALSE(control<QTabWidget>(f, "PageControl")->isTabVisible(control<QTabWidget>(f, "PageControl")->indexOf(control<QWidget>(f, "FilePage"))));
    EXPECT_FALSE(control<QTabWidget>(f, "PageControl")->isTabVisible(control<QTabWidget>(f, "PageControl")->indexOf(control<QWidget>(f, "GObjPage"))));
    EXPECT_EQ(control<QTabWidget>(f, "PageControl")->currentWidget(), control<QWidget>(f, "AboutPage"));
    EXPECT_EQ(control<QTabWidget>(f, "PageControl")->tabText(control<QTabWidget>(f, "PageControl")->indexOf(control<QWidget>(f, "AboutPage"))), "Program Hakkında");
    EXPECT_EQ(control<QToolButton>(f, "BtnDown")->toolTip(), "Hide Editor");
    EXPECT_EQ(control<QToolButton>(f, "BtnUp")->toolTip(), "Show Editor");
    EXPECT_EQ(control<QToolButton>(f, "btnNext")->toolTip(), "Bir Sonraki Ders");
    EXPECT_EQ(f.geometry(), f.screen()->geometry());
    EXPECT_TRUE(f.restorePending());
    EXPECT_FALSE(f.terminationRequested());
}

TEST_F(MainFormTest, MissingDataOnAHardDiskAsksToReinstall)
{
    writeFile("Vedra.ini", "[Settings]\nDataFolder=/no/such/course\n");
    TMainForm &f = create();
    EXPECT_TRUE(f.terminationRequested());
    EXPECT_FALSE(f.restorePending());
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], "/ sürücüsünde Lirena programının veri dosyaları bulunamadı.\n"
                                 "Lütfen programı tekrar kurmayı deneyin.");
}

TEST_F(MainFormTest, MissingDataOnADiscAsksForTheDisc)
{
    const QString disc = QDir(programDir.path()).canonicalPath() + "/cdrom";
    QDir().mkpath(disc);
    writeFile("mounts", "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n41 22 11:0 / " + disc.toUtf8() +
                            " ro - iso9660 /dev/sr0 ro\n");
    // No trailing slash: it is added.
    writeFile("Vedra.ini", "[Settings]\nDataFolder=" + disc.toUtf8() + "\n");
    create(programDir.filePath("mounts"));
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], disc + "/ sürücüsünde Lirena programının veri dosyaları bulunamadı.\nLütfen " +
                                     disc + "/ sürücüsüne program CD'sini takıp tekrar deneyin.");
}

TEST_F(MainFormTest, MissingDataOnAnEmptyDiscDriveAsksForTheDisc)
{
    // No disc in: nothing is mounted on /media/cdrom, the folder falls through to "/".
    writeFile("mounts", "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
    writeFile("Vedra.ini", "[Settings]\nDataFolder=/media/cdrom/veri\n");
    create(programDir.filePath("mounts"));
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], "/media/cdrom/ sürücüsünde Lirena programının veri dosyaları bulunamadı.\n"
                                 "Lütfen /media/cdrom/ sürücüsüne program CD'sini takıp tekrar deneyin.");
}

TEST_F(MainFormTest, ManualButtonShowsAQuestionMarkAsTallAsItsIcon)
{
    settings("");
    TMainForm &f = create();
    const QSize size = control<QToolButton>(f, "SpeedButton1")->iconSize();
    const QImage glyph = control<QToolButton>(f, "SpeedButton1")->icon().pixmap(size, 1.0).toImage();
    ASSERT_EQ(glyph.size(), size);
    int top = size.height(), bottom = -1, left = size.width(), right = -1;
    for (int y = 0; y < glyph.height(); ++y) {
        for (int x = 0; x < glyph.width(); ++x) {
            if (qAlpha(glyph.pixel(x, y)) < 128)
                continue;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    // A mark from the top to the bottom of the icon, narrower than it is tall.
    EXPECT_GE(bottom - top + 1, size.height() - 2);
    EXPECT_LE(right - left + 1, size.width() * 3 / 4);
    EXPECT_GE(left, 1);
}

TEST_F(MainFormTest, SettingsTheBuildWritesOpenTheFirstLessonAtTheFirstStart)
{
    QProcess cmake;
    cmake.start(QStandardPaths::findExecutable("cmake"),
                {"-DINI=" + programDir.filePath("Vedra.ini"), "-DCOURSE=" + kCourse, "-P",
                 QStringLiteral(LIRENA_TEST_DATA "/../scripts/write-settings.cmake")});
    ASSERT_TRUE(cmake.waitForFinished(30000));
    ASSERT_EQ(cmake.exitCode(), 0) << cmake.readAllStandardError().toStdString();
    TMainForm &f = createShown();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_FALSE(control<PageView>(f, "img")->image().isNull());
    EXPECT_GT(f.chapter().LstGObj.count(), 0);
    EXPECT_EQ(control<RotatedLabel>(f, "LblChapterName")->text(), "Harfler 1: A - İ");
}

TEST_F(MainFormTest, ControlPanelMovesBetweenItsStates)
{
    settings("");
    TMainForm &f = create();
    f.SetControlPanelState(1);
    EXPECT_EQ(control<QWidget>(f, "ControlPanel")->height(), 40);
    EXPECT_EQ(control<QToolButton>(f, "BtnUp")->toolTip(), "Ayar Sayfasını Göster");
    EXPECT_EQ(control<QToolButton>(f, "BtnDown")->toolTip(), "");
    EXPECT_TRUE(control<QToolButton>(f, "BtnUp")->isEnabled());
    EXPECT_FALSE(control<QToolButton>(f, "BtnDown")->isEnabled());

    control<QToolButton>(f, "BtnUp")->click();
    EXPECT_EQ(f.controlPanelState(), 2);
    EXPECT_EQ(control<QWidget>(f, "ControlPanel")->height(), 222);
    EXPECT_EQ(control<QToolButton>(f, "BtnDown")->toolTip(), "Ayar Sayfasını Kapat");
    EXPECT_EQ(control<QToolButton>(f, "BtnUp")->toolTip(), "");
    EXPECT_FALSE(control<QToolButton>(f, "BtnUp")->isEnabled());
    EXPECT_TRUE(control<QToolButton>(f, "BtnDown")->isEnabled());
    EXPECT_EQ(control<QWidget>(f, "ControlPanel")->geometry().bottom(), f.height() - 1);

    control<QToolButton>(f, "BtnDown")->click();
    EXPECT_EQ(f.controlPanelState(), 1);
    EXPECT_FALSE(control<QToolButton>(f, "BtnDown")->isEnabled());

    f.SetControlPanelState(0);
    EXPECT_EQ(control<QWidget>(f, "ControlPanel")->height(), 0);
    EXPECT_EQ(control<QToolButton>(f, "BtnUp")->toolTip(), "Ayar Sayfasını Göster"); // state 0 leaves the hints
    EXPECT_TRUE(control<QToolButton>(f, "BtnUp")->isEnabled());
}

TEST_F(MainFormTest, OptionsComeFromTheSettingsFile)
{
    settings("Test12WaitTime=1,5\nTest3WaitTime=7\nBackgroundColor=0x00FF00\nMarkType=2\nImageSize=3\n"
             "ImageSizeType=0\nMarkColor=0x9F5F9F\n");
    TMainForm &f = create();
    EXPECT_EQ(control<QLabel>(f, "LblTest12")->text(), "1,5");
    EXPECT_EQ(control<QLabel>(f, "LblTest3")->text(), "7");
    EXPECT_EQ(control<QScrollArea>(f, "SBox")->palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_EQ(control<TRadioGroup>(f, "RGrpMarkType")->itemIndex(), 2);
    EXPECT_EQ(control<QComboBox>(f, "cmbImageSize")->currentIndex(), 3);
    EXPECT_EQ(control<TRadioGroup>(f, "RGrpImageSize")->itemIndex(), 0);
    EXPECT_EQ(control<ColorCombo>(f, "MarkColorCombo")->currentText(), "Eflatun");
}

TEST_F(MainFormTest, FirstActivationRestoresTheLastRun)
{
    settings("LastChapter=sayfa02.ini\nLastScreenSize=0\nMediaPosition=1500\n");
    TMainForm &f = createShown();
    EXPECT_FALSE(f.restorePending());
    EXPECT_EQ(f.controlPanelState(), 0);
    EXPECT_EQ(control<QWidget>(f, "ControlPanel")->height(), 0);
    EXPECT_EQ(control<QLabel>(f, "lblFileName")->text(), kCourse + "/sayfa02.ini");
    EXPECT_EQ(control<RotatedLabel>(f, "LblChapterName")->text(), "Harfler 2: J - Z");
    EXPECT_EQ(control<QLineEdit>(f, "EditGraphicName")->text(), "sayfa02.jpg");
    EXPECT_EQ(control<TRadioGroup>(f, "RGrpMode")->itemIndex(), 2);
    EXPECT_FALSE(f.chapter().Modified());
    EXPECT_FALSE(control<PageView>(f, "img")->image().isNull());
    EXPECT_GT(f.chapter().ClickSet.size(), 0u); // "Play Limited" built the working sets
    EXPECT_TRUE(control<QPushButton>(f, "btnSubjects")->isEnabled());
    EXPECT_EQ(f.lessons().navigation().history(), QStringList{"sayfa02.ini|1500"}); // the position after the restoring seek
    EXPECT_EQ(control<QLabel>(f, "LblTime")->text(), "00:00:01.5");
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(MainFormTest, FirstStartWithoutAStoredChapterShowsNoPage)
{
    settings("");
    TMainForm &f = createShown();
    EXPECT_EQ(f.controlPanelState(), 1);
    EXPECT_EQ(control<QWidget>(f, "ControlPanel")->height(), 40);
    EXPECT_TRUE(control<PageView>(f, "img")->image().isNull());
    EXPECT_EQ(control<QLabel>(f, "lblFileName")->text(), "New File");
    EXPECT_EQ(f.lessons().navigation().history(), QStringList{"|0"});
}

TEST_F(MainFormTest, HtmlPageFillsThePageArea)
{
    settings("LastChapter=sayfa05.ini\n");
    TMainForm &f = createShown();
    EXPECT_TRUE(control<QTextBrowser>(f, "WB")->isVisible());
    EXPECT_EQ(control<QTextBrowser>(f, "WB")->geometry(), control<QScrollArea>(f, "SBox")->viewport()->geometry());
    EXPECT_TRUE(control<QTextBrowser>(f, "WB")->toPlainText().contains("Ali"));
}

TEST_F(MainFormTest, ChaptersNamedInWindowsStyleAreFound)
{
    settings("LastChapter=SAYFA03.INI\n");
    TMainForm &f = createShown();
    EXPECT_EQ(control<RotatedLabel>(f, "LblChapterName")->text(), "Heceler: b ile");
    EXPECT_FALSE(control<PageView>(f, "img")->image().isNull()); // resimler\SAYFA03.JPG
}

TEST_F(MainFormTest, ClosingWritesTheRunAndTheOptions)
{
    settings("LastChapter=sayfa02.ini\n\n[LessonGroups]\n01=Harfler\n");
    TMainForm &f = createShown();
    f.SetControlPanelState(2);
    control<QLabel>(f, "LblTest12")->setText("2,5");
    EXPECT_TRUE(f.close());
    const QByteArray text = settingsText();
    EXPECT_TRUE(text.contains("LastChapter=sayfa02.ini\nMediaPosition=0\nLastScreenSize=2\nTest3WaitTime=5\n"
                              "Test12WaitTime=2,5\nMarkType=0\nImageSize=0\nImageSizeType=1\n"
                              "BackgroundColor=75689\nMarkColor=9029623\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("[LessonGroups]\n01=Harfler\n"));
    EXPECT_EQ(f.chapter().LstGObj.count(), 0); // the chapter was cleared
}

TEST_F(MainFormTest, CancelInTheSavePromptKeepsTheWindowOpen)
{
    settings("LastChapter=sayfa02.ini\n");
    TMainForm &f = createShown();
    const QByteArray before = settingsText();
    f.chapter().setModified(true);
    dialogs.answers = {UserDialogs::Answer::Cancel};
    EXPECT_FALSE(f.close());
    EXPECT_EQ(dialogs.questions, QStringList{"Warning !: Save changes to sayfa02.ini"});
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(settingsText(), before);
    EXPECT_GT(f.chapter().LstGObj.count(), 0);

    dialogs.answers = {UserDialogs::Answer::No};
    EXPECT_TRUE(f.close());
}

TEST_F(MainFormTest, YesInTheSavePromptSavesTheChapterBeforeClosing)
{
    QTemporaryDir course;
    for (const char *name : {"sayfa01.ini", "sayfa02.ini", "sayfa02.jpg"})
        QFile::copy(kCourse + "/" + name, course.filePath(name));
    writeFile("Vedra.ini", "[Settings]\nDataFolder=" + course.path().toUtf8() + "\nLastChapter=sayfa02.ini\n");
    TMainForm &f = createShown();
    TVGObj *link = f.chapter().LstVGObj.at<TVGObj>(0);
    const QByteArray line = QByteArray::number(link->Id) + "=" + link->Name.toLatin1() + "|";
    f.chapter().deleteLink(link);
    dialogs.answers = {UserDialogs::Answer::Yes};
    EXPECT_TRUE(f.close());
    auto contents = [](const QString &path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    };
    EXPECT_TRUE(contents(course.filePath("sayfa02.ini.old")).contains(line));
    EXPECT_FALSE(contents(course.filePath("sayfa02.ini")).contains(line));
}

TEST_F(MainFormTest, SettingsThatCannotBeWrittenAreReportedAndTheWindowStillCloses)
{
    settings("");
    TMainForm &f = createShown();
    QDir(programDir.path()).removeRecursively();
    EXPECT_TRUE(f.close());
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith("Unable to write to ")) << dialogs.errors[0].toStdString();
}

TEST_F(MainFormTest, MalformedChapterShowsTheErrorAndStillLoads)
{
    QTemporaryDir course;
    QFile::copy(kCourse + "/sayfa01.ini", course.filePath("sayfa01.ini"));
    QFile bad(course.filePath("bozuk.ini"));
    bad.open(QIODevice::WriteOnly);
    bad.write("[General]\nName=Bozuk\n\n[GraphicObjects]\n1=a|0|0|10|10\n2=b|x|0|1|1\n");
    bad.close();
    writeFile("Vedra.ini", "[Settings]\nDataFolder=" + course.path().toUtf8() + "\nLastChapter=bozuk.ini\n");
    TMainForm &f = createShown();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith("'x' is not a valid integer value."));
    EXPECT_EQ(f.chapter().LstGObj.count(), 1);
    EXPECT_EQ(control<TRadioGroup>(f, "RGrpMode")->itemIndex(), 2);
    EXPECT_FALSE(f.chapter().Modified());
}

TEST_F(MainFormTest, DamagedPagePictureIsReportedAndTheChapterStillLoads)
{
    QTemporaryDir course;
    QFile::copy(kCourse + "/sayfa01.ini", course.filePath("sayfa01.ini"));
    QFile::copy(QStringLiteral(LIRENA_TEST_DATA "/data/page-truncated.jpg"), course.filePath("sayfa02.jpg"));
    QFile::copy(kCourse + "/sayfa02.ini", course.filePath("sayfa02.ini"));
    writeFile("Vedra.ini", "[Settings]\nDataFolder=" + course.path().toUtf8() + "\nLastChapter=sayfa02.ini\n");
    TMainForm &f = createShown();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains("sayfa02.jpg")) << dialogs.errors[0].toStdString();
    EXPECT_TRUE(control<PageView>(f, "img")->image().isNull());
    EXPECT_GT(f.chapter().LstGObj.count(), 0);
    EXPECT_EQ(control<TRadioGroup>(f, "RGrpMode")->itemIndex(), 2);
    EXPECT_TRUE(f.isVisible());
}

TEST_F(MainFormTest, LessonsAskedForBeforeTheFirstPageIsShownAreThere)
{
    settings("\n[LessonGroups]\n01=Harfler\n02=Heceler ve Kelimeler\n09=Yardım\n");
    // Never shown: the chapter files are read for the lessons tree once the first page is on screen.
    TMainForm &f = create();
    auto *tree = control<TTreeCombo>(f, "TComboLessons");
    EXPECT_FALSE(tree->hasNodes());
    control<QPushButton>(f, "btnLessons")->click();
    EXPECT_TRUE(tree->view()->isVisible());
    EXPECT_TRUE(tree->hasNodes());
    tree->hidePopup();

    TMainForm &g = create();
    g.lessons().GoToChapter(kCourse + "/sayfa01.ini");
    control<QToolButton>(g, "btnNext")->click();
    EXPECT_EQ(g.chapterFile().ChapterFileName, "sayfa02.ini");
    tree = control<TTreeCombo>(g, "TComboLessons");
    EXPECT_TRUE(
        tree->treeView()->isExpanded(tree->tree().item(0)->index())); // the group of the chapter shown
}

TEST_F(MainFormTest, SourceFolderComesFromTheRegistry)
{
    settings("");
    writeFile("registry.ini", "[Software\\Brisel\\Lirena\\1.2]\nSourceFolder=/media/cdrom\n");
    EXPECT_EQ(create().sourceFolder(), "/media/cdrom/");
    writeFile("registry.ini", "[Software\\Brisel\\Lirena\\1.2]\nOther=1\n");
    EXPECT_EQ(create().sourceFolder(), "/");
    writeFile("registry.ini", "[Software\\Other]\nSourceFolder=/x\n");
    EXPECT_EQ(create().sourceFolder(), "");
}

TEST_F(MainFormTest, BringingToFrontRestoresAMinimisedWindow)
{
    settings("");
    TMainForm &f = createShown();
    f.showMinimized();
    QApplication::processEvents();
    ASSERT_TRUE(f.isMinimized());
    f.bringToFront();
    QApplication::processEvents();
    EXPECT_FALSE(f.isMinimized());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.geometry(), f.screen()->geometry());
}
