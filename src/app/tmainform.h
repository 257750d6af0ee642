#pragma once

#include "lesson/chapter.h"
#include "lesson/chapterfile.h"
#include "platform/mediadevice.h"
#include "platform/mixer.h"
#include "platform/userdialogs.h"

#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>

class QSystemTrayIcon;

namespace lirena {

class AboutPage;
class ChapterPresenter;
class ControlPanel;
class FilePage;
class KeyCommands;
class LessonCatalogue;
class LessonMenu;
class NeighbourPages;
class ObjectsPage;
class OptionsPage;
class PageArea;
class PagePictureCache;
class Player;
class TEditForm;
class VolumePage;

// The player's one window: borderless and full screen, the page above and the
// control panel below. It composes the player, the control panel's bar and
// pages, and the catalogue and history, and runs the window's life: creation,
// first activation, closing, and the control panel's three heights.
class TMainForm : public QWidget
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
        PagePictureCache *pages = nullptr;       // pages made ahead; the window makes its own when none
        QString xaudioPath;                      // the sound editor's decoder library; empty: its usual place
    };

    explicit TMainForm(Environment environment, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Has the page the last run ended on made ahead, on a thread of its own,
    // at the size the settings of a window in programFolder choose on the
    // primary screen: begun before the window is, it is ready sooner.
    static void makeFirstPageAhead(PagePictureCache &pages, const QString &programFolder);

    // Whether creation found the course data missing and asked the program to end.
    bool terminationRequested() const { return mTerminationRequested; }
    // Applies a control panel state (ControlPanel::State: hidden, the bar, the bar with the pages).
    void SetControlPanelState(int state);
    int controlPanelState() const;
    // Brings the window forward for a second start: restored and active.
    void bringToFront();
    // Closes as the system asks at logout, shutdown or kill: the settings are
    // written, but nothing is asked (nobody is there to answer), so unsaved
    // chapter changes are left unsaved and the file on disk untouched.
    void closeUnattended();
    // The logo of the About page, as the splash window shows it.
    void setLogo(const QPixmap &logo);
    // The folders the window found: the course data and the installation source.
    const QString &dataFolder() const { return DataFolder; }
    const QString &sourceFolder() const { return SourceFolder; }
    // Whether the last run is still to be restored at the first activation.
    bool restorePending() const { return RestorePending; }

    Chapter &chapter() { return mChapter; }
    ChapterFile &chapterFile() { return mChapterFile; }
    Player &player() { return *mPlayer; }
    LessonMenu &lessons() { return *mLessons; }
    // Opens a file of the installation source with the desktop, or asks for the disc.
    void OpenSourceFile(const QString &relativePath);
    // The window's own keys, whichever control has the focus; true when the
    // key was consumed. autoRepeat: the key is held down and repeats.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat = false);

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
    void layoutWindow();
    // Shows the page at the size chosen on the options page.
    void applyImageSize();
    void FormCreate();
    void FormActivate();
    // What the first page need not wait for, done once it is on screen: the
    // notification-area icon, the volume sliders and the lessons tree.
    void afterFirstPage();
    void BtnShowEditorClick();
    bool FormClose();
    // "Vedra.ini" where it lives for this program folder (chosen at start).
    QString settingsPath() const;

    Environment mEnv;
    UserDialogs &mDialogs;
    Chapter mChapter;
    ChapterFile mChapterFile{mChapter};
    std::unique_ptr<MediaDevice> mOwnMedia;
    MediaDevice *mMedia = nullptr;
    std::unique_ptr<Mixer> mOwnMixer;
    std::unique_ptr<PagePictureCache> mOwnPages;
    PagePictureCache *mPages = nullptr;
    std::unique_ptr<Player> mPlayer;
    std::unique_ptr<LessonCatalogue> mCatalogue;
    std::unique_ptr<LessonMenu> mLessons;
    std::unique_ptr<NeighbourPages> mNeighbours;
    std::unique_ptr<ChapterPresenter> mPresenter;
    std::unique_ptr<KeyCommands> mKeys;

    QString ProgramFolder;
    QString mSettingsPath;
    QString DataFolder;
    QString SourceFolder;
    bool RestorePending = false;
    bool mWatchingScreen = false;
    bool mTerminationRequested = false;
    bool mClosed = false;
    bool mUnattended = false;
    int mExposeWaits = 0;

    PageArea *mPageArea = nullptr;
    ControlPanel *mPanel = nullptr;
    FilePage *mFilePage = nullptr;
    ObjectsPage *mObjectsPage = nullptr;
    OptionsPage *mOptionsPage = nullptr;
    VolumePage *mVolumePage = nullptr;
    AboutPage *mAboutPage = nullptr;
    TEditForm *mEditForm = nullptr; // made at the first "&Show Editor", then kept
    QSystemTrayIcon *RxTray = nullptr;
};

} // namespace lirena
