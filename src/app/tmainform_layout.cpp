// Builds the main window's controls: the page area, the exercise display and
// the control panel with its button bar and settings pages.

#include "app/glyphs.h"
#include "app/tmainform.h"

#include "player/colorcombo.h"
#include "player/pagedisplay.h"
#include "player/pageview.h"
#include "player/playbackcontrol.h"
#include "player/player.h"
#include "player/waittimes.h"
#include "player/tslider.h"
#include "player/exercises.h"
#include "player/pageinteraction.h"
#include "player/volumecontrol.h"
#include "app/lessoncatalogue.h"
#include "app/navigation.h"
#include "app/ttreecombo.h"
#include "platform/pathresolver.h"
#include "player/rotatedlabel.h"
#include "player/tradiogroup.h"
#include "player/tupdown.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QApplication>
#include <QStandardItem>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace lirena {

namespace {

const int kBarHeight = 40;
const int kSmallButton = 15;

QToolButton *barButton(QWidget *parent, Glyph glyph, const QString &hint, int size = 25)
{
    auto *button = new QToolButton(parent);
    button->setIcon(glyphIcon(glyph, size - 7));
    button->setIconSize(QSize(size - 7, size - 7));
    button->resize(size, size);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QToolButton *flatButton(QWidget *parent, Glyph glyph, const QString &hint)
{
    QToolButton *button = barButton(parent, glyph, hint, kSmallButton);
    button->setIconSize(QSize(11, 11));
    button->setAutoRaise(true);
    return button;
}

QLabel *timeLabel(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(9);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

QToolButton *commandButton(QWidget *parent, const QString &caption, const QString &hint = {})
{
    auto *button = new QToolButton(parent);
    button->setText(caption);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QPushButton *pageButton(QWidget *parent, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

void TMainForm::buildWindow()
{
    setWindowTitle(QStringLiteral("Vedra"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    QFont formFont(QStringLiteral("MS Sans Serif"), 8);
    formFont.setStyleHint(QFont::SansSerif);
    setFont(formFont);

    SBox = new QScrollArea(this);
    SBox->setFrameShape(QFrame::NoFrame);
    SBox->setWidgetResizable(true);
    SBox->setAutoFillBackground(true);
    SBox->viewport()->setAutoFillBackground(false);
    auto *surface = new QWidget;
    surface->setAutoFillBackground(false);
    SBox->setWidget(surface);
    img = new PageView(surface);
    ImgWait = new QLabel(SBox->viewport());
    ImgWait->setPixmap(waitPicture());
    ImgWait->adjustSize();
    ImgWait->hide();
    LblChapterName = new RotatedLabel(surface);
    QFont titleFont(QStringLiteral("Arial"), 14, QFont::Bold);
    titleFont.setStyleHint(QFont::SansSerif);
    LblChapterName->setFont(titleFont);
    QPalette titlePalette = LblChapterName->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    LblChapterName->setPalette(titlePalette);
    LblChapterName->move(3, 0);
    WB = new QTextBrowser(SBox);
    WB->setOpenLinks(false);
    WB->hide();

    PaExerciseInfo = new QFrame(this);
    PaExerciseInfo->setGeometry(0, 0, 180, 20);
    ImgExerciseInfo = new QLabel(PaExerciseInfo);
    ImgExerciseInfo->setGeometry(0, 0, 180, 20);
    ImgExerciseInfo->setAutoFillBackground(true);
    QPalette infoPalette = ImgExerciseInfo->palette();
    infoPalette.setColor(QPalette::Window, QColor(250, 232, 160));
    ImgExerciseInfo->setPalette(infoPalette);
    QFont infoFont(QStringLiteral("Courier New"), 9, QFont::Bold);
    infoFont.setStyleHint(QFont::TypeWriter);
    LblExerciseInfo = new QLabel(QStringLiteral("-"), PaExerciseInfo);
    LblExerciseInfo->setGeometry(6, 3, 80, 14);
    LblCounter = new QLabel(QStringLiteral("00:00:00"), PaExerciseInfo);
    LblCounter->setGeometry(100, 3, 70, 14);
    for (QLabel *label : {LblExerciseInfo, LblCounter}) {
        label->setFont(infoFont);
        label->setAlignment(Qt::AlignCenter);
    }
    PaExerciseInfo->hide();

    ControlPanel = new QWidget(this);
    ControlPanel->setAutoFillBackground(true);
    ButtonBar = new QWidget(ControlPanel);
    SubPanel = new QWidget(ControlPanel);
    auto *subLayout = new QVBoxLayout(SubPanel);
    subLayout->setContentsMargins(4, 0, 4, 4);
    PageControl = new QTabWidget(SubPanel);
    subLayout->addWidget(PageControl);
    buildButtonBar();
    buildFilePage();
    buildObjectsPage();
    buildOptionsPage();
    buildVolumePage();
    buildAboutPage();

    buildParts();

    connect(&mChapter, &Chapter::cleared, this, [this] {
        mPlayer->interaction().setMode(PageInteraction::Design);
        EditGraphicName->clear();
        EditAudioName->clear();
        lblFileName->setText(QStringLiteral("New File"));
    });
    // The file name boxes are written only by the program; a change is a change of the chapter.
    for (QLineEdit *box : {EditGraphicName, EditAudioName})
        connect(box, &QLineEdit::textChanged, this, [this] { mChapter.setModified(true); });
    connect(BtnUp, &QToolButton::clicked, this, &TMainForm::BtnUpClick);
    connect(BtnDown, &QToolButton::clicked, this, &TMainForm::BtnDownClick);
    connect(btnMin, &QToolButton::clicked, this, &TMainForm::btnMinClick);
    connect(BtnClose, &QToolButton::clicked, this, &TMainForm::close);
    connect(BackgroundColorCombo, &ColorCombo::colorChanged, this, [this](const QColor &color) {
        QPalette palette = SBox->palette();
        palette.setColor(QPalette::Window, color);
        SBox->setPalette(palette);
    });
}

void TMainForm::buildParts()
{
    mPlayer = std::make_unique<Player>(mChapter, *mMedia, mDialogs,
                                       Player::Widgets{
                                           .pageArea = SBox,
                                           .page = img,
                                           .chapterTitle = LblChapterName,
                                           .play = btnPlay,
                                           .pause = btnPause,
                                           .stop = btnStop,
                                           .slider = Slider,
                                           .time = LblTime,
                                           .totalTime = LblTotTime,
                                           .exerciseInfo = PaExerciseInfo,
                                           .exerciseWord = LblExerciseInfo,
                                           .exerciseCounter = LblCounter,
                                           .screenSize = [this] { return screen()->geometry().size(); },
                                           .controlPanelHeight = [this] { return ControlPanel->height(); },
                                           .resolve = [this](const QString &name) { return mChapterFile.resolve(name); },
                                       });
    PageDisplay &page = mPlayer->page();
    PageInteraction &interaction = mPlayer->interaction();
    connect(&page, &PageDisplay::pageImageFileChanged, EditGraphicName, &QLineEdit::setText);
    connect(&mPlayer->playback(), &PlaybackControl::opened, this, [this] { SetControlPanelState(ControlPanelState); });

    // The "File" page shows the player's mode, "Section Play" and the link pointed at.
    connect(RGrpMode, &TRadioGroup::clicked, &interaction,
            [&interaction](int index) { interaction.setMode(PageInteraction::Mode(index)); });
    connect(&interaction, &PageInteraction::modeChanged, RGrpMode, [this](PageInteraction::Mode mode) {
        RGrpMode->setItemIndex(mode);
    });
    connect(chkSectionPlay, &QCheckBox::toggled, &interaction, &PageInteraction::setSectionPlay);
    connect(&interaction, &PageInteraction::pointedLinkChanged, LblPointedVGObj,
            [this](int id) { LblPointedVGObj->setText(QString::number(id)); });
    connect(&interaction, &PageInteraction::bottomEdgeReached, this, [this] {
        if (ControlPanelState == PanelHidden)
            SetControlPanelState(PanelBar);
    });
    // The page area's own pointer handler: over the scroll box beside the picture.
    SBox->widget()->setMouseTracking(true);
    SBox->viewport()->setMouseTracking(true);
    SBox->widget()->installEventFilter(this);
    SBox->viewport()->installEventFilter(this);

    // The options go to the player as they change; a size change shows the page anew.
    auto waitTimeStep = [this](QLabel *label, TUpDown *upDown, auto step) {
        return [this, label, upDown, step](int value) {
            const auto text = step(label->text(), value - upDown->position());
            if (!text)
                return false;
            label->setText(*text);
            pushOptions();
            return true;
        };
    };
    UDTest3->OnChangingEx = waitTimeStep(LblTest3, UDTest3, &WaitTimes::stepTest3);
    UDTest12->OnChangingEx = waitTimeStep(LblTest12, UDTest12, &WaitTimes::stepTest12);
    connect(RGrpMarkType, &TRadioGroup::clicked, this, &TMainForm::pushOptions);
    connect(MarkColorCombo, &ColorCombo::colorChanged, this, &TMainForm::pushOptions);
    connect(RGrpImageSize, &TRadioGroup::clicked, this, [this, &page] {
        pushOptions();
        page.ApplyImageSize();
    });
    connect(cmbImageSize, &QComboBox::activated, this, [this, &page] {
        RGrpImageSize->setItemIndex(PageDisplay::ChosenSize);
        pushOptions();
        page.ApplyImageSize();
    });

    buildNavigation();
    mVolume = std::make_unique<VolumeControl>(*mEnv.mixer, MasterControl, WaveControl, CDControl);
}

void TMainForm::buildNavigation()
{
    mNavigation = std::make_unique<Navigation>(
        Navigation::Hooks{[this] { return mChapterFile.ChapterName; }, [this] { return mChapterFile.ChapterFileName; },
                          [this] { return qint64(mediaPosition()); },
                          [this](const QString &path) {
                              mChapterFile.LoadChapter(resolveCoursePath(DataFolder, path), *this);
                          },
                          [this](qint64 position) { mPlayer->playback().SeekMedia(position); }},
        btnBack, btnForward);
    connect(btnBack, &QToolButton::clicked, mNavigation.get(), &Navigation::btnBackClick);
    connect(btnForward, &QToolButton::clicked, mNavigation.get(), &Navigation::btnForwardClick);
    connect(btnNext, &QToolButton::clicked, this, [this] {
        const QString next = LessonCatalogue::nextLesson(*TComboLessons, mChapterFile.ChapterFileName);
        if (!next.isEmpty())
            GoToChapter(DataFolder + next);
    });
    connect(btnLessons, &QPushButton::clicked, this, [this] {
        TComboLessons->setFocus();
        if (TComboLessons->hasNodes())
            TComboLessons->showPopup();
    });
    connect(btnSubjects, &QPushButton::clicked, this, [this] {
        TComboSubjects->setFocus();
        if (TComboSubjects->hasNodes())
            TComboSubjects->showPopup();
    });
    connect(TComboLessons, &TTreeCombo::selectionChange, this, [this](QStandardItem *node) {
        GoToChapter(DataFolder + node->data(TTreeCombo::FirstDataRole).toString());
    });
    connect(TComboSubjects, &TTreeCombo::selectionChange, this, [this](QStandardItem *node) {
        TComboSubjectsSelectionChange(node->data(TTreeCombo::FirstDataRole).toString(),
                                      node->data(TTreeCombo::SecondDataRole).toString());
    });
    connect(SpeedButton1, &QToolButton::clicked, this, &TMainForm::SpeedButton1Click);
    // Key preview and the About page's pictures and links: the window watches them all.
    qApp->installEventFilter(this);
}

void TMainForm::buildButtonBar()
{
    ButtonBar->setFixedHeight(kBarHeight);
    btnPlay = barButton(ButtonBar, Glyph::Play, QString());
    btnPause = barButton(ButtonBar, Glyph::Pause, QStringLiteral("Duraklat"));
    btnStop = barButton(ButtonBar, Glyph::Stop, QStringLiteral("Durdur"));
    for (QToolButton *button : {btnPlay, btnPause, btnStop})
        button->setEnabled(false);
    btnLessons = new QPushButton(QStringLiteral("Dersler"), ButtonBar);
    btnSubjects = new QPushButton(QStringLiteral("Konular"), ButtonBar);
    for (QPushButton *button : {btnLessons, btnSubjects}) {
        button->resize(75, 25);
        button->setFocusPolicy(Qt::NoFocus);
    }
    btnSubjects->setEnabled(false);
    // The tree lists lie under their buttons: only their dropped-down trees are seen.
    TComboLessons = new TTreeCombo(ButtonBar);
    TComboSubjects = new TTreeCombo(ButtonBar);
    for (TTreeCombo *tree : {TComboLessons, TComboSubjects}) {
        tree->view()->setMinimumWidth(360);
        tree->lower();
    }
    TComboSubjects->setEnabled(false);
    btnBack = barButton(ButtonBar, Glyph::Back, QStringLiteral("Geri"));
    btnForward = barButton(ButtonBar, Glyph::Forward, QStringLiteral("İleri"));
    btnNext = barButton(ButtonBar, Glyph::Next, QStringLiteral("Bir Sonraki Ders"));
    btnBack->setEnabled(false);
    btnForward->setEnabled(false);
    Slider = new TSlider(ButtonBar);
    Slider->setEnabled(false);
    Slider->setSingleStep(1);
    LblTime = timeLabel(ButtonBar, QStringLiteral("00:00:00.0"));
    LblTotTime = timeLabel(ButtonBar, QStringLiteral("(00:00:00.0)"));
    SpeedButton1 = flatButton(ButtonBar, Glyph::Manual, QStringLiteral("Kullanma Kılavuzu"));
    BtnDown = flatButton(ButtonBar, Glyph::PanelDown, QStringLiteral("Hide Editor"));
    BtnUp = flatButton(ButtonBar, Glyph::PanelUp, QStringLiteral("Show Editor"));
    btnMin = flatButton(ButtonBar, Glyph::Minimise, QStringLiteral("Simge Durumuna Küçült"));
    BtnClose = flatButton(ButtonBar, Glyph::Close, QStringLiteral("Programı Kapat"));
}

void TMainForm::layoutButtonBar()
{
    const int width = ButtonBar->width();
    const int y = (kBarHeight - 25) / 2;
    int x = 6;
    for (QWidget *w : std::initializer_list<QWidget *>{btnPlay, btnPause, btnStop}) {
        w->move(x, y);
        x += 26;
    }
    x += 8;
    for (QWidget *w : std::initializer_list<QWidget *>{btnLessons, btnSubjects}) {
        w->move(x, y);
        x += 77;
    }
    TComboLessons->setGeometry(btnLessons->geometry());
    TComboSubjects->setGeometry(btnSubjects->geometry());
    x += 8;
    for (QWidget *w : std::initializer_list<QWidget *>{btnBack, btnForward, btnNext}) {
        w->move(x, y);
        x += 26;
    }
    x += 8;

    // The small buttons and the time labels keep to the right edge.
    int right = width - 4 - 5 * (kSmallButton + 1);
    const int smallY = (kBarHeight - kSmallButton) / 2;
    int sx = right;
    for (QWidget *w : std::initializer_list<QWidget *>{SpeedButton1, BtnDown, BtnUp, btnMin, BtnClose}) {
        w->move(sx, smallY);
        sx += kSmallButton + 1;
    }
    const int timeWidth = 104;
    LblTime->setGeometry(right - 8 - timeWidth, 2, timeWidth, 18);
    LblTotTime->setGeometry(right - 8 - timeWidth, 20, timeWidth, 18);
    Slider->setGeometry(x, y, std::max(20, LblTime->x() - x - 10), 25);
}

void TMainForm::layoutWindow()
{
    const int panel = ControlPanel->height();
    ControlPanel->setGeometry(0, height() - panel, width(), panel);
    ButtonBar->setGeometry(0, 0, width(), kBarHeight);
    SubPanel->setGeometry(0, kBarHeight, width(), std::max(0, panel - kBarHeight));
    SubPanel->setVisible(panel > kBarHeight);
    SBox->setGeometry(0, 0, width(), height() - panel);
    layoutButtonBar();
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

void TMainForm::buildFilePage()
{
    FilePage = new QWidget;
    PageControl->addTab(FilePage, QStringLiteral("File"));
    auto *layout = new QHBoxLayout(FilePage);

    auto *commands = new QVBoxLayout;
    btnNewSub = commandButton(FilePage, QStringLiteral("New"));
    btnOpenSub = commandButton(FilePage, QStringLiteral("Open"));
    btnSaveSub = commandButton(FilePage, QStringLiteral("Save"), QStringLiteral("Press Ctrl-S to save anywhere"));
    btnSaveAs = commandButton(FilePage, QStringLiteral("Save As"));
    for (QToolButton *button : {btnNewSub, btnOpenSub, btnSaveSub, btnSaveAs})
        commands->addWidget(button);
    commands->addStretch();
    layout->addLayout(commands);

    auto *files = new QGridLayout;
    lblFileName = new QLabel(QStringLiteral("New File"), FilePage);
    lblFileName->setFrameShape(QFrame::Panel);
    lblFileName->setFrameShadow(QFrame::Sunken);
    EditGraphicName = new QLineEdit(FilePage);
    EditAudioName = new QLineEdit(FilePage);
    for (QLineEdit *box : {EditGraphicName, EditAudioName}) {
        box->setReadOnly(true);
        box->setMaxLength(30);
    }
    files->addWidget(new QLabel(QStringLiteral("File Name"), FilePage), 0, 0);
    files->addWidget(lblFileName, 0, 1);
    files->addWidget(new QLabel(QStringLiteral("Graphic File"), FilePage), 1, 0);
    files->addWidget(EditGraphicName, 1, 1);
    files->addWidget(new QLabel(QStringLiteral("Audio File"), FilePage), 2, 0);
    files->addWidget(EditAudioName, 2, 1);
    chkSectionPlay = new QCheckBox(QStringLiteral("Section Play"), FilePage);
    files->addWidget(chkSectionPlay, 3, 1);
    LblPointedVGObj = new QLabel(QStringLiteral("-"), FilePage);
    files->addWidget(new QLabel(QStringLiteral("Pointed Object ID:"), FilePage), 4, 0);
    files->addWidget(LblPointedVGObj, 4, 1);
    files->setRowStretch(5, 1);
    layout->addLayout(files, 1);

    RGrpMode = new TRadioGroup(QStringLiteral("Mode"),
                               {QStringLiteral("Design"), QStringLiteral("Play All"), QStringLiteral("Play Limited")},
                               FilePage);
    RGrpMode->setItemIndex(0);
    layout->addWidget(RGrpMode);
}

void TMainForm::buildObjectsPage()
{
    GObjPage = new QWidget;
    PageControl->addTab(GObjPage, QStringLiteral("All Objects"));
    auto *layout = new QHBoxLayout(GObjPage);
    layout->setSpacing(4);

    auto listView = [this](ObjectList &model) {
        auto *view = new QListView(GObjPage);
        view->setModel(&model);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setMinimumWidth(110);
        connect(&model, &ObjectList::currentIndexChanged, view,
                [view, &model](int index) { view->setCurrentIndex(model.index(index)); });
        return view;
    };

    // Graphic objects.
    auto *graphics = new QVBoxLayout;
    LstGObj = listView(mChapter.LstGObj);
    EdtGObjName = new QLineEdit(GObjPage);
    graphics->addWidget(LstGObj, 1);
    graphics->addWidget(EdtGObjName);
    auto *graphicButtons = new QHBoxLayout;
    for (const QString &caption : {QStringLiteral("&Add"), QStringLiteral("&Replace"), QStringLiteral("&Delete")})
        graphicButtons->addWidget(pageButton(GObjPage, caption));
    graphics->addLayout(graphicButtons);
    layout->addLayout(graphics);

    // Voice objects with their times and the position probe.
    auto *voices = new QVBoxLayout;
    LstVObj = listView(mChapter.LstVObj);
    EdtVObjName = new QLineEdit(GObjPage);
    voices->addWidget(LstVObj, 1);
    voices->addWidget(EdtVObjName);
    layout->addLayout(voices);

    auto *times = new QGridLayout;
    auto upDown = [this] {
        auto *ud = new TUpDown(GObjPage);
        ud->Min = -30000;
        ud->Max = 30000;
        ud->Increment = 100;
        return ud;
    };
    LblStart = timeLabel(GObjPage, QStringLiteral("00:00:00"));
    LblStop = timeLabel(GObjPage, QStringLiteral("00:00:00"));
    UDStart = upDown();
    UDStop = upDown();
    times->addWidget(new QLabel(QStringLiteral("Start"), GObjPage), 0, 0);
    times->addWidget(LblStart, 0, 1);
    times->addWidget(UDStart, 0, 2);
    times->addWidget(new QLabel(QStringLiteral("Stop"), GObjPage), 1, 0);
    times->addWidget(LblStop, 1, 1);
    times->addWidget(UDStop, 1, 2);
    times->addWidget(pageButton(GObjPage, QStringLiteral("&Play")), 2, 0, 1, 3);
    times->addWidget(pageButton(GObjPage, QStringLiteral("A&dd")), 3, 0);
    times->addWidget(pageButton(GObjPage, QStringLiteral("D&elete")), 3, 1, 1, 2);
    times->addWidget(pageButton(GObjPage, QStringLiteral("&Show Editor")), 4, 0, 1, 3);
    LblThisPosition = timeLabel(GObjPage, QStringLiteral("00:00:00"));
    LblThisPositionInMs = timeLabel(GObjPage, QStringLiteral("00:00:00"));
    UDThisPosition = upDown();
    times->addWidget(LblThisPosition, 5, 0);
    times->addWidget(LblThisPositionInMs, 5, 1);
    times->addWidget(UDThisPosition, 5, 2);
    times->addWidget(pageButton(GObjPage, QStringLiteral("Get Pos")), 6, 0);
    times->addWidget(pageButton(GObjPage, QStringLiteral("Go")), 6, 1, 1, 2);
    layout->addLayout(times);

    // Links and the two sequences.
    auto *linkButtons = new QVBoxLayout;
    linkButtons->addStretch();
    linkButtons->addWidget(commandButton(GObjPage, QStringLiteral(">> &v")));
    linkButtons->addWidget(commandButton(GObjPage, QStringLiteral("<<   ")));
    linkButtons->addStretch();
    layout->addLayout(linkButtons);
    LstVGObj = listView(mChapter.LstVGObj);
    layout->addWidget(LstVGObj, 1);
    auto *sequenceButtons = new QVBoxLayout;
    for (const QString &caption : {QStringLiteral("Click >"), QStringLiteral("Read >"), QStringLiteral("R+C >"),
                                   QStringLiteral("< Click"), QStringLiteral("< Read")})
        sequenceButtons->addWidget(pageButton(GObjPage, caption));
    layout->addLayout(sequenceButtons);
    LstCObj = listView(mChapter.LstCObj);
    LstRObj = listView(mChapter.LstRObj);
    layout->addWidget(LstCObj, 1);
    auto *readColumn = new QVBoxLayout;
    readColumn->addWidget(LstRObj, 1);
    auto *upDownButtons = new QHBoxLayout;
    upDownButtons->addWidget(pageButton(GObjPage, QStringLiteral("Up")));
    upDownButtons->addWidget(pageButton(GObjPage, QStringLiteral("Down")));
    readColumn->addLayout(upDownButtons);
    layout->addLayout(readColumn, 1);
}

void TMainForm::buildOptionsPage()
{
    OptionsPage = new QWidget;
    PageControl->addTab(OptionsPage, QStringLiteral("Seçenekler"));
    auto *layout = new QHBoxLayout(OptionsPage);

    auto *size = new QVBoxLayout;
    RGrpImageSize = new TRadioGroup(
        QStringLiteral("  Resim Büyüklüğü  "),
        {QStringLiteral("Sayfayı tam olarak kapla"), QStringLiteral("Benim istediğim büyüklükte göster")}, OptionsPage);
    cmbImageSize = new QComboBox(OptionsPage);
    cmbImageSize->addItems({QStringLiteral("%100"), QStringLiteral("%75"), QStringLiteral("%50"),
                            QStringLiteral("%120"), QStringLiteral("%150")});
    size->addWidget(RGrpImageSize);
    size->addWidget(cmbImageSize);
    size->addStretch();
    layout->addLayout(size);

    RGrpMarkType = new TRadioGroup(QStringLiteral("  İşaretleme Metodu  "),
                                   {QStringLiteral("Çerçeve içine al"), QStringLiteral("Altından işaretleyerek göster"),
                                    QStringLiteral("Rengini değiştir")},
                                   OptionsPage);
    layout->addWidget(RGrpMarkType, 0, Qt::AlignTop);

    auto *colors = new QGridLayout;
    BackgroundColorCombo = new ColorCombo(backgroundColorEntries(), OptionsPage);
    MarkColorCombo = new ColorCombo(markColorEntries(), OptionsPage);
    colors->addWidget(new QLabel(QStringLiteral("Zemin rengi"), OptionsPage), 0, 0);
    colors->addWidget(BackgroundColorCombo, 1, 0);
    colors->addWidget(new QLabel(QStringLiteral("İşaretleme rengi"), OptionsPage), 2, 0);
    colors->addWidget(MarkColorCombo, 3, 0);
    colors->setRowStretch(4, 1);
    layout->addLayout(colors);

    auto *waits = new QGroupBox(QStringLiteral("  Alıştırmalar İçin Bekleme Süreleri  "), OptionsPage);
    auto *grid = new QGridLayout(waits);
    LblTest3 = timeLabel(waits, QStringLiteral("1"));
    LblTest12 = timeLabel(waits, QStringLiteral("1,5"));
    LblTest3->setFixedWidth(36);
    LblTest12->setFixedWidth(36);
    UDTest3 = new TUpDown(waits);
    UDTest3->Min = 1;
    UDTest3->Max = 60;
    UDTest3->setPosition(1);
    UDTest12 = new TUpDown(waits);
    UDTest12->Min = 10;
    UDTest12->Max = 50;
    UDTest12->setPosition(10);
    grid->addWidget(new QLabel(QStringLiteral("\"Ben okuyayım, sen bul\" için :"), waits), 0, 0);
    grid->addWidget(LblTest3, 0, 1);
    grid->addWidget(UDTest3, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("saniye"), waits), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Diğer alıştırmalar için okuma süresinin"), waits), 1, 0);
    grid->addWidget(LblTest12, 1, 1);
    grid->addWidget(UDTest12, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("katı"), waits), 1, 3);
    layout->addWidget(waits, 0, Qt::AlignTop);
    layout->addStretch();
}

void TMainForm::buildVolumePage()
{
    VolumePage = new QWidget;
    PageControl->addTab(VolumePage, QStringLiteral("Ses Kontrolü"));
    auto *grid = new QGridLayout(VolumePage);
    auto slider = [this] {
        auto *s = new QSlider(Qt::Horizontal, VolumePage);
        s->setRange(0, 100);
        s->setSingleStep(5);
        s->setPageStep(5);
        s->setFixedWidth(250);
        return s;
    };
    MasterControl = slider();
    WaveControl = slider();
    CDControl = slider();
    LblCD = new QLabel(QStringLiteral("CD"), VolumePage);
    grid->addWidget(new QLabel(QStringLiteral("Ana Ses"), VolumePage), 0, 0);
    grid->addWidget(MasterControl, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Wave"), VolumePage), 1, 0);
    grid->addWidget(WaveControl, 1, 1);
    grid->addWidget(LblCD, 2, 0);
    grid->addWidget(CDControl, 2, 1);
    CDControl->hide();
    LblCD->hide();
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);
}

void TMainForm::buildAboutPage()
{
    AboutPage = new QWidget;
    PageControl->addTab(AboutPage, QStringLiteral("Program Hakkında"));
    auto *layout = new QHBoxLayout(AboutPage);
    LogoImage = new QLabel(AboutPage);
    LogoImage->setPixmap(logoPicture().scaledToHeight(140, Qt::SmoothTransformation));
    LogoImage->setCursor(Qt::PointingHandCursor);
    LogoImage->setToolTip(QStringLiteral("Brisel Web Sitesi"));
    layout->addWidget(LogoImage, 0, Qt::AlignTop);

    imgAd1 = new QLabel(AboutPage);
    imgAd1->setPixmap(aboutPicture(1));
    imgAd1->setToolTip(QStringLiteral("Brisel Reklam Filmi 1"));
    imgAd2 = new QLabel(AboutPage);
    imgAd2->setPixmap(aboutPicture(2));
    imgAd2->setToolTip(QStringLiteral("Brisel Reklam Filmi 2"));
    for (QLabel *picture : {imgAd1, imgAd2}) {
        picture->setCursor(Qt::PointingHandCursor);
        layout->addWidget(picture, 0, Qt::AlignTop);
    }

    auto *contact = new QVBoxLayout;
    LblBriselWeb = new QLabel(QStringLiteral("<a href=\"https://lirena.example.org\">lirena.example.org</a>"), AboutPage);
    Label20 = new QLabel(QStringLiteral("<a href=\"mailto:bilgi@lirena.example.org\">bilgi@lirena.example.org</a>"),
                         AboutPage);
    for (QLabel *link : {LblBriselWeb, Label20}) {
        link->setTextInteractionFlags(Qt::NoTextInteraction);
        link->setCursor(Qt::PointingHandCursor);
        contact->addWidget(link);
    }
    MemoBrisel = new QPlainTextEdit(AboutPage);
    MemoBrisel->setReadOnly(true);
    MemoBrisel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoBrisel->setPlainText(QStringLiteral(
        "Lirena - okuma öğreten sesli kitap.\n\n"
        "Sayfayı okuyan öğretmenin sesini dinlerken okunan kelime sayfada işaretlenir. "
        "Bir kelimeye tıklayarak onu yeniden dinleyebilir, Konular menüsünden alıştırmalara başlayabilirsiniz.\n\n"
        "Bu program ve içindeki ders kitabı telif hakkı ile korunmaktadır. "
        "İzinsiz çoğaltılamaz ve dağıtılamaz.\n\n"
        "İletişim: bilgi@lirena.example.org"));
    contact->addWidget(MemoBrisel, 1);
    layout->addLayout(contact, 1);
}

} // namespace lirena
