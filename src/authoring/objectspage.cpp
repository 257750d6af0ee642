#include "authoring/objectspage.h"

#include "authoring/pagedrafter.h"
#include "lesson/chapter.h"
#include "lesson/chapterfile.h"
#include "player/panelcontrols.h"
#include "player/player.h"
#include "player/tupdown.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace lirena {

using PanelControls::named;

ObjectsPage::ObjectsPage(Chapter &chapter, Player &player, DraftParts draft, QWidget *parent)
    : QWidget(parent), mEditor(chapter, player)
{
    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(4);

    // A page button that runs an operation of the editor; a screen reader says
    // what it acts on when the caption alone is ambiguous ("Add" twice).
    auto button = [this](const char *name, const QString &caption, void (ObjectEditor::*op)(),
                         const QString &description, const QString &spoken = {}) {
        QPushButton *b = named(PanelControls::pageButton(this, caption), name,
                               spoken.isEmpty() ? QString(caption).remove(u'&') : spoken, description);
        connect(b, &QPushButton::clicked, this, [this, op] { (mEditor.*op)(); });
        return b;
    };
    auto listView = [this](ObjectList &model, const char *name, const QString &spoken,
                           const QString &description) {
        auto *view = named(new QListView(this), name, spoken, description);
        view->setModel(&model);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setMinimumWidth(110);
        connect(&model, &ObjectList::currentIndexChanged, view,
                [view, &model](int index) { view->setCurrentIndex(model.index(index)); });
        return view;
    };

    // Graphic objects.
    auto *graphics = new QVBoxLayout;
    LstGObj = listView(chapter.LstGObj, "LstGObj", QStringLiteral("Graphic objects"),
                       QStringLiteral("The rectangles of the page; choosing one shows it"));
    EdtGObjName = named(new QLineEdit(this), "EdtGObjName", QStringLiteral("Graphic object name"),
                        QStringLiteral("Renames the selected graphic object"));
    graphics->addWidget(LstGObj, 1);
    graphics->addWidget(EdtGObjName);
    auto *graphicButtons = new QHBoxLayout;
    graphicButtons->addWidget(button("BtnAdd", QStringLiteral("&Add"), &ObjectEditor::BtnAddClick,
                                     QStringLiteral("Makes the drawn rectangle a graphic object"),
                                     QStringLiteral("Add graphic object")));
    graphicButtons->addWidget(button("BtnReplace", QStringLiteral("&Replace"), &ObjectEditor::BtnReplaceClick,
                                     QStringLiteral("Gives the selected graphic object the drawn rectangle"),
                                     QStringLiteral("Replace graphic object")));
    graphicButtons->addWidget(button("BtnDelete", QStringLiteral("&Delete"), &ObjectEditor::BtnDeleteClick,
                                     QStringLiteral("Deletes the selected graphic object"),
                                     QStringLiteral("Delete graphic object")));
    graphics->addLayout(graphicButtons);
    layout->addLayout(graphics);

    // Voice objects with their times and the position probe.
    auto *voices = new QVBoxLayout;
    LstVObj = listView(chapter.LstVObj, "LstVObj", QStringLiteral("Voice objects"),
                       QStringLiteral("The segments of the recording; a double click plays one"));
    EdtVObjName = named(new QLineEdit(this), "EdtVObjName", QStringLiteral("Voice object name"),
                        QStringLiteral("Renames the selected voice object"));
    voices->addWidget(LstVObj, 1);
    voices->addWidget(EdtVObjName);
    voices->addLayout(draftRow(player, draft));
    layout->addLayout(voices);

    auto *times = new QGridLayout;
    auto upDown = [this] {
        auto *ud = new TUpDown(this);
        ud->Min = -30000;
        ud->Max = 30000;
        ud->Increment = 100;
        return ud;
    };
    LblStart = named(PanelControls::timeLabel(this, QStringLiteral("00:00:00")), "LblStart", QStringLiteral("Start"));
    LblStop = named(PanelControls::timeLabel(this, QStringLiteral("00:00:00")), "LblStop", QStringLiteral("Stop"));
    UDStart = named(upDown(), "UDStart", QStringLiteral("Nudge start"));
    UDStop = named(upDown(), "UDStop", QStringLiteral("Nudge stop"));
    UDStart->setArrowNames(QStringLiteral("Later"), QStringLiteral("Earlier"),
                           QStringLiteral("Moves the start of the selected voice object by 100 ms"));
    UDStop->setArrowNames(QStringLiteral("Later"), QStringLiteral("Earlier"),
                          QStringLiteral("Moves the stop of the selected voice object by 100 ms"));
    times->addWidget(new QLabel(QStringLiteral("Start"), this), 0, 0);
    times->addWidget(LblStart, 0, 1);
    times->addWidget(UDStart, 0, 2);
    times->addWidget(new QLabel(QStringLiteral("Stop"), this), 1, 0);
    times->addWidget(LblStop, 1, 1);
    times->addWidget(UDStop, 1, 2);
    times->addWidget(button("BtnPlaySection", QStringLiteral("&Play"), &ObjectEditor::PlaySection,
                            QStringLiteral("Plays the selected voice object"),
                            QStringLiteral("Play voice object")),
                     2, 0, 1, 3);
    times->addWidget(button("BtnAddVObj", QStringLiteral("A&dd"), &ObjectEditor::BtnAddVObjClick,
                            QStringLiteral("Makes a voice object of two seconds at the playing position"),
                            QStringLiteral("Add voice object")),
                     3, 0);
    times->addWidget(button("BtnDeleteVObj", QStringLiteral("D&elete"), &ObjectEditor::BtnDeleteVObjClick,
                            QStringLiteral("Deletes the selected voice object"),
                            QStringLiteral("Delete voice object")),
                     3, 1, 1, 2);
    QPushButton *showEditor = named(PanelControls::pageButton(this, QStringLiteral("&Show Editor")),
                                    "BtnShowEditor", QStringLiteral("Show Editor"),
                                    QStringLiteral("Opens the sound editor on the chapter's recording"));
    connect(showEditor, &QPushButton::clicked, this, &ObjectsPage::showEditorClicked);
    times->addWidget(showEditor, 4, 0, 1, 3);
    LblThisPosition = named(PanelControls::timeLabel(this, QStringLiteral("00:00:00")), "LblThisPosition", QStringLiteral("Position"));
    LblThisPositionInMs = named(PanelControls::timeLabel(this, QStringLiteral("00:00:00")), "LblThisPositionInMs", QStringLiteral("Position in ms"));
    UDThisPosition = named(upDown(), "UDThisPosition", QStringLiteral("Nudge position"));
    UDThisPosition->setArrowNames(QStringLiteral("Later"), QStringLiteral("Earlier"),
                                  QStringLiteral("Moves the position by 100 ms"));
    times->addWidget(LblThisPosition, 5, 0);
    times->addWidget(LblThisPositionInMs, 5, 1);
    times->addWidget(UDThisPosition, 5, 2);
    times->addWidget(button("BtnGetPos", QStringLiteral("Get Pos"), &ObjectEditor::BtnGetPosClick,
                            QStringLiteral("Takes the playing position")),
                     6, 0);
    times->addWidget(button("BtnGo", QStringLiteral("Go"), &ObjectEditor::BtnGoClick,
                            QStringLiteral("Plays from the position")),
                     6, 1, 1, 2);
    layout->addLayout(times);

    // Links and the two sequences.
    auto *linkButtons = new QVBoxLayout;
    linkButtons->addStretch();
    auto command = [this](const char *name, const QString &caption, const QString &spoken,
                          const QString &description, void (ObjectEditor::*op)()) {
        QToolButton *b = named(PanelControls::commandButton(this, caption), name, spoken, description);
        connect(b, &QToolButton::clicked, this, [this, op] { (mEditor.*op)(); });
        return b;
    };
    linkButtons->addWidget(command("SBtnAddVGObj", QStringLiteral(">> &v"), QStringLiteral("Link"),
                                   QStringLiteral("Links the selected graphic and voice objects"),
                                   &ObjectEditor::SBtnAddVGObjClick));
    linkButtons->addWidget(command("SBtnDelVGObj", QStringLiteral("<<   "), QStringLiteral("Delete link"),
                                   QStringLiteral("Deletes the selected link"),
                                   &ObjectEditor::SBtnDelVGObjClick));
    linkButtons->addStretch();
    layout->addLayout(linkButtons);
    LstVGObj = listView(chapter.LstVGObj, "LstVGObj", QStringLiteral("Links"),
                        QStringLiteral("Rectangles linked to segments; a double click plays one"));
    layout->addWidget(LstVGObj, 1);
    auto *sequenceButtons = new QVBoxLayout;
    sequenceButtons->addWidget(button("btnClick", QStringLiteral("Click >"), &ObjectEditor::btnClickClick,
                                      QStringLiteral("Adds the selected link to the click sequence")));
    sequenceButtons->addWidget(button("btnRead", QStringLiteral("Read >"), &ObjectEditor::btnReadClick,
                                      QStringLiteral("Adds the selected link to the read sequence")));
    sequenceButtons->addWidget(
        button("btnRC", QStringLiteral("R+C >"), &ObjectEditor::btnRCClick,
               QStringLiteral("Adds the selected link to both sequences and selects the next")));
    sequenceButtons->addWidget(button("BtnDelClick", QStringLiteral("< Click"),
                                      &ObjectEditor::BtnDelClickClick,
                                      QStringLiteral("Takes the selected link out of the click sequence")));
    sequenceButtons->addWidget(button("BtnDelRead", QStringLiteral("< Read"), &ObjectEditor::BtnDelReadClick,
                                      QStringLiteral("Takes the selected link out of the read sequence")));
    layout->addLayout(sequenceButtons);
    LstCObj = listView(chapter.LstCObj, "LstCObj", QStringLiteral("Click sequence"),
                       QStringLiteral("The links a click plays in Play Limited mode"));
    LstRObj = listView(chapter.LstRObj, "LstRObj", QStringLiteral("Read sequence"),
                       QStringLiteral("The links the exercises go through, in order"));
    layout->addWidget(LstCObj, 1);
    auto *readColumn = new QVBoxLayout;
    readColumn->addWidget(LstRObj, 1);
    auto *upDownButtons = new QHBoxLayout;
    upDownButtons->addWidget(button("BtnRObjUp", QStringLiteral("Up"), &ObjectEditor::BtnRObjUpClick,
                                    QStringLiteral("Moves the selected link up the read sequence")));
    upDownButtons->addWidget(button("BtnRObjDown", QStringLiteral("Down"), &ObjectEditor::BtnRObjDownClick,
                                    QStringLiteral("Moves the selected link down the read sequence")));
    readColumn->addLayout(upDownButtons);
    layout->addLayout(readColumn, 1);

    wire(chapter);
}

ObjectsPage::ObjectsPage(Chapter &chapter, Player &player, QWidget *parent)
    : ObjectsPage(chapter, player, DraftParts{}, parent)
{
}

ObjectsPage::~ObjectsPage() = default;

QLayout *ObjectsPage::draftRow(Player &player, DraftParts draft)
{
    BtnAutoDraft =
        named(PanelControls::pageButton(this, QStringLiteral("Auto Draft")), "BtnAutoDraft",
              QStringLiteral("Auto Draft"),
              QStringLiteral("Makes a graphic object for every word of the page picture, a voice "
                             "object for the speech that reads it, their links and both sequences; "
                             "for a JPG page with a recording and no graphic objects yet. Nothing is "
                             "written until the chapter is saved"));
    DraftProgress = named(new QProgressBar(this), "DraftProgress", QStringLiteral("Drafting progress"),
                          QStringLiteral("How far Auto Draft has read the page"));
    DraftProgress->setRange(0, 100);
    DraftProgress->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    BtnCancelDraft = named(PanelControls::pageButton(this, QStringLiteral("Cancel")), "BtnCancelDraft",
                           QStringLiteral("Cancel draft"),
                           QStringLiteral("Stops Auto Draft; the chapter stays as it was"));
    LblDraftSummary = named(new QLabel(this), "LblDraftSummary", QStringLiteral("Draft summary"));
    // A summary shows two lines, cut at the column's edge; the whole one is in the hint.
    LblDraftSummary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto *row = new QHBoxLayout;
    row->addWidget(BtnAutoDraft);
    row->addWidget(DraftProgress, 1);
    row->addWidget(BtnCancelDraft);
    row->addWidget(LblDraftSummary, 1);
    BtnAutoDraft->setEnabled(false);
    showDrafting(false);
    if (!draft.chapterFile || !draft.dialogs)
        return row;

    mDrafter = std::make_unique<PageDrafter>(PageDrafter::Parts{
        .chapterFile = draft.chapterFile,
        .dialogs = draft.dialogs,
        .imageScale = [&player] { return player.page().ImageScale(); },
    });
    BtnAutoDraft->setEnabled(mDrafter->canDraft());
    connect(mDrafter.get(), &PageDrafter::availabilityChanged, BtnAutoDraft, &QPushButton::setEnabled);
    connect(BtnAutoDraft, &QPushButton::clicked, mDrafter.get(), &PageDrafter::start);
    connect(BtnCancelDraft, &QPushButton::clicked, this, [this] {
        BtnCancelDraft->setEnabled(false);
        mDrafter->cancel();
    });
    connect(mDrafter.get(), &PageDrafter::started, this, [this] {
        DraftProgress->setValue(0);
        BtnCancelDraft->setEnabled(true);
        showSummary({});
        showDrafting(true);
    });
    connect(mDrafter.get(), &PageDrafter::progressed, DraftProgress, &QProgressBar::setValue);
    // What a draft left out belongs to its page only.
    connect(&draft.chapterFile->chapter(), &Chapter::cleared, this, [this] { showSummary({}); });
    connect(mDrafter.get(), &PageDrafter::finished, this, [this](bool, const QString &summary) {
        showDrafting(false);
        showSummary(summary);
    });
    return row;
}

void ObjectsPage::showSummary(const QString &summary)
{
    LblDraftSummary->setText(summary.section(u'\n', 0, 1));
    LblDraftSummary->setToolTip(summary);
    LblDraftSummary->setAccessibleDescription(summary);
}

void ObjectsPage::showDrafting(bool running)
{
    DraftProgress->setVisible(running);
    BtnCancelDraft->setVisible(running);
    LblDraftSummary->setVisible(!running);
}

void ObjectsPage::wire(Chapter &chapter)
{
    // A name holding "=" or "|" would split its line in the chapter file: the boxes refuse them.
    const QRegularExpression noSeparators(QStringLiteral("[^=|]*"));
    for (QLineEdit *box : {EdtGObjName, EdtVObjName})
        box->setValidator(new QRegularExpressionValidator(noSeparators, box));
    // The program's own writes into the name boxes are no renaming.
    connect(&mEditor, &ObjectEditor::graphicNameShown, this, [this](const QString &name) {
        const QSignalBlocker echo(EdtGObjName);
        EdtGObjName->setText(name);
    });
    connect(&mEditor, &ObjectEditor::voiceNameShown, this, [this](const QString &name) {
        const QSignalBlocker echo(EdtVObjName);
        EdtVObjName->setText(name);
    });
    connect(EdtGObjName, &QLineEdit::textEdited, &mEditor, &ObjectEditor::renameGraphic);
    connect(EdtVObjName, &QLineEdit::textEdited, &mEditor, &ObjectEditor::renameVoice);
    connect(LstGObj, &QListView::clicked, this, [this](const QModelIndex &i) { mEditor.LstGObjClick(i.row()); });
    connect(LstVObj, &QListView::clicked, this, [this](const QModelIndex &i) { mEditor.LstVObjClick(i.row()); });
    connect(LstVObj, &QListView::doubleClicked, &mEditor, &ObjectEditor::PlaySection);
    for (auto [view, list] : {std::pair{LstVGObj, &chapter.LstVGObj}, std::pair{LstCObj, &chapter.LstCObj},
                              std::pair{LstRObj, &chapter.LstRObj}}) {
        connect(view, &QListView::clicked, list, [list](const QModelIndex &i) { list->setCurrentIndex(i.row()); });
        connect(view, &QListView::doubleClicked, this, [this, list] { mEditor.PlayLinkSection(*list); });
    }
    connect(&mEditor, &ObjectEditor::sectionChanged, this, [this](int start, int stop) {
        LblStart->setText(PlaybackControl::FormatMediaTime(start));
        LblStop->setText(PlaybackControl::FormatMediaTime(stop));
    });
    connect(&mEditor, &ObjectEditor::probeChanged, this, [this](int ms) {
        LblThisPosition->setText(PlaybackControl::FormatMediaTime(ms));
        LblThisPositionInMs->setText(QString::number(ms));
    });
    // The up-downs only propose steps: they go back to 0 after each, so no
    // number of steps runs into their own limits.
    auto stepper = [](TUpDown *upDown, auto operation) {
        upDown->OnChangingEx = [upDown, operation](int proposed) {
            const bool taken = operation(proposed - upDown->position());
            if (taken)
                QMetaObject::invokeMethod(upDown, [upDown] { upDown->setPosition(0); }, Qt::QueuedConnection);
            return taken;
        };
    };
    stepper(UDStart, [this](int ms) { return mEditor.nudgeStart(ms); });
    stepper(UDStop, [this](int ms) { return mEditor.nudgeStop(ms); });
    stepper(UDThisPosition, [this](int ms) {
        mEditor.nudgeProbe(ms);
        return true;
    });
}

} // namespace lirena
