// Builds the main window: the page area, the exercise display and the
// control panel with its button bar and settings pages, and wires the parts.

#include "app/tmainform.h"

#include "app/aboutpage.h"
#include "app/buttonbar.h"
#include "app/chapterpresenter.h"
#include "app/glyphs.h"
#include "app/lessoncatalogue.h"
#include "app/navigation.h"
#include "app/optionspage.h"
#include "app/panelpages.h"
#include "app/ttreecombo.h"
#include "app/volumepage.h"
#include "authoring/filepage.h"
#include "authoring/objectspage.h"
#include "platform/pathresolver.h"
#include "player/pageview.h"
#include "player/panelcontrols.h"
#include "player/player.h"
#include "player/rotatedlabel.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QStandardItem>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace lirena {

using PanelControls::named;

void TMainForm::buildWindow()
{
    setWindowTitle(QStringLiteral("Vedra"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    QFont formFont(QStringLiteral("MS Sans Serif"), 8);
    formFont.setStyleHint(QFont::SansSerif);
    setFont(formFont);

    SBox = named(new QScrollArea(this), "SBox", QStringLiteral("Sayfa"));
    SBox->setFrameShape(QFrame::NoFrame);
    SBox->setWidgetResizable(true);
    SBox->setAutoFillBackground(true);
    SBox->viewport()->setAutoFillBackground(false);
    auto *surface = new QWidget;
    surface->setAutoFillBackground(false);
    SBox->setWidget(surface);
    img = named(new PageView(surface), "img", QStringLiteral("Sayfa resmi"));
    ImgWait = named(new QLabel(SBox->viewport()), "ImgWait", QStringLiteral("Lütfen bekleyin"));
    ImgWait->setPixmap(waitPicture());
    ImgWait->adjustSize();
    ImgWait->hide();
    LblChapterName = named(new RotatedLabel(surface), "LblChapterName", QStringLiteral("Ders adı"));
    QFont titleFont(QStringLiteral("Arial"), 14, QFont::Bold);
    titleFont.setStyleHint(QFont::SansSerif);
    LblChapterName->setFont(titleFont);
    QPalette titlePalette = LblChapterName->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    LblChapterName->setPalette(titlePalette);
    LblChapterName->move(3, 0);
    WB = named(new QTextBrowser(SBox), "WB", QStringLiteral("Sayfa"));
    WB->setOpenLinks(false);
    WB->hide();

    PaExerciseInfo = named(new QFrame(this), "PaExerciseInfo", QStringLiteral("Alıştırma"));
    PaExerciseInfo->setGeometry(0, 0, 180, 20);
    auto *background = new QLabel(PaExerciseInfo);
    background->setGeometry(0, 0, 180, 20);
    background->setAutoFillBackground(true);
    QPalette infoPalette = background->palette();
    infoPalette.setColor(QPalette::Window, QColor(250, 232, 160));
    background->setPalette(infoPalette);
    QFont infoFont(QStringLiteral("Courier New"), 9, QFont::Bold);
    infoFont.setStyleHint(QFont::TypeWriter);
    LblExerciseInfo = named(new QLabel(QStringLiteral("-"), PaExerciseInfo), "LblExerciseInfo",
                            QStringLiteral("Alıştırma adımı"));
    LblExerciseInfo->setGeometry(6, 3, 80, 14);
    LblCounter = named(new QLabel(QStringLiteral("00:00:00"), PaExerciseInfo), "LblCounter",
                       QStringLiteral("Kalan süre"));
    LblCounter->setGeometry(100, 3, 70, 14);
    for (QLabel *label : {LblExerciseInfo, LblCounter}) {
        label->setFont(infoFont);
        label->setAlignment(Qt::AlignCenter);
    }
    PaExerciseInfo->hide();

    ControlPanel = named(new QWidget(this), "ControlPanel", QStringLiteral("Denetim paneli"));
    ControlPanel->setAutoFillBackground(true);
    mBar = named(new ButtonBar(ControlPanel), "ButtonBar", QStringLiteral("Düğmeler"));
    SubPanel = new QWidget(ControlPanel);
    auto *subLayout = new QVBoxLayout(SubPanel);
    subLayout->setContentsMargins(4, 0, 4, 4);
    PageControl = named(new PanelPages(SubPanel), "PageControl", QStringLiteral("Ayar sayfaları"));
    subLayout->addWidget(PageControl);

    buildParts();
}

void TMainForm::buildParts()
{
    Player::Widgets widgets{
        .pageArea = SBox,
        .page = img,
        .chapterTitle = LblChapterName,
        .exerciseInfo = PaExerciseInfo,
        .exerciseWord = LblExerciseInfo,
        .exerciseCounter = LblCounter,
        .screenSize = [this] { return screen()->geometry().size(); },
        .controlPanelHeight = [this] { return ControlPanel->height(); },
        .resolve = [this](const QString &name) { return mChapterFile.resolve(name); },
    };
    mBar->fillPlayerWidgets(widgets);
    mPlayer = std::make_unique<Player>(mChapter, *mMedia, mDialogs, std::move(widgets));
    PageInteraction &interaction = mPlayer->interaction();

    mFilePage = named(new FilePage(mChapter, interaction), "FilePage", QStringLiteral("File"));
    mObjectsPage = named(new ObjectsPage(mChapter), "GObjPage", QStringLiteral("All Objects"));
    mOptionsPage = named(new OptionsPage, "OptionsPage", QStringLiteral("Seçenekler"));
    mVolumePage = named(new VolumePage(*mEnv.mixer), "VolumePage", QStringLiteral("Ses Kontrolü"));
    mAboutPage = named(new AboutPage, "AboutPage", QStringLiteral("Program Hakkında"));
    PageControl->addTab(mFilePage, QStringLiteral("File"));
    PageControl->addTab(mObjectsPage, QStringLiteral("All Objects"));
    PageControl->addTab(mOptionsPage, QStringLiteral("Seçenekler"));
    PageControl->addTab(mVolumePage, QStringLiteral("Ses Kontrolü"));
    PageControl->addTab(mAboutPage, QStringLiteral("Program Hakkında"));

    mPresenter = std::make_unique<ChapterPresenter>(ChapterPresenter::Parts{
        .chapterFile = &mChapterFile,
        .player = mPlayer.get(),
        .filePage = mFilePage,
        .bar = mBar,
        .dialogs = &mDialogs,
        .pageArea = SBox,
        .waitPicture = ImgWait,
        .chapterTitle = LblChapterName,
        .htmlView = WB,
    });
    connect(&mPlayer->page(), &PageDisplay::pageImageFileChanged, mFilePage, &FilePage::setGraphicFile);
    connect(&mPlayer->playback(), &PlaybackControl::opened, this, [this] { SetControlPanelState(ControlPanelState); });
    connect(&mChapter, &Chapter::cleared, this, [this] { mPlayer->interaction().setMode(PageInteraction::Design); });
    connect(&interaction, &PageInteraction::bottomEdgeReached, this, [this] {
        if (ControlPanelState == PanelHidden)
            SetControlPanelState(PanelBar);
    });
    // The page area's own pointer handler: over the scroll box beside the picture.
    SBox->widget()->setMouseTracking(true);
    SBox->viewport()->setMouseTracking(true);
    SBox->widget()->installEventFilter(this);
    SBox->viewport()->installEventFilter(this);

    // The options go to the player as they change; a size choice shows the page anew.
    connect(mOptionsPage, &OptionsPage::changed, this, &TMainForm::pushOptions);
    connect(mOptionsPage, &OptionsPage::imageSizeChosen, this, [this] {
        pushOptions();
        mPlayer->page().ApplyImageSize();
    });
    connect(mOptionsPage, &OptionsPage::backgroundChanged, this, &TMainForm::setBackground);
    connect(mAboutPage, &AboutPage::sourceFileRequested, this, &TMainForm::OpenSourceFile);
    connect(mAboutPage, &AboutPage::linkRequested, this, [this](const QUrl &url) { mEnv.openUrl(url); });

    connect(mBar, &ButtonBar::panelUpClicked, this, [this] {
        if (ControlPanelState < PanelSettings)
            SetControlPanelState(ControlPanelState + 1);
    });
    connect(mBar, &ButtonBar::panelDownClicked, this, [this] {
        if (ControlPanelState > PanelHidden)
            SetControlPanelState(ControlPanelState - 1);
    });
    connect(mBar, &ButtonBar::minimiseClicked, this, [this] {
        mPlayer->minimised();
        showMinimized();
    });
    connect(mBar, &ButtonBar::closeClicked, this, &TMainForm::close);
    connect(mBar, &ButtonBar::manualClicked, this, &TMainForm::SpeedButton1Click);
    buildNavigation();
}

void TMainForm::buildNavigation()
{
    mNavigation = std::make_unique<Navigation>(
        Navigation::Hooks{
            .chapterName = [this] { return mChapterFile.ChapterName; },
            .chapterFileName = [this] { return mChapterFile.ChapterFileName; },
            .position = [this] { return mPlayer->playback().position(); },
            .loadChapter = [this](const QString &path) {
                mChapterFile.LoadChapter(resolveCoursePath(DataFolder, path), *mPresenter);
            },
            .seek = [this](qint64 position) { mPlayer->playback().SeekMedia(position); },
        },
        mBar->backButton(), mBar->forwardButton());
    connect(mBar->backButton(), &QToolButton::clicked, mNavigation.get(), &Navigation::btnBackClick);
    connect(mBar->forwardButton(), &QToolButton::clicked, mNavigation.get(), &Navigation::btnForwardClick);
    connect(mBar, &ButtonBar::nextLessonClicked, this, [this] {
        const QString next = LessonCatalogue::nextLesson(mBar->lessonsTree(), mChapterFile.ChapterFileName);
        if (!next.isEmpty())
            GoToChapter(DataFolder + next);
    });
    connect(&mBar->lessonsTree(), &TTreeCombo::selectionChange, this, [this](QStandardItem *node) {
        GoToChapter(DataFolder + node->data(TTreeCombo::FirstDataRole).toString());
    });
    connect(&mBar->subjectsTree(), &TTreeCombo::selectionChange, this, [this](QStandardItem *node) {
        TComboSubjectsSelectionChange(node->data(TTreeCombo::FirstDataRole).toString(),
                                      node->data(TTreeCombo::SecondDataRole).toString());
    });
    // Key preview: the window sees a key before the control that has the focus.
    qApp->installEventFilter(this);
}

void TMainForm::layoutWindow()
{
    const int panel = ControlPanel->height();
    ControlPanel->setGeometry(0, height() - panel, width(), panel);
    mBar->setGeometry(0, 0, width(), ButtonBar::kHeight);
    SubPanel->setGeometry(0, ButtonBar::kHeight, width(), std::max(0, panel - ButtonBar::kHeight));
    SubPanel->setVisible(panel > ButtonBar::kHeight);
    SBox->setGeometry(0, 0, width(), height() - panel);
    if (!WB->isHidden())
        WB->setGeometry(SBox->viewport()->geometry());
    PaExerciseInfo->raise();
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutWindow();
    if (mPlayer)
        mPlayer->page().CenterPage();
}

} // namespace lirena
