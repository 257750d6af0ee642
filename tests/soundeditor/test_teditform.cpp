#include "soundeditor/teditform.h"

#include "../app/fakedialogs.h"
#include "../app/windowcontrols.h"
#include "../qtprinters.h"
#include "../unprivileged.h"
#include "app/tmainform.h"
#include "authoring/objectspage.h"
#include "fakewaveout.h"
#include "platform/profile.h"
#include "rawsound.h"
#include "soundeditor/twaveditor.h"
#include "soundeditor/txaudioplayer.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace lirena;
using lirena::testing::writeFile;

namespace {

const QString kTestData = QStringLiteral(LIRENA_TEST_DATA "/data/");

void setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime));
}

// A sound editor window on a program folder of its own, its decoder library
// missing unless a test asks for the real one.
class EditFormTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TEditForm> form;

    QString path(const QString &name) const { return dir.filePath(name); }

    TEditForm &create(bool realLibrary = false)
    {
        form = std::make_unique<TEditForm>(
            TEditForm::Environment{.programFolder = dir.path(),
                                   .dialogs = &dialogs,
                                   .xaudioPath = realLibrary ? QString() : path("no-libxaudio.so"),
                                   .output = std::make_unique<lirena::testing::FakeWaveOut>()});
        return *form;
    }
    TWavEditor &view() { return *control<TWavEditor>(*form, "WavEditor"); }
    QString label() { return control<QLabel>(*form, "ofsLabel")->text(); }
};

} // namespace

TEST_F(EditFormTest, DecodedFileIsReusedOnlyWhileItIsThatRecordingsDecoding)
{
    // Decoded at 10:01 from a recording of 10:00, as the window noted it.
    const QDateTime decoded = QDateTime::currentDateTime().addSecs(-3600);
    ASSERT_TRUE(writeFile(path("rec.mp3"), "mp3") && writeFile(path("x.raw"), QByteArray(88200, '\0')));
    setModified(path("rec.mp3"), decoded.addSecs(-60));
    setModified(path("x.raw"), decoded);
    ASSERT_TRUE(writeFile(path("EditForm.INI"), "[Main]\nLastFileName=" + path("rec.mp3").toUtf8() +
                                                    "\nRawSize=88200\nRawTime=" +
                                                    QByteArray::number(decoded.toMSecsSinceEpoch()) + "\n"));
    create();
    // Without its library the window still opens, telling it once.
    ASSERT_EQ(dialogs.errors, QStringList{"Cannot Load Xaudio DLL (" + path("no-libxaudio.so") + ")"});

    form->LoadRecording(path("rec.mp3"));
    EXPECT_EQ(dialogs.errors.size(), 1) << "no decoding asked";
    EXPECT_EQ(view().FileSize(), 88200);

    // A recording changed since is decoded again; the failed start keeps the name.
    setModified(path("rec.mp3"), decoded.addSecs(60));
    form->LoadRecording(path("rec.mp3"));
    EXPECT_EQ(dialogs.errors.size(), 2);
    EXPECT_EQ(view().FileSize(), 0) << "the view lets go of x.raw for the decoder";
    setModified(path("rec.mp3"), decoded.addSecs(-60));
    form->LoadRecording(path("rec.mp3"));
    EXPECT_EQ(dialogs.errors.size(), 2);

    // Written since by another decoding (another run), or deleted: decoded again.
    ASSERT_TRUE(writeFile(path("x.raw"), QByteArray(4400, '\0')));
    form->LoadRecording(path("rec.mp3"));
    EXPECT_EQ(dialogs.errors.size(), 3);
    ASSERT_TRUE(QFile::remove(path("x.raw")));
    form->LoadRecording(path("rec.mp3"));
    EXPECT_EQ(dialogs.errors.size(), 4);

    // Nothing more is said at the program's end.
    form.reset();
    EXPECT_EQ(dialogs.errors.size(), 4);
}

TEST_F(EditFormTest, RecordingIsNamedOnlyOnceItsDecodingHasFinished)
{
    ASSERT_TRUE(QFile::exists(TXaudioPlayer::defaultXaudioPath()));
    ASSERT_TRUE(QFile::copy(kTestData + "cbr-44k-stereo.mp3", path("rec.mp3")));
    create(true);
    ASSERT_TRUE(dialogs.errors.isEmpty());

    // A recording given up for another before the decoder answered: its
    // answer, a refusal, neither ends the next decoding nor is shown.
    form->LoadRecording(path("missing.mp3"));
    form->LoadRecording(path("rec.mp3"));
    // Four seconds at 88,200 bytes a second.
    EXPECT_TRUE(QTest::qWaitFor([&] { return view().FileSize() == 352800; }, 10000));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(control<QProgressBar>(*form, "ProgressBar")->value(), 400);
    EXPECT_EQ(label(), "0.00 - 4.00");

    // A recording that cannot be opened leaves no name behind: x.raw is no longer rec.mp3's.
    form->LoadRecording(path("missing.mp3"));
    EXPECT_EQ(view().FileSize(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogs.errors.isEmpty(); }, 10000));
    EXPECT_EQ(dialogs.errors, QStringList{"Cannot Open Input"});
    form->close();
    EXPECT_EQ(Profile(path("EditForm.INI")).readString("Main", "LastFileName", "(none)"), "");
}

TEST_F(EditFormTest, ControlsFollowTheDecoderAndTheView)
{
    create();
    // The decoder's positions in steps of the bar's range of 400.
    auto *decoder = form->findChild<TXaudioPlayer *>("XaudioPlayer");
    auto *bar = control<QProgressBar>(*form, "ProgressBar");
    emit decoder->OnNotifyInputPosition(123, 400);
    EXPECT_EQ(bar->value(), 123);
    emit decoder->OnNotifyInputPosition(150, 800);
    EXPECT_EQ(bar->value(), 300);
    emit decoder->OnNotifyInputPosition(300, 399);
    EXPECT_EQ(bar->value(), 0);

    EXPECT_EQ(label(), "0.00 - 0.00");
    QFile big(path("big.wav"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(10000000));
    dialogs.files.push_back(path("big.wav"));
    control<QToolButton>(*form, "loadBtn")->click();
    EXPECT_EQ(dialogs.fileDialogs, QStringList{"Select a WAV file"});
    EXPECT_EQ(form->windowTitle(), "Taven's Sound Editor - " + path("big.wav"));
    EXPECT_EQ(label(), "0.00 - 11.89");

    auto *slider = control<QSlider>(*form, "Slider");
    slider->setValue(50);
    EXPECT_EQ(view().OffSet(), 5000000);
    EXPECT_EQ(label(), "56.69 - 68.58");
    view().setOffSet(9100000);
    EXPECT_EQ(slider->value(), 91);
    EXPECT_EQ(view().OffSet(), 9100000) << "the slider's move does not scroll back";

    for (int i = 0; i < 8; ++i)
        control<QToolButton>(*form, "zoomInBtn")->click();
    EXPECT_EQ(view().BufferSize(), 16384);
    for (int i = 0; i < 9; ++i)
        control<QToolButton>(*form, "zoomOutBtn")->click();
    EXPECT_EQ(view().BufferSize(), 2097152);
}

TEST_F(EditFormTest, SettingsComeBackAndAreWrittenOnlyWhenTheAuthorCloses)
{
    ASSERT_TRUE(writeFile(path("EditForm.INI"), "[Main]\nWidth=600\nHeight=300\nLeft=30\nTop=40\nMine=1\n"));
    create();
    EXPECT_EQ(form->size(), QSize(600, 300));
    EXPECT_EQ(form->pos(), QPoint(30, 40));
    form->show();
    form->move(50, 60);
    // The program ends with the window open: nothing is written.
    form.reset();
    EXPECT_EQ(Profile(path("EditForm.INI")).readInteger("Main", "Left", 0), 30);

    create();
    form->show();
    form->resize(640, 320);
    form->close();
    EXPECT_TRUE(form->isHidden());
    const Profile ini(path("EditForm.INI"));
    EXPECT_EQ(ini.readSectionValues("Main"),
              QStringList({"Width=640", "Height=320", "Left=30", "Top=40", "Mine=1", "WindowState=0",
                           "Offset=0", "RawSize=-1", "RawTime=0"}));

    ASSERT_TRUE(writeFile(path("EditForm.INI"), "[Main]\nWindowState=2\n"));
    create();
    EXPECT_TRUE(form->windowState().testFlag(Qt::WindowMaximized));
}

TEST(SoundEditorFiles, BesideTheProgramUnlessItsFolderIsClosed)
{
    if (ranAsNobody())
        return;
    QTemporaryDir home;
    EXPECT_EQ(SoundEditorFiles::choose(home.path()).raw, home.filePath("x.raw"));
    EXPECT_EQ(QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList())
        << "the folder is left as it was";

    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    qputenv("XDG_CACHE_HOME", home.filePath("cache").toUtf8());
    const QString program = home.filePath("program");
    ASSERT_TRUE(QDir().mkdir(program) && QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    const SoundEditorFiles files = SoundEditorFiles::choose(program);
    EXPECT_EQ(files.settings, home.filePath("config/lirena/EditForm.INI"));
    EXPECT_EQ(files.raw, home.filePath("cache/lirena/x.raw"));
    EXPECT_TRUE(QFileInfo(home.filePath("cache/lirena")).isDir());
}

namespace {

// The main window with the authoring pages on a course of one page, whose
// recording is four seconds long and has one voice object, 0.5 s to 1.5 s.
class ShowEditorTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TMainForm> window;

    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(kTestData + "cbr-44k-stereo.mp3", dir.filePath("rec.mp3")));
        ASSERT_TRUE(writeFile(dir.filePath("sayfa01.ini"),
                              "[General]\nName=One\nMediaFile=rec.mp3\n\n[VoiceObjects]\n20=001|500|1500\n"));
        ASSERT_TRUE(writeFile(dir.filePath("Vedra.ini"), "[Settings]\nDataFolder=" + dir.path().toUtf8() +
                                                             "\nLastChapter=sayfa01.ini\nAuthorMode=1\n"));
        ASSERT_TRUE(QFile::copy(TXaudioPlayer::defaultXaudioPath(), dir.filePath("libxaudio.so")));
        TMainForm::Environment env;
        env.programFolder = dir.path();
        env.registryFile = dir.filePath("registry.ini");
        env.dialogs = &dialogs;
        env.xaudioPath = dir.filePath("libxaudio.so");
        window = std::make_unique<TMainForm>(env);
        window->show();
        QApplication::processEvents();
        QApplication::processEvents();
    }
    TEditForm *showEditor()
    {
        control<QPushButton>(*window, "BtnShowEditor")->click();
        return window->findChild<TEditForm *>();
    }
    ObjectList &voices() { return window->chapter().LstVObj; }
    const TVoiceObj &voice(int i) { return *voices().at<TVoiceObj>(i); }
};

} // namespace

TEST_F(ShowEditorTest, DecodesTheRecordingAndHandsSelectionsToTheObjectEditor)
{
    TEditForm *editor = showEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->parentWidget(), window.get());
    EXPECT_TRUE(editor->windowFlags().testFlags(Qt::Tool | Qt::WindowStaysOnTopHint));
    EXPECT_EQ(editor->windowTitle(), "Corvel Sound Editor");
    auto &view = *control<TWavEditor>(*editor, "WavEditor");
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.FileSize() == 352800; }, 10000));
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));

    // Without a selection there is nothing to hand over.
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(voices().count(), 1);

    // Choosing the voice object shows its range; Ctrl+A makes a new one of it.
    window->findChild<ObjectsPage *>()->editor().LstVObjClick(0);
    EXPECT_EQ(view.SelStartMs(), 500);
    EXPECT_EQ(view.SelStopMs(), 1500);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(voices().count(), 2);
    EXPECT_EQ(voice(voices().currentIndex()).StartTime, 500);
    EXPECT_EQ(voice(voices().currentIndex()).StopTime, 1500);

    // Ctrl+Z gives the selected one the range selected in the editor.
    window->findChild<ObjectsPage *>()->editor().LstVObjClick(0);
    view.ShowRange(2000, 2500);
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(voice(0).StartTime, 2000);
    EXPECT_EQ(voice(0).StopTime, 2500);

    // Closing hides the window; the next "Show Editor" shows it again, decoded already.
    editor->close();
    EXPECT_TRUE(editor->isHidden());
    EXPECT_EQ(showEditor(), editor);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(view.FileSize(), 352800);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
}
