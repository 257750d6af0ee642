// Builds the main window: the page area, the exercise display and the
// control panel with its button bar and settings pages, and wires the parts.

#include "app/tmainform.h"

#include "app/aboutpage.h"
#include "app/buttonbar.h"
#include "app/chapterpresenter.h"
#include "app/lessonmenu.h"
#include "app/optionspage.h"
#include "app/pagearea.h"
#include "app/panelpages.h"
#include "app/volumepage.h"
#include "authoring/filepage.h"
#include "authoring/objectspage.h"
#include "player/panelcontrols.h"
#include "player/player.h"

#include <QApplication>
#include <QScreen>
#include <QTabWidget>
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

    mPageArea = named(new PageArea(this), "PageArea", QStringLiteral("Sayfa alanı"));

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
        .screenSize = [this] { return screen()->geometry().size(); },
        .controlPanelHeight = [this] { return ControlPanel->height(); },
        .resolve = [this](const QString &name) { return mChapterFile.resolve(name); },
    };
    mPageArea->fillPlayerWidgets(widgets);
    mBar->fillPlayerWidgets(widgets);
    mPlayer = std::make_unique<Player>(mChapter, *mMedia, mDialogs, std::move(widgets));
    PageInteraction &interaction = mPlayer->interaction();

    mFilePage = named(new FilePage(mChapterFile, interaction, mDialogs), "FilePage", QStringLiteral("File"));
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
        .pageArea = mPageArea->scrollBox(),
        .waitPicture = mPageArea->waitPicture(),
        .chapterTitle = mPageArea->chapterTitle(),
        .htmlView = mPageArea->htmlView(),
    });
    connect(&mPlayer->page(), &PageDisplay::pageImageFileChanged, mFilePage, &FilePage::setGraphicFile);
    connect(&mPlayer->playback(), &PlaybackControl::opened, this, [this] { SetControlPanelState(ControlPanelState); });
    connect(&mChapter, &Chapter::cleared, this, [this] { mPlayer->interaction().setMode(PageInteraction::Design); });
    connect(&interaction, &PageInteraction::bottomEdgeReached, this, [this] {
        if (ControlPanelState == PanelHidden)
            SetControlPanelState(PanelBar);
    });
    connect(mPageArea, &PageArea::pointerMoved, &interaction, &PageInteraction::SBoxMouseMove);

    // The options go to the player as they change; a size choice shows the page anew.
    connect(mOptionsPage, &OptionsPage::changed, this, [this] { mPlayer->applyOptions(mOptionsPage->options()); });
    connect(mOptionsPage, &OptionsPage::imageSizeChosen, this, [this] {
        mPlayer->applyOptions(mOptionsPage->options());
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
    mLessons = std::make_unique<LessonMenu>(LessonMenu::Parts{
        .chapterFile = &mChapterFile,
        .view = mPresenter.get(),
        .player = mPlayer.get(),
        .bar = mBar,
        .dialogs = &mDialogs,
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
    mPageArea->setGeometry(0, 0, width(), height() - panel);
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutWindow();
    if (mPlayer)
        mPlayer->page().CenterPage();
}

} // namespace lirena
