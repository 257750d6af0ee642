#include "app/tmainform.h"

#include "platform/mountinfo.h"
#include "platform/pathresolver.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/soundmediadevice.h"
#include "player/colorcombo.h"
#include "player/pagedisplay.h"
#include "player/pageview.h"
#include "player/playbackcontrol.h"
#include "player/exercises.h"
#include "player/pageinteraction.h"
#include "player/rotatedlabel.h"
#include "player/tradiogroup.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace lirena {

namespace {

const QString kSourceKey = QStringLiteral("\\Software\\Brisel\\Lirena\\1.2");

} // namespace

TMainForm::TMainForm(Environment environment, QWidget *parent)
    : QWidget(parent), mEnv(std::move(environment)), mDialogs(*mEnv.dialogs)
{
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
    PageControl->setTabVisible(PageControl->indexOf(FilePage), false);
    PageControl->setTabVisible(PageControl->indexOf(GObjPage), false);
    PageControl->setCurrentWidget(AboutPage);

    ReadSourceFolder();

    Timer1->setInterval(100);
    Timer2->setInterval(100);
    Timer3->setInterval(100);

    ProgramFolder = withTrailingSlash(mEnv.programFolder);
    // No window manager places this window: it covers its screen itself.
    setGeometry(screen()->geometry());
    layoutWindow();

    const Profile settings(settingsPath());
    DataFolder = AppSettings::readDataFolder(settings, ProgramFolder);
    mChapterFile.setDataFolder(DataFolder);

    if (QFileInfo(resolveCoursePath(DataFolder, QStringLiteral("sayfa01.ini"))).isFile()) {
        applyDisplayOptions(AppSettings::readDisplayOptions(settings));
        RestorePending = true;
        WB->setGeometry(-100, -100, 10, 10);
    } else {
        showDataMissing();
    }
}

void TMainForm::showDataMissing()
{
    const MountPoint mount = mountOf(DataFolder, mEnv.mountTable);
    const QString drive = withTrailingSlash(mount.mountPoint);
    QString message = drive + QStringLiteral(" sürücüsünde Lirena programının veri dosyaları bulunamadı.");
    if (isOpticalDisc(mount))
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
    HistoryIndex = 0;
    mPlayback->SeekMedia(run.MediaPosition);
    History.append(mChapterFile.ChapterFileName + u'|' + QString::number(mediaPosition()));
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

bool TMainForm::FormClose()
{
    if (mChapter.Modified() && !ConfirmSaveChanges())
        return false;
    const int position = mediaPosition();
    ClearChapter();

    Profile settings(settingsPath());
    RunState run;
    run.LastChapter = mChapterFile.ChapterFileName;
    run.MediaPosition = position;
    run.LastScreenSize = ControlPanelState;
    AppSettings::write(settings, run, displayOptions());
    QString error;
    // A settings file that cannot be written must not keep the learner from closing.
    if (settings.isDirty() && !settings.save(&error))
        mDialogs.error(error);
    setWindowState(Qt::WindowNoState);
    return true;
}

bool TMainForm::ConfirmSaveChanges()
{
    const QString shown = fileNamePart(lblFileName->text());
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
    const QString path = lblFileName->text();
    if (!QFileInfo(path).isAbsolute())
        return;
    QString error;
    if (!mChapterFile.SaveChapter(path, chkSectionPlay->isChecked(), &error))
        mDialogs.error(error);
}

void TMainForm::ClearChapter()
{
    mChapter.ClearChapter();
}

int TMainForm::mediaPosition() const
{
    return int(mPlayback->position());
}

void TMainForm::StopExercise()
{
    mExercises->StopExercise();
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
    case 0:
        ControlPanel->setFixedHeight(0);
        break;
    case 1:
        ControlPanel->setFixedHeight(40);
        BtnDown->setToolTip(QString());
        BtnUp->setToolTip(QStringLiteral("Ayar Sayfasını Göster"));
        break;
    case 2:
        ControlPanel->setFixedHeight(222);
        BtnDown->setToolTip(QStringLiteral("Ayar Sayfasını Kapat"));
        BtnUp->setToolTip(QString());
        break;
    default:
        break;
    }
    ControlPanelState = state;
    layoutWindow();
    mPage->CenterPage();
    BtnUp->setEnabled(state != 2);
    BtnDown->setEnabled(state == 2);
}

void TMainForm::BtnUpClick()
{
    if (ControlPanelState < 2)
        SetControlPanelState(ControlPanelState + 1);
}

void TMainForm::BtnDownClick()
{
    if (ControlPanelState > 0)
        SetControlPanelState(ControlPanelState - 1);
}

DisplayOptions TMainForm::displayOptions() const
{
    DisplayOptions o;
    o.ImageSize = cmbImageSize->currentIndex();
    o.ImageSizeType = RGrpImageSize->itemIndex();
    o.BackgroundColor = colorRefFromColor(SBox->palette().color(QPalette::Window));
    o.MarkColor = colorRefFromColor(MarkColorCombo->selectedColor());
    o.Test3WaitTime = LblTest3->text();
    o.Test12WaitTime = LblTest12->text();
    o.MarkType = RGrpMarkType->itemIndex();
    return o;
}

void TMainForm::applyDisplayOptions(const DisplayOptions &o)
{
    cmbImageSize->setCurrentIndex(o.ImageSize >= 0 && o.ImageSize < cmbImageSize->count() ? o.ImageSize : -1);
    RGrpImageSize->setItemIndex(o.ImageSizeType);
    const QColor background = colorFromRef(o.BackgroundColor);
    QPalette palette = SBox->palette();
    palette.setColor(QPalette::Window, background);
    SBox->setPalette(palette);
    BackgroundColorCombo->setSelectedColor(background);
    MarkColorCombo->setSelectedColor(colorFromRef(o.MarkColor));
    LblTest3->setText(o.Test3WaitTime);
    LblTest12->setText(o.Test12WaitTime);
    RGrpMarkType->setItemIndex(o.MarkType);
}

void TMainForm::btnMinClick()
{
    if (mPlayback->isPlaying())
        mPlayback->PauseMedia();
    showMinimized();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove && (watched == SBox->widget() || watched == SBox->viewport())) {
        const auto *move = static_cast<QMouseEvent *>(event);
        const QPoint inBox = static_cast<QWidget *>(watched)->mapTo(SBox, move->position().toPoint());
        mInteraction->SBoxMouseMove(inBox.y());
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::stopMedia()
{
    mPlayback->StopMedia();
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
    chkSectionPlay->setChecked(checked);
}

void TMainForm::setChapterName(const QString &name)
{
    LblChapterName->setText(name);
    SBox->verticalScrollBar()->setValue(0);
}

void TMainForm::showPicturePage(const QString &imageFile)
{
    WB->setGeometry(-100, -100, 10, 10);
    WB->hide();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QString error;
    if (!mPage->LoadPageImage(imageFile, &error))
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
    EditAudioName->setText(mediaFile);
    mPlayback->OpenMedia(path, true);
}

double TMainForm::imageScale() const
{
    return mPage->ImageScale();
}

void TMainForm::setSubjects(const std::vector<SubjectNode> &subjects)
{
    mSubjects = subjects;
    btnSubjects->setEnabled(!mSubjects.empty());
}

void TMainForm::expandChapterGroup(const QString & /*groupId*/) {}

void TMainForm::chapterLoaded(const QString &path)
{
    RGrpMode->setItemIndex(2);
    lblFileName->setText(path);
}

void TMainForm::showError(const QString &message)
{
    mDialogs.error(message);
}

} // namespace lirena
