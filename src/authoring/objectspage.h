#pragma once

#include "authoring/objecteditor.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListView;

namespace lirena {

class Chapter;
class Player;
class TUpDown;

// The "All Objects" page: the chapter's graphic objects, voice objects with
// their times and the position probe, links, and the click and read
// sequences, each list showing the chapter's own; its buttons run the
// operations of its ObjectEditor.
class ObjectsPage : public QWidget
{
    Q_OBJECT

public:
    ObjectsPage(Chapter &chapter, Player &player, QWidget *parent = nullptr);

    ObjectEditor &editor() { return mEditor; }

signals:
    // "&Show Editor": the author asks for the sound editor.
    void showEditorClicked();

private:
    void wire(Chapter &chapter);

    ObjectEditor mEditor;
    QListView *LstGObj;
    QListView *LstVObj;
    QListView *LstVGObj;
    QListView *LstCObj;
    QListView *LstRObj;
    QLineEdit *EdtGObjName;
    QLineEdit *EdtVObjName;
    QLabel *LblStart;
    QLabel *LblStop;
    TUpDown *UDStart;
    TUpDown *UDStop;
    QLabel *LblThisPosition;
    QLabel *LblThisPositionInMs;
    TUpDown *UDThisPosition;
};

} // namespace lirena
