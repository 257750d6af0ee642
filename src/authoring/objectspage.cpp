#include "authoring/objectspage.h"

#include "lesson/chapter.h"
#include "player/player.h"
#include "player/panelcontrols.h"
#include "player/tupdown.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace lirena {

using PanelControls::named;

ObjectsPage::ObjectsPage(Chapter &chapter, Player &player, QWidget *parent)
    : QWidget(parent), mEditor(chapter, player)
{
    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(4);

    // A page button that runs an operation of the editor; a screen reader says
    // what it acts on when the caption alone is ambiguous ("Add" twice).
    auto button = [this](const char *name, const QString &caption, void (ObjectEditor::*op)(),
                         const QString &spoken = {}) {
        QPushButton *b = named(PanelControls::pageButton(this, caption), name,
                               spoken.isEmpty() ? QString(caption).remove(u'&') : spoken);
        connect(b, &QPushButton::clicked, this, [this, op] { (mEditor.*op)(); });
        return b;
    };
    auto listView = [this](ObjectList &model, const char *name, const QString &spoken) {
        auto *view = named(new QListView(this), name, spoken);
        view->setModel(&model);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setMinimumWidth(110);
        connect(&model, &ObjectList::currentIndexChanged, view,
                [view, &model](int index) { view->setCurrentIndex(model.index(index)); });
        return view;
    };

    // Graphic objects.
    auto *graphics = new QVBoxLayout;
    LstGObj = listView(chapter.LstGObj, "LstGObj", QStringLiteral("Graphic objects"));
    EdtGObjName = named(new QLineEdit(this), "EdtGObjName", QStringLiteral("Graphic object name"));
    graphics->addWidget(LstGObj, 1);
    graphics->addWidget(EdtGObjName);
    auto *graphicButtons = new QHBoxLayout;
    graphicButtons->addWidget(button("BtnAdd", QStringLiteral("&Add"), &ObjectEditor::BtnAddClick,
                                      QStringLiteral("Add graphic object")));
    graphicButtons->addWidget(button("BtnReplace", QStringLiteral("&Replace"), &ObjectEditor::BtnReplaceClick,
                                      QStringLiteral("Replace graphic object")));
    graphicButtons->addWidget(button("BtnDelete", QStringLiteral("&Delete"), &ObjectEditor::BtnDeleteClick,
                                      QStringLiteral("Delete graphic object")));
    graphics->addLayout(graphicButtons);
    layout->addLayout(graphics);

    // Voice objects with their times and the position probe.
    auto *voices = new QVBoxLayout;
    LstVObj = listView(chapter.LstVObj, "LstVObj", QStringLiteral("Voice objects"));
    EdtVObjName = named(new QLineEdit(this), "EdtVObjName", QStringLiteral("Voice object name"));
    voices->addWidget(LstVObj, 1);
    voices->addWidget(EdtVObjName);
    layout->addLayout(voices);

    auto *times = new QGridLayout;
    auto upDown = [this] {
        auto *ud = new TUpDown(this);
        ud->Min = -30000;
        ud->Max = 30000;
        ud->Increment = 100;
        ud->setArrowNames(QStringLiteral("Later"), QStringLiteral("Earlier"));
        return ud;
    };
    LblStart = named(PanelControls::timeLabel(this, QStringLiteral("00:00:00")), "LblStart", QStringLiteral("Start"));
    LblStop = named(PanelControls::timeLabel(this, QStringLiteral("00:00:00")), "LblStop", QStringLiteral("Stop"));
    UDStart = named(upDown(), "UDStart", QStringLiteral("Nudge start"));
    UDStop = named(upDown(), "UDStop", QStringLiteral("Nudge stop"));
    times->addWidget(new QLabel(QStringLiteral("Start"), this), 0, 0);
    times->addWidget(LblStart, 0, 1);
    times->addWidget(UDStart, 0, 2);
    times->addWidget(new QLabel(QStringLiteral("Stop"), this), 1, 0);
    times->addWidget(LblStop, 1, 1);
    times->addWidget(UDStop, 1, 2);
    times->addWidget(button("BtnPlaySection", QStringLiteral("&Play"), &ObjectEditor::PlaySection,
                            QStringLiteral("Play voice object")), 2, 0, 1, 3);
    times->addWidget(button("BtnAddVObj", QStringLiteral("A&dd"), &ObjectEditor::BtnAddVObjClick,
                            QStringLiteral("Add voice object")), 3, 0);
    times->addWidget(button("BtnDeleteVObj", QStringLiteral("D&elete"), &ObjectEditor::BtnDeleteVObjClick,
                            QStringLiteral("Delete voice object")), 3, 1, 1, 2);
    QPushButton *showEditor = named(PanelControls::pageButton(this, QStringLiteral("&Show Editor")),
                                    "BtnShowEditor", QStringLiteral("Show Editor"));
    connect(showEditor, &QPushButton::clicked, this, &ObjectsPage::showEditorClicked);
    times->addWidget(showEditor, 4, 0, 1, 3);
    LblThisPosition = named(PanelControls::timeLabel(this, QStringLiteral("00:00:00")), "LblThisPosition", QStringLiteral("Position"));
    LblThisPositionInMs = named(PanelControls::timeLabel(this, QStringLiteral("00:00:00")), "LblThisPositionInMs", QStringLiteral("Position in ms"));
    UDThisPosition = named(upDown(), "UDThisPosition", QStringLiteral("Nudge position"));
    times->addWidget(LblThisPosition, 5, 0);
    times->addWidget(LblThisPositionInMs, 5, 1);
    times->addWidget(UDThisPosition, 5, 2);
    times->addWidget(button("BtnGetPos", QStringLiteral("Get Pos"), &ObjectEditor::BtnGetPosClick), 6, 0);
    times->addWidget(button("BtnGo", QStringLiteral("Go"), &ObjectEditor::BtnGoClick), 6, 1, 1, 2);
    layout->addLayout(times);

    // Links and the two sequences.
    auto *linkButtons = new QVBoxLayout;
    linkButtons->addStretch();
    auto command = [this](const char *name, const QString &caption, const QString &spoken, void (ObjectEditor::*op)()) {
        QToolButton *b = named(PanelControls::commandButton(this, caption), name, spoken);
        connect(b, &QToolButton::clicked, this, [this, op] { (mEditor.*op)(); });
        return b;
    };
    linkButtons->addWidget(command("SBtnAddVGObj", QStringLiteral(">> &v"), QStringLiteral("Link"),
                                   &ObjectEditor::SBtnAddVGObjClick));
    linkButtons->addWidget(command("SBtnDelVGObj", QStringLiteral("<<   "), QStringLiteral("Delete link"),
                                   &ObjectEditor::SBtnDelVGObjClick));
    linkButtons->addStretch();
    layout->addLayout(linkButtons);
    LstVGObj = listView(chapter.LstVGObj, "LstVGObj", QStringLiteral("Links"));
    layout->addWidget(LstVGObj, 1);
    auto *sequenceButtons = new QVBoxLayout;
    sequenceButtons->addWidget(button("btnClick", QStringLiteral("Click >"), &ObjectEditor::btnClickClick));
    sequenceButtons->addWidget(button("btnRead", QStringLiteral("Read >"), &ObjectEditor::btnReadClick));
    sequenceButtons->addWidget(button("btnRC", QStringLiteral("R+C >"), &ObjectEditor::btnRCClick));
    sequenceButtons->addWidget(button("BtnDelClick", QStringLiteral("< Click"), &ObjectEditor::BtnDelClickClick));
    sequenceButtons->addWidget(button("BtnDelRead", QStringLiteral("< Read"), &ObjectEditor::BtnDelReadClick));
    layout->addLayout(sequenceButtons);
    LstCObj = listView(chapter.LstCObj, "LstCObj", QStringLiteral("Click sequence"));
    LstRObj = listView(chapter.LstRObj, "LstRObj", QStringLiteral("Read sequence"));
    layout->addWidget(LstCObj, 1);
    auto *readColumn = new QVBoxLayout;
    readColumn->addWidget(LstRObj, 1);
    auto *upDownButtons = new QHBoxLayout;
    upDownButtons->addWidget(button("BtnRObjUp", QStringLiteral("Up"), &ObjectEditor::BtnRObjUpClick));
    upDownButtons->addWidget(button("BtnRObjDown", QStringLiteral("Down"), &ObjectEditor::BtnRObjDownClick));
    readColumn->addLayout(upDownButtons);
    layout->addLayout(readColumn, 1);

    wire(chapter);
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
