#include "app/tmainform.h"

#include "app/aboutpage.h"
#include "app/buttonbar.h"
#include "app/chapterpresenter.h"
#include "app/controlpanel.h"
#include "app/deferredmediadevice.h"
#include "app/installsource.h"
#include "app/keycommands.h"
#include "app/lessoncatalogue.h"
#include "app/lessonmenu.h"
#include "app/mediacheck.h"
#include "app/navigation.h"
#include "app/neighbourpages.h"
#include "app/optionspage.h"
#include "app/pagearea.h"
#include "app/panelpages.h"
#include "app/volumepage.h"
#include "authoring/filepage.h"
#include "authoring/objectspage.h"
#include "platform/pathresolver.h"
#include "platform/profile.h"
#include "platform/soundmediadevice.h"
#include "player/colorcombo.h"
#include "player/pagepicturecache.h"
#include "player/player.h"
#include "soundeditor/teditform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>

namespace lirena {

TMainForm::TMainForm(Environment environment, QWidget *parent)
    : QWidget(parent), mEnv(std::move(environment)), mDialogs(*mEnv.dialogs)
{
    if (!mEnv.openUrl)
        mEnv.openUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    // The machine's own mixer and sound output, unless the caller gives others.
    if (!mEnv.mixer)
        mEnv.mixer = (mOwnMixer = std::make_unique<AlsaMixer>()).get();
    // The sound system is set up when the first recording opens, after the first page is on screen.
    if (!mEnv.media)
        mOwnMedia =
            std::make_unique<DeferredMediaDevice>([] { return std::make_unique<SoundMediaDevice>(); });
    mMedia = mEnv.media ? mEnv.media : mOwnMedia.get();
    ProgramFolder = withTrailingSlash(mEnv.programFolder);
    mSettingsPath = AppSettings::placeFile(ProgramFolder);
    // The last page is made on a thread of its own while the window is built.
    if (!mEnv.pages) {
        mOwnPages = std::make_unique<PagePictureCache>();
        NeighbourPages::makeFirstPageAhead(*mOwnPages, Profile(settingsPath()), ProgramFolder,
                                           screen()->geometry().size(), screen()->devicePixelRatio());
    }
    mPages = mEnv.pages ? mEnv.pages : mOwnPages.get();
    buildWindow();
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::makeFirstPageAhead(PagePictureCache &pages, const QString &programFolder)
{
    const QString folder = withTrailingSlash(programFolder);
    const QScreen *screen = QGuiApplication::primaryScreen();
    NeighbourPages::makeFirstPageAhead(pages, Profile(AppSettings::placeFile(folder)), folder,
                                       screen->geometry().size(), screen->devicePixelRatio());
}

QString TMainForm::settingsPath() const
{
    return mSettingsPath;
}

void TMainForm::FormCreate()
{
    const Profile settings(settingsPath());
    // The About page first: hiding the page shown would show the next one on,
    // each laid out for nothing.
    mPanel->pages().setCurrentWidget(mAboutPage);
    // Learners never see the authoring pages, nor can they save a chapter.
    if (AppSettings::readAuthorMode(settings)) {
        mFilePage->addSaveShortcut(*this);
        mKeys->setAuthorMode(true);
    } else {
        mPanel->pages().hidePage(mFilePage);
        mPanel->pages().hidePage(mObjectsPage);
    }

    SourceFolder = InstallSource::readSourceFolder(mEnv.registryFile);
    MediaCheck::forRegistry(mEnv.registryFile).CheckMp3Support();

    mFilePage->dialogFolder = ProgramFolder;
    // No window manager places this window: it covers its screen itself.
    setGeometry(screen()->geometry());
    layoutWindow();

    DataFolder = AppSettings::readDataFolder(settings, ProgramFolder);
    mChapterFile.setDataFolder(DataFolder);

    if (QFileInfo(resolveCoursePath(DataFolder, QStringLiteral("sayfa01.ini"))).isFile()) {
        // The chapter files are read for the lessons tree once the first page is on screen.
        mCatalogue->scanLater(settings.readSectionValues(QStringLiteral("LessonGroups")), DataFolder);
        const DisplayOptions options = AppSettings::readDisplayOptions(settings);
        mOptionsPage->setOptions(options);
        mPageArea->setBackground(colorFromRef(options.BackgroundColor));
        mPlayer->applyOptions(mOptionsPage->options());
        RestorePending = true;
    } else {
        mDialogs.error(InstallSource::dataMissingMessage(DataFolder, mEnv.mountTable));
        mTerminationRequested = true;
    }
}

bool TMainForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(e);
}

void TMainForm::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    // Moved to another screen, the page is made again for its size and
    // pixel density, as for a size the learner chooses.
    if (!mWatchingScreen && windowHandle()) {
        mWatchingScreen = true;
        connect(windowHandle(), &QWindow::screenChanged, this, &TMainForm::applyImageSize);
    }
    // Without a window manager the window may never be told it is active.
    QTimer::singleShot(0, this, &TMainForm::FormActivate);
}

void TMainForm::FormActivate()
{
    if (!RestorePending)
        return;
    RestorePending = false;
    const RunState run = AppSettings::readRunState(Profile(settingsPath()));
    SetControlPanelState(run.LastScreenSize);
    if (!run.LastChapter.isEmpty())
        mChapterFile.LoadChapter(resolveCoursePath(DataFolder, run.LastChapter), *mPresenter);
    mPlayer->playback().SeekMedia(run.MediaPosition);
    mLessons->navigation().start();
    QTimer::singleShot(0, this, &TMainForm::afterFirstPage);
}

void TMainForm::afterFirstPage()
{
    // The window's first picture goes out when the window is exposed; what
    // follows waits for that (a while at most, should it never be).
    if (!(windowHandle() && windowHandle()->isExposed()) && ++mExposeWaits < 50) {
        QTimer::singleShot(10, this, &TMainForm::afterFirstPage);
        return;
    }
    // The notification-area icon is made but never shown.
    RxTray = new QSystemTrayIcon(windowIcon(), this);
    RxTray->setToolTip(QStringLiteral("Lirena"));
    auto *trayMenu = new QMenu(this);
    trayMenu->addAction(QStringLiteral("&Programı Göster"), this, &TMainForm::show);
    trayMenu->addAction(QStringLiteral("Programdan Çı&kış"), this, &TMainForm::close);
    RxTray->setContextMenu(trayMenu);
    connect(RxTray, &QSystemTrayIcon::activated, this, &TMainForm::show);

    mVolumePage->InitMixer();
    mCatalogue->ensureScanned();
}

void TMainForm::closeEvent(QCloseEvent *e)
{
    if (mClosed || FormClose()) {
        mClosed = true;
        // The application closes every window as it quits: the sound editor's
        // settings are written only when the author closes it.
        if (mEditForm)
            mEditForm->programEnding();
        e->accept();
    } else {
        e->ignore();
    }
}

void TMainForm::closeUnattended()
{
    mUnattended = true;
    close();
}

bool TMainForm::FormClose()
{
    if (mChapter.Modified() && !mUnattended && !mFilePage->ConfirmSaveChanges())
        return false;
    mVolumePage->closeMixer();
    const int position = int(mPlayer->playback().position());
    mChapter.ClearChapter();

    // Closed before the last run was restored: what is stored is still the
    // learner's, and the window holds nothing newer.
    if (RestorePending)
        return true;
    Profile settings(settingsPath());
    RunState run;
    run.LastChapter = mChapterFile.ChapterFileName;
    run.MediaPosition = position;
    run.LastScreenSize = mPanel->state();
    AppSettings::write(settings, run, mOptionsPage->options());
    QString error;
    // A settings file that cannot be written must not keep the learner from closing.
    if (settings.isDirty() && !settings.save(&error) && !mUnattended)
        mDialogs.error(error);
    setWindowState(Qt::WindowNoState);
    return true;
}

void TMainForm::BtnShowEditorClick()
{
    if (!mEditForm) {
        mEditForm = new TEditForm({.programFolder = ProgramFolder,
                                   .dialogs = &mDialogs,
                                   .xaudioPath = mEnv.xaudioPath,
                                   .output = nullptr},
                                  this);
        ObjectEditor &objects = mObjectsPage->editor();
        connect(mEditForm, &TEditForm::addVoiceObject, &objects, &ObjectEditor::NewVoiceObject);
        connect(mEditForm, &TEditForm::replaceVoiceObject, &objects, &ObjectEditor::SetVoiceRange);
    }
    mEditForm->show();
    mEditForm->raise();
    mEditForm->activateWindow();
    mEditForm->LoadRecording(mPresenter->mediaPath());
}

void TMainForm::bringToFront()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    setGeometry(screen()->geometry());
    showFullScreen();
    raise();
    activateWindow();
}

void TMainForm::SetControlPanelState(int state)
{
    mPanel->setState(state);
}

int TMainForm::controlPanelState() const
{
    return mPanel->state();
}

void TMainForm::setLogo(const QPixmap &logo)
{
    mAboutPage->setLogo(logo);
}

void TMainForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // However the window was minimised, an exercise does not run on unseen.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && mPlayer)
        mPlayer->minimised();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // Key preview: the window sees a key before the control that has the focus.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        const QWidget *focus = QApplication::focusWidget();
        if (widget->window() == this && (widget == focus || widget == this)) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (FormKeyDown(key->key(), key->modifiers(), key->isAutoRepeat()))
                return true;
        }
    }
    // Ctrl and the wheel over the page change the picture's size, as Ctrl with "+" and "-" do.
    if (event->type() == QEvent::Wheel && watched->isWidgetType()) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        if ((wheel->modifiers() & Qt::ControlModifier) && wheel->angleDelta().y() != 0 &&
            mPageArea->isAncestorOf(static_cast<QWidget *>(watched))) {
            mKeys->wheelTurned(wheel->angleDelta().y());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::OpenSourceFile(const QString &relativePath)
{
    InstallSource::openFile(SourceFolder, relativePath, mDialogs, mEnv.openUrl);
}

bool TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    // The window-wide keys rest in an author's Design mode, where the design keys below take them.
    if (mKeys->keyPressed(key, modifiers, autoRepeat))
        return true;
    if (mPlayer->interaction().nudgeEditRect(key, modifiers))
        return true;
    if (key == Qt::Key_F1) {
        mLessons->SpeedButton1Click();
        return true;
    }
    return false;
}

} // namespace lirena
