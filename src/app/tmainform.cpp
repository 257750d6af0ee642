#include "app/tmainform.h"

#include "app/aboutpage.h"
#include "app/buttonbar.h"
#include "app/lessoncatalogue.h"
#include "app/mediacheck.h"
#include "app/navigation.h"
#include "app/optionspage.h"
#include "app/ttreecombo.h"
#include "app/volumepage.h"
#include "authoring/filepage.h"
#include "authoring/objectspage.h"
#include "platform/integertext.h"
#include "platform/mountinfo.h"
#include "platform/pathresolver.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/soundmediadevice.h"
#include "player/colorcombo.h"
#include "player/player.h"
#include "player/rotatedlabel.h"
#include "player/waittimes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItem>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

namespace lirena {

namespace {

const QString kSourceKey = QStringLiteral("\\Software\\Brisel\\Lirena\\1.2");
// Heights of the control panel: the button bar alone, and with the settings pages.
const int kBarHeight = 40;
const int kPanelHeight = 222;

} // namespace

TMainForm::TMainForm(Environment environment, QWidget *parent)
    : QWidget(parent), mEnv(std::move(environment)), mDialogs(*mEnv.dialogs)
{
    if (!mEnv.openUrl)
        mEnv.openUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    if (!mEnv.mixer) {
        mOwnMixer = std::make_unique<AlsaMixer>();
        mEnv.mixer = mOwnMixer.get();
    }
    mMedia = mEnv.media;
    if (!mMedia) {
        mOwnMedia = std::make_unique<SoundMediaDevice>();
        mMedia = mOwnMedia.get();
    }
    buildWindow();
    FormCreate();
}

TMainForm::~TMainForm() = default;

QString TMainForm::settingsPath() const
{
    return ProgramFolder + AppSettings::fileName();
}

void TMainForm::FormCreate()
{
    // Hidden and disabled: Ctrl+Tab, the tab bar's keys and the wheel pass over
    // a disabled tab, not over one that is only hidden.
    for (QWidget *design : std::initializer_list<QWidget *>{mFilePage, mObjectsPage}) {
        PageControl->setTabVisible(PageControl->indexOf(design), false);
        PageControl->setTabEnabled(PageControl->indexOf(design), false);
    }
    PageControl->setCurrentWidget(mAboutPage);
    connect(PageControl, &QTabWidget::currentChanged, this, &TMainForm::keepHiddenTabsOut);

    ReadSourceFolder();
    const QString systemFolder = QFileInfo(mEnv.registryFile).absolutePath();
    MediaCheck(mEnv.registryFile, systemFolder + QStringLiteral("/system.ini"), systemFolder + QStringLiteral("/win.ini"),
               MediaCheck::WindowsMajorVersion())
        .CheckMp3Support();


    ProgramFolder = withTrailingSlash(mEnv.programFolder);
    // No window manager places this window: it covers its screen itself.
    setGeometry(screen()->geometry());
    layoutWindow();

    // The notification-area icon is made but never shown.
    RxTray = new QSystemTrayIcon(windowIcon(), this);
    RxTray->setObjectName(QStringLiteral("RxTray"));
    RxTray->setToolTip(QStringLiteral("Lirena"));
    auto *trayMenu = new QMenu(this);
    trayMenu->addAction(QStringLiteral("&Programı Göster"), this, &TMainForm::show);
    trayMenu->addAction(QStringLiteral("Programdan Çı&kış"), this, &TMainForm::close);
    RxTray->setContextMenu(trayMenu);
    connect(RxTray, &QSystemTrayIcon::activated, this, &TMainForm::show);

    mVolumePage->InitMixer();

    const Profile settings(settingsPath());
    DataFolder = AppSettings::readDataFolder(settings, ProgramFolder);
    mChapterFile.setDataFolder(DataFolder);

    if (QFileInfo(resolveCoursePath(DataFolder, QStringLiteral("sayfa01.ini"))).isFile()) {
        LessonCatalogue::ScanLessonGroups(mBar->lessonsTree(), settings, DataFolder);
        const DisplayOptions options = AppSettings::readDisplayOptions(settings);
        mOptionsPage->setOptions(options);
        setBackground(colorFromRef(options.BackgroundColor));
        pushOptions();
        RestorePending = true;
    } else {
        showDataMissing();
    }
}

void TMainForm::keepHiddenTabsOut(int index)
{
    if (index < 0 || PageControl->isTabVisible(index))
        return;
    // No way into a hidden page: back to the nearest shown one.
    for (int i = 0; i < PageControl->count(); ++i) {
        if (PageControl->isTabVisible(i) && PageControl->isTabEnabled(i)) {
            PageControl->setCurrentIndex(i);
            return;
        }
    }
}

void TMainForm::showDataMissing()
{
    const Drive found = driveOf(DataFolder, mEnv.mountTable);
    const QString drive = withTrailingSlash(found.path);
    QString message = drive + QStringLiteral(" sürücüsünde Lirena programının veri dosyaları bulunamadı.");
    if (found.disc)
        message += QStringLiteral("\nLütfen ") + drive + QStringLiteral(" sürücüsüne program CD'sini takıp tekrar deneyin.");
    else
        message += QStringLiteral("\nLütfen programı tekrar kurmayı deneyin.");
    mDialogs.error(message);
    mTerminationRequested = true;
}

void TMainForm::ReadSourceFolder()
{
    Registry registry(mEnv.registryFile);
    if (!registry.openKey(kSourceKey, false))
        return;
    SourceFolder = registry.readString(QStringLiteral("SourceFolder"));
    SourceFolder.replace(u'\\', u'/');
    if (!SourceFolder.endsWith(u'/'))
        SourceFolder += u'/';
    registry.closeKey();
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
        mChapterFile.LoadChapter(resolveCoursePath(DataFolder, run.LastChapter), *this);
    mPlayer->playback().SeekMedia(run.MediaPosition);
    mNavigation->start();
}

void TMainForm::closeEvent(QCloseEvent *e)
{
    if (mClosed || FormClose()) {
        mClosed = true;
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
    if (mChapter.Modified() && !mUnattended && !ConfirmSaveChanges())
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
    run.LastScreenSize = ControlPanelState;
    AppSettings::write(settings, run, mOptionsPage->options());
    QString error;
    // A settings file that cannot be written must not keep the learner from closing.
    if (settings.isDirty() && !settings.save(&error) && !mUnattended)
        mDialogs.error(error);
    setWindowState(Qt::WindowNoState);
    return true;
}

bool TMainForm::ConfirmSaveChanges()
{
    const QString shown = fileNamePart(mFilePage->fileName());
    const auto answer = mDialogs.askYesNoCancel(QStringLiteral("Warning !"), QStringLiteral("Save changes to ") + shown);
    if (answer == UserDialogs::Answer::Cancel)
        return false;
    if (answer == UserDialogs::Answer::Yes)
        saveChapterToCurrentFile();
    // A save that failed keeps the changes: do not go on and lose them.
    return !mChapter.Modified() || answer == UserDialogs::Answer::No;
}

void TMainForm::saveChapterToCurrentFile()
{
    const QString path = mFilePage->fileName();
    if (!QFileInfo(path).isAbsolute())
        return;
    QString error;
    if (!mChapterFile.SaveChapter(path, mFilePage->sectionPlay(), &error))
        mDialogs.error(error);
}

PageDisplay &TMainForm::pageDisplay()
{
    return mPlayer->page();
}

PlaybackControl &TMainForm::playback()
{
    return mPlayer->playback();
}

Exercises &TMainForm::exercises()
{
    return mPlayer->exercises();
}

PageInteraction &TMainForm::interaction()
{
    return mPlayer->interaction();
}

void TMainForm::pushOptions()
{
    const DisplayOptions o = mOptionsPage->options();
    mPlayer->page().setOptions({
        .sizeType = o.ImageSizeType == 0 ? PageDisplay::FitScreen : PageDisplay::ChosenSize,
        .sizeIndex = o.ImageSize,
        .markStyle = o.MarkType >= 0 && o.MarkType <= 2 ? PageDisplay::MarkStyle(o.MarkType) : PageDisplay::NoMark,
        .markColor = colorFromRef(o.MarkColor),
    });
    mPlayer->exercises().setWaitTimes(WaitTimes::test3Seconds(o.Test3WaitTime),
                                      WaitTimes::readingFactor(o.Test12WaitTime));
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
    switch (state) {
    case PanelHidden: ControlPanel->setFixedHeight(0); break;
    case PanelBar: ControlPanel->setFixedHeight(kBarHeight); break;
    case PanelSettings: ControlPanel->setFixedHeight(kPanelHeight); break;
    default: break;
    }
    mBar->showPanelState(state, state == PanelSettings);
    ControlPanelState = state;
    layoutWindow();
    mPlayer->page().CenterPage();
}

void TMainForm::setBackground(const QColor &color)
{
    QPalette palette = SBox->palette();
    palette.setColor(QPalette::Window, color);
    SBox->setPalette(palette);
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
            if (FormKeyDown(key->key(), key->modifiers()))
                return true;
        }
    }
    if (event->type() == QEvent::MouseMove && (watched == SBox->widget() || watched == SBox->viewport())) {
        const auto *move = static_cast<QMouseEvent *>(event);
        const QPoint inBox = static_cast<QWidget *>(watched)->mapTo(SBox, move->position().toPoint());
        mPlayer->interaction().SBoxMouseMove(inBox.y());
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::stopMedia()
{
    mPlayer->playback().StopMedia();
}

void TMainForm::showWaitPicture(bool shown)
{
    if (shown) {
        const QSize area = SBox->viewport()->size();
        ImgWait->move((area.width() - ImgWait->width()) / 2, (area.height() - ImgWait->height()) / 2);
        ImgWait->show();
        ImgWait->raise();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } else {
        ImgWait->hide();
    }
}

void TMainForm::setSectionPlay(bool checked)
{
    mFilePage->setSectionPlay(checked);
}

void TMainForm::setChapterName(const QString &name)
{
    LblChapterName->setText(name);
    SBox->verticalScrollBar()->setValue(0);
}

void TMainForm::showPicturePage(const QString &imageFile)
{
    WB->hide();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QString error;
    if (!mPlayer->page().LoadPageImage(imageFile, &error))
        mDialogs.error(error);
}

void TMainForm::showHtmlPage(const QString &path)
{
    WB->setSource(QUrl::fromLocalFile(path));
    WB->setGeometry(SBox->viewport()->geometry());
    WB->show();
    WB->raise();
}

void TMainForm::openMedia(const QString &mediaFile, const QString &path)
{
    mFilePage->setAudioFile(mediaFile);
    mPlayer->playback().OpenMedia(path, true);
}

double TMainForm::imageScale() const
{
    return mPlayer->page().ImageScale();
}

void TMainForm::setSubjects(const std::vector<SubjectNode> &subjects)
{
    mSubjects = subjects;
    TTreeCombo &tree = mBar->subjectsTree();
    tree.clearTree();
    for (const SubjectNode &node : mSubjects) {
        QStandardItem *top = tree.addNode(nullptr, node.Title, node.Action.isEmpty() ? TTreeCombo::kGroupImage
                                                                                     : TTreeCombo::kEntryImage,
                                          node.Action, node.Parameter);
        for (const SubjectNode &child : node.children)
            tree.addNode(top, child.Title, TTreeCombo::kEntryImage, child.Action, child.Parameter);
    }
    tree.treeView()->expandAll();
    mBar->setSubjectsOffered(tree.hasNodes());
}

void TMainForm::expandChapterGroup(const QString &groupId)
{
    LessonCatalogue::ExpandChapterGroup(mBar->lessonsTree(), groupId);
}

void TMainForm::GoToChapter(const QString &path)
{
    mNavigation->GoToChapter(path);
}

void TMainForm::SpeedButton1Click()
{
    GoToChapter(resolveCoursePath(DataFolder, QStringLiteral("help00.ini")));
}

void TMainForm::TComboSubjectsSelectionChange(const QString &actionText, const QString &parameter)
{
    const QString action = actionText.toUpper();
    if (action == u"PLAY") {
        const auto position = parseInteger(parameter);
        if (!position) {
            mPlayer->exercises().StopExercise();
            mDialogs.error(QStringLiteral("'%1' is not a valid integer value.").arg(parameter));
            return;
        }
        mPlayer->playFrom(*position);
    } else if (action == u"LOADCHAPTER") {
        GoToChapter(resolveCoursePath(DataFolder, parameter));
    } else if (action == u"TEST1") {
        mPlayer->startExercise(Exercises::Test1, parameter == u"1");
    } else if (action == u"TEST2") {
        mPlayer->startExercise(Exercises::Test2, parameter == u"1");
    } else if (action == u"TEST3") {
        mPlayer->startExercise(Exercises::Test3, true);
    }
}

void TMainForm::OpenSourceFile(const QString &relativePath)
{
    const QString folder = SourceFolder.isEmpty() ? QDir::currentPath() : SourceFolder;
    const QString path = resolveCoursePath(folder, relativePath);
    if (!QFileInfo::exists(path)) {
        mDialogs.error(QStringLiteral("Lütfen kuruluş CD'sini takın !"));
        return;
    }
    if (!mEnv.openUrl(QUrl::fromLocalFile(path)))
        mEnv.openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

bool TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (mPlayer->interaction().nudgeEditRect(key, modifiers))
        return true;
    if (key == Qt::Key_F1) {
        SpeedButton1Click();
        return true;
    }
    return false;
}

void TMainForm::chapterLoaded(const QString &path)
{
    // A page without a JPG picture of its own leaves the one before in view; a
    // size change must not reload that picture as if it were this page's.
    if (QFileInfo(mChapterFile.ImageFile).suffix().toUpper() != u"JPG")
        mPlayer->page().forgetPicture();
    mPlayer->interaction().setMode(PageInteraction::PlayLimited);
    mFilePage->setFileName(path);
}

void TMainForm::showError(const QString &message)
{
    mDialogs.error(message);
}

} // namespace lirena
