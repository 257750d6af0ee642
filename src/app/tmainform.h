#pragma once

#include "app/appsettings.h"
#include "lesson/chapter.h"
#include "lesson/chapterfile.h"
#include "platform/mediadevice.h"
#include "platform/mixer.h"
#include "platform/userdialogs.h"

#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>

#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QStandardItem;
class QSystemTrayIcon;
class QScrollArea;
class QSlider;
class QTabWidget;
class QTextBrowser;
class QTimer;
class QToolButton;

namespace lirena {

class ColorCombo;
class Exercises;
class Navigation;
class TTreeCombo;
class VolumeControl;
class PageDisplay;
class PageInteraction;
class PageView;
class PlaybackControl;
class Player;
class TSlider;
class RotatedLabel;
class TRadioGroup;
class TUpDown;

// The player's one window: borderless and full screen, the page above and the
// control panel below. It is where the parts meet: it composes the chapter,
// the page display and the controls, and runs the window's life (creation,
// first activation, closing) and the control panel's three states.
class TMainForm : public QWidget, public ChapterView
{
    Q_OBJECT

public:
    // Where the window finds what the machine gives it; tests give their own.
    struct Environment
    {
        QString programFolder;                   // folder of "Vedra.ini"
        QString registryFile;                    // the machine's registry file
        QString mountTable = QStringLiteral("/proc/self/mountinfo");
        UserDialogs *dialogs = nullptr;          // message boxes
        MediaDevice *media = nullptr;            // the media device; the window makes its own when none
        std::function<bool(const QUrl &)> openUrl; // the desktop's opening of files and addresses
        Mixer *mixer = nullptr;                  // the audio mixer; the window makes its own when none
    };

    explicit TMainForm(Environment environment, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Whether creation found the course data missing and asked the program to end.
    bool terminationRequested() const { return mTerminationRequested; }

    // The control panel's heights: none, the button bar, the bar with the settings pages.
    enum PanelState { PanelHidden = 0, PanelBar = 1, PanelSettings = 2 };

    // Applies a control panel state.
    void SetControlPanelState(int state);
    // Brings the window forward for a second start: restored and active.
    void bringToFront();
    // Closes as the system asks at logout, shutdown or kill: the settings are
    // written, but nothing is asked (nobody is there to answer), so unsaved
    // chapter changes are left unsaved and the file on disk untouched.
    void closeUnattended();

    // Fields shared with the window's parts.
    QString ProgramFolder;
    QString DataFolder;
    QString SourceFolder;
    bool RestorePending = false;
    int ControlPanelState = 1;

    Chapter &chapter() { return mChapter; }
    ChapterFile &chapterFile() { return mChapterFile; }
    Player &player() { return *mPlayer; }
    PageDisplay &pageDisplay();
    PlaybackControl &playback();
    Exercises &exercises();
    PageInteraction &interaction();
    Navigation &navigation() { return *mNavigation; }
    VolumeControl &volume() { return *mVolume; }

    // Controls, by the names the rest of the program knows them by.
    QScrollArea *SBox = nullptr;
    PageView *img = nullptr;
    QLabel *ImgWait = nullptr;
    RotatedLabel *LblChapterName = nullptr;
    QTextBrowser *WB = nullptr;
    QFrame *PaExerciseInfo = nullptr;
    QLabel *ImgExerciseInfo = nullptr;
    QLabel *LblExerciseInfo = nullptr;
    QLabel *LblCounter = nullptr;
    QWidget *ControlPanel = nullptr;
    QWidget *ButtonBar = nullptr;
    QWidget *SubPanel = nullptr;
    QToolButton *btnPlay = nullptr;
    QToolButton *btnPause = nullptr;
    QToolButton *btnStop = nullptr;
    QPushButton *btnLessons = nullptr;
    QPushButton *btnSubjects = nullptr;
    TTreeCombo *TComboLessons = nullptr;
    TTreeCombo *TComboSubjects = nullptr;
    QToolButton *btnBack = nullptr;
    QToolButton *btnForward = nullptr;
    QToolButton *btnNext = nullptr;
    TSlider *Slider = nullptr;
    QLabel *LblTime = nullptr;
    QLabel *LblTotTime = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QToolButton *BtnDown = nullptr;
    QToolButton *BtnUp = nullptr;
    QToolButton *btnMin = nullptr;
    QToolButton *BtnClose = nullptr;
    QTabWidget *PageControl = nullptr;
    QWidget *FilePage = nullptr;
    QWidget *GObjPage = nullptr;
    QWidget *OptionsPage = nullptr;
    QWidget *VolumePage = nullptr;
    QWidget *AboutPage = nullptr;
    // "File" page
    QToolButton *btnNewSub = nullptr;
    QToolButton *btnOpenSub = nullptr;
    QToolButton *btnSaveSub = nullptr;
    QToolButton *btnSaveAs = nullptr;
    QLabel *lblFileName = nullptr;
    QLineEdit *EditGraphicName = nullptr;
    QLineEdit *EditAudioName = nullptr;
    TRadioGroup *RGrpMode = nullptr;
    QCheckBox *chkSectionPlay = nullptr;
    QLabel *LblPointedVGObj = nullptr;
    // "All Objects" page
    QListView *LstGObj = nullptr;
    QListView *LstVObj = nullptr;
    QListView *LstVGObj = nullptr;
    QListView *LstCObj = nullptr;
    QListView *LstRObj = nullptr;
    QLineEdit *EdtGObjName = nullptr;
    QLineEdit *EdtVObjName = nullptr;
    QLabel *LblStart = nullptr;
    QLabel *LblStop = nullptr;
    TUpDown *UDStart = nullptr;
    TUpDown *UDStop = nullptr;
    QLabel *LblThisPosition = nullptr;
    QLabel *LblThisPositionInMs = nullptr;
    TUpDown *UDThisPosition = nullptr;
    // "Seçenekler" page
    TRadioGroup *RGrpImageSize = nullptr;
    QComboBox *cmbImageSize = nullptr;
    TRadioGroup *RGrpMarkType = nullptr;
    ColorCombo *BackgroundColorCombo = nullptr;
    ColorCombo *MarkColorCombo = nullptr;
    QLabel *LblTest3 = nullptr;
    TUpDown *UDTest3 = nullptr;
    QLabel *LblTest12 = nullptr;
    TUpDown *UDTest12 = nullptr;
    // "Ses Kontrolü" page
    QSlider *MasterControl = nullptr;
    QSlider *WaveControl = nullptr;
    QSlider *CDControl = nullptr;
    QLabel *LblCD = nullptr;
    // "Program Hakkında" page
    QLabel *LogoImage = nullptr;
    QLabel *imgAd1 = nullptr;
    QLabel *imgAd2 = nullptr;
    QLabel *LblBriselWeb = nullptr;
    QLabel *Label20 = nullptr;
    QPlainTextEdit *MemoBrisel = nullptr;
    QSystemTrayIcon *RxTray = nullptr;

    // The options shown on the "Seçenekler" page, as the settings file stores them.
    DisplayOptions displayOptions() const;
    void applyDisplayOptions(const DisplayOptions &options);

    // The current media position in ms (0 while no recording is open).
    int mediaPosition() const;

    // Reads the installation source folder from the registry.
    void ReadSourceFolder();
    // Asks about unsaved chapter changes; false when the user cancelled.
    bool ConfirmSaveChanges();
    // ClearChapter of the window: the chapter and what the window shows of it.
    void ClearChapter();
    // Ends a running exercise: its tick stops and its display hides.
    void StopExercise();
    // Goes to a chapter (a full path), recording the history.
    void GoToChapter(const QString &path);
    // Runs a subject of the chapter's menu.
    void TComboSubjectsSelectionChange(const QString &action, const QString &parameter);
    // Shows the user manual, "help00.ini" of the data folder.
    void SpeedButton1Click();
    // Opens a file of the installation source with the desktop, or asks for the disc.
    void OpenSourceFile(const QString &relativePath);
    // The window's own keys; true when the key was consumed.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

    // ChapterView: what the chapter reader asks of the window.
    void stopMedia() override;
    void showWaitPicture(bool shown) override;
    void setSectionPlay(bool checked) override;
    void setChapterName(const QString &name) override;
    void showPicturePage(const QString &imageFile) override;
    void showHtmlPage(const QString &path) override;
    void openMedia(const QString &mediaFile, const QString &path) override;
    double imageScale() const override;
    void setSubjects(const std::vector<SubjectNode> &subjects) override;
    void expandChapterGroup(const QString &groupId) override;
    void chapterLoaded(const QString &path) override;
    void showError(const QString &message) override;

    // The subjects menu of the chapter shown.
    const std::vector<SubjectNode> &subjects() const { return mSubjects; }

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void buildParts();
    void buildNavigation();
    void fillSubjects();
    void buildButtonBar();
    void buildFilePage();
    void buildObjectsPage();
    void buildOptionsPage();
    void buildVolumePage();
    void buildAboutPage();
    void layoutButtonBar();
    void layoutWindow();

    void FormCreate();
    void FormActivate();
    bool FormClose();
    void showDataMissing();
    void btnMinClick();
    void BtnUpClick();
    void BtnDownClick();
    void saveChapterToCurrentFile();
    void keepHiddenTabsOut(int index);
    // Hands the options shown on the "Seçenekler" page to the player.
    void pushOptions();
    QString settingsPath() const;

    Environment mEnv;
    UserDialogs &mDialogs;
    Chapter mChapter;
    ChapterFile mChapterFile{mChapter};
    std::unique_ptr<MediaDevice> mOwnMedia;
    MediaDevice *mMedia = nullptr;
    std::unique_ptr<Player> mPlayer;
    std::unique_ptr<Navigation> mNavigation;
    std::unique_ptr<Mixer> mOwnMixer;
    std::unique_ptr<VolumeControl> mVolume;
    std::vector<SubjectNode> mSubjects;
    bool mTerminationRequested = false;
    bool mClosed = false;
    bool mUnattended = false;
};

} // namespace lirena
