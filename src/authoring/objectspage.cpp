#include "authoring/objectspage.h"

#include "lesson/chapter.h"
#include "player/panelcontrols.h"
#include "player/tupdown.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace lirena {

using PanelControls::named;

ObjectsPage::ObjectsPage(Chapter &chapter, QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(4);

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
    for (const QString &caption : {QStringLiteral("&Add"), QStringLiteral("&Replace"), QStringLiteral("&Delete")})
        graphicButtons->addWidget(PanelControls::pageButton(this, caption));
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
    times->addWidget(PanelControls::pageButton(this, QStringLiteral("&Play")), 2, 0, 1, 3);
    times->addWidget(PanelControls::pageButton(this, QStringLiteral("A&dd")), 3, 0);
    times->addWidget(PanelControls::pageButton(this, QStringLiteral("D&elete")), 3, 1, 1, 2);
    times->addWidget(PanelControls::pageButton(this, QStringLiteral("&Show Editor")), 4, 0, 1, 3);
    LblThisPosition = named(PanelControls::timeLabel(this, QStringLiteral("00:00:00")), "LblThisPosition", QStringLiteral("Position"));
    LblThisPositionInMs = named(PanelControls::timeLabel(this, QStringLiteral("00:00:00")), "LblThisPositionInMs", QStringLiteral("Position in ms"));
    UDThisPosition = named(upDown(), "UDThisPosition", QStringLiteral("Nudge position"));
    times->addWidget(LblThisPosition, 5, 0);
    times->addWidget(LblThisPositionInMs, 5, 1);
    times->addWidget(UDThisPosition, 5, 2);
    times->addWidget(PanelControls::pageButton(this, QStringLiteral("Get Pos")), 6, 0);
    times->addWidget(PanelControls::pageButton(this, QStringLiteral("Go")), 6, 1, 1, 2);
    layout->addLayout(times);

    // Links and the two sequences.
    auto *linkButtons = new QVBoxLayout;
    linkButtons->addStretch();
    linkButtons->addWidget(PanelControls::commandButton(this, QStringLiteral(">> &v")));
    linkButtons->addWidget(PanelControls::commandButton(this, QStringLiteral("<<   ")));
    linkButtons->addStretch();
    layout->addLayout(linkButtons);
    LstVGObj = listView(chapter.LstVGObj, "LstVGObj", QStringLiteral("Links"));
    layout->addWidget(LstVGObj, 1);
    auto *sequenceButtons = new QVBoxLayout;
    for (const QString &caption : {QStringLiteral("Click >"), QStringLiteral("Read >"), QStringLiteral("R+C >"),
                                   QStringLiteral("< Click"), QStringLiteral("< Read")})
        sequenceButtons->addWidget(PanelControls::pageButton(this, caption));
    layout->addLayout(sequenceButtons);
    LstCObj = listView(chapter.LstCObj, "LstCObj", QStringLiteral("Click sequence"));
    LstRObj = listView(chapter.LstRObj, "LstRObj", QStringLiteral("Read sequence"));
    layout->addWidget(LstCObj, 1);
    auto *readColumn = new QVBoxLayout;
    readColumn->addWidget(LstRObj, 1);
    auto *upDownButtons = new QHBoxLayout;
    upDownButtons->addWidget(PanelControls::pageButton(this, QStringLiteral("Up")));
    upDownButtons->addWidget(PanelControls::pageButton(this, QStringLiteral("Down")));
    readColumn->addLayout(upDownButtons);
    layout->addLayout(readColumn, 1);
}

} // namespace lirena
