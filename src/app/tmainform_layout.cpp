// Builds the main window: the page area, the exercise display and the
// control panel with its button bar and settings pages, and wires the parts.

#include "app/tmainform.h"

#include "app/aboutpage.h"
#include "app/buttonbar.h"
#include "app/chapterpresenter.h"
#include "app/controlpanel.h"
#include "app/keycommands.h"
#include "app/lessoncatalogue.h"
#include "app/lessonmenu.h"
#include "app/neighbourpages.h"
#include "app/optionspage.h"
#include "app/pagearea.h"
#include "app/panelpages.h"
#include "app/volumepage.h"
#include "authoring/filepage.h"
#include "authoring/objectspage.h"
#include "player/pagepicturecache.h"
#include "player/panelcontrols.h"
#include "player/player.h"
#include "soundeditor/teditform.h"

#include <QApplication>
#include <QScreen>

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

    mPanel = named(new ControlPanel(this), "ControlPanel", QStringLiteral("Denetim paneli"));

    buildParts();
}

void TMainForm::buildParts()
{
    Player::Widgets widgets{
        .screenSize = [this] { return screen()->geometry().size(); },
        .controlPanelHeight = [this] { return mPanel->height(); },
        .resolve = [this](const QString &name) { return mChapterFile.resolve(name); },
        .pagePicture = [this](const QString &path,
                              const PageSizing &sizing) { return mPages->picture(path, sizing); },
        // The page is in this window: it has the window's pixel density.
        .devicePixelRatio = [this] { return devicePixelRatioF(); },
    };
    mPageArea->fillPlayerWidgets(widgets);
    ButtonBar &bar = mPanel->bar();
    bar.fillPlayerWidgets(widgets);
    mPlayer = std::make_unique<Player>(mChapter, *mMedia, mDialogs, std::move(widgets));
    PageInteraction &interaction = mPlayer->interaction();

    mFilePage = named(new FilePage(mChapterFile, interaction, mDialogs), "FilePage", QStringLiteral("File"));
    mObjectsPage = named(new ObjectsPage(mChapter, *mPlayer, {.chapterFile = &mChapterFile, .dialogs = &mDialogs}),
                         "GObjPage", QStringLiteral("All Objects"));
    mOptionsPage = named(new OptionsPage, "OptionsPage", QStringLiteral("Seçenekler"));
    mVolumePage = named(new VolumePage(*mEnv.mixer), "VolumePage", QStringLiteral("Ses Kontrolü"));
    mAboutPage = named(new AboutPage, "AboutPage", QStringLiteral("Program Hakkında"));
    PanelPages &pages = mPanel->pages();
    // A tab's hint is also what a screen reader says after its name.
    const auto addPage = [&pages](QWidget *page, const QString &title, const QString &hint) {
        pages.setTabToolTip(pages.addTab(page, title), hint);
    };
    addPage(mFilePage, QStringLiteral("File"), QStringLiteral("Chapter files, the mode and Section Play"));
    addPage(mObjectsPage, QStringLiteral("All Objects"),
            QStringLiteral("Rectangles, segments, their links and the two sequences"));
    addPage(mOptionsPage, QStringLiteral("Seçenekler"),
            QStringLiteral("Resim büyüklüğü, işaretleme, renkler ve bekleme süreleri"));
    addPage(mVolumePage, QStringLiteral("Ses Kontrolü"), QStringLiteral("Ses düzeyleri"));
    addPage(mAboutPage, QStringLiteral("Program Hakkında"), QStringLiteral("Yayıncı ve iletişim bilgileri"));

    mCatalogue = std::make_unique<LessonCatalogue>(bar.lessonsTree());
    connect(&bar, &ButtonBar::lessonsOpening, mCatalogue.get(), &LessonCatalogue::ensureScanned);
    mPresenter = std::make_unique<ChapterPresenter>(ChapterPresenter::Parts{
        .chapterFile = &mChapterFile,
        .player = mPlayer.get(),
        .filePage = mFilePage,
        .bar = &bar,
        .catalogue = mCatalogue.get(),
        .pages = mPages,
        .dialogs = &mDialogs,
        .pageArea = mPageArea->scrollBox(),
        .waitPicture = mPageArea->waitPicture(),
        .chapterTitle = mPageArea->chapterTitle(),
        .htmlView = mPageArea->htmlView(),
    });
    connect(&mPlayer->page(), &PageDisplay::pageImageFileChanged, mFilePage, &FilePage::setGraphicFile);
    mFilePage->setChapterView(mPresenter.get());
    // A recording opened re-applies the panel's height; every height places the page anew.
    connect(&mPlayer->playback(), &PlaybackControl::opened, mPanel, [this] { mPanel->setState(mPanel->state()); });
    connect(mPanel, &ControlPanel::stateChanged, this, [this] {
        layoutWindow();
        mPlayer->page().CenterPage();
    });
    connect(&mChapter, &Chapter::cleared, this, [this] { mPlayer->interaction().setMode(PageInteraction::Design); });
    connect(&interaction, &PageInteraction::bottomEdgeReached, mPanel, [this] {
        if (mPanel->state() == ControlPanel::Hidden)
            mPanel->setState(ControlPanel::Bar);
    });
    connect(mPageArea, &PageArea::pointerMoved, &interaction, &PageInteraction::SBoxMouseMove);

    // The options go to the player as they change; a size choice shows the page anew.
    connect(mOptionsPage, &OptionsPage::changed, this, [this] { mPlayer->applyOptions(mOptionsPage->options()); });
    connect(mOptionsPage, &OptionsPage::imageSizeChosen, this, &TMainForm::applyImageSize);
    connect(mOptionsPage, &OptionsPage::backgroundChanged, mPageArea, &PageArea::setBackground);
    // The sound editor, reached from the "All Objects" page.
    connect(mObjectsPage, &ObjectsPage::showEditorClicked, this, &TMainForm::BtnShowEditorClick);
    connect(&mObjectsPage->editor(), &ObjectEditor::voiceObjectSelected, this, [this](int start, int stop) {
        if (mEditForm)
            mEditForm->ShowRange(start, stop);
    });
    connect(mAboutPage, &AboutPage::sourceFileRequested, this, &TMainForm::OpenSourceFile);
    connect(mAboutPage, &AboutPage::linkRequested, this, [this](const QUrl &url) { mEnv.openUrl(url); });

    connect(&bar, &ButtonBar::minimiseClicked, this, [this] {
        mPlayer->minimised();
        showMinimized();
    });
    connect(&bar, &ButtonBar::closeClicked, this, &TMainForm::close);
    mLessons = std::make_unique<LessonMenu>(LessonMenu::Parts{
        .chapterFile = &mChapterFile,
        .view = mPresenter.get(),
        .player = mPlayer.get(),
        .bar = &bar,
        .catalogue = mCatalogue.get(),
        .dialogs = &mDialogs,
    });
    mNeighbours = std::make_unique<NeighbourPages>(NeighbourPages::Parts{
        .chapterFile = &mChapterFile,
        .navigation = &mLessons->navigation(),
        .catalogue = mCatalogue.get(),
        .page = &mPlayer->page(),
        .pages = mPages,
    });
    mKeys = std::make_unique<KeyCommands>(KeyCommands::Parts{
        .chapter = &mChapter,
        .player = mPlayer.get(),
        .lessons = mLessons.get(),
        .bar = &bar,
        .options = mOptionsPage,
        .objectsPage = mObjectsPage,
    });
    connect(mKeys.get(), &KeyCommands::imageSizeChosen, this, &TMainForm::applyImageSize);
    // Key preview: the window sees a key before the control that has the focus.
    qApp->installEventFilter(this);
}

void TMainForm::applyImageSize()
{
    mPlayer->applyOptions(mOptionsPage->options());
    mPlayer->page().ApplyImageSize();
}

void TMainForm::layoutWindow()
{
    const int panel = mPanel->height();
    mPanel->setGeometry(0, height() - panel, width(), panel);
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
