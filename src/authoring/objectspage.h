#pragma once

#include "authoring/objecteditor.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLayout;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;

namespace lirena {

class Chapter;
class ChapterFile;
class PageDrafter;
class Player;
class TUpDown;
class UserDialogs;

// The "All Objects" page: the chapter's graphic objects, voice objects with
// their times and the position probe, links, and the click and read
// sequences, each list showing the chapter's own; its buttons run the
// operations of its ObjectEditor, and "Auto Draft" those of its PageDrafter.
class ObjectsPage : public QWidget
{
    Q_OBJECT

public:
    // What Auto Draft needs beyond the chapter: the file it was read from
    // (the page's picture and recording, the data folder) and where a failure
    // is told. Without them the button stays off.
    struct DraftParts
    {
        ChapterFile *chapterFile = nullptr;
        UserDialogs *dialogs = nullptr;
    };

    ObjectsPage(Chapter &chapter, Player &player, DraftParts draft, QWidget *parent = nullptr);
    ObjectsPage(Chapter &chapter, Player &player, QWidget *parent = nullptr);
    ~ObjectsPage() override;

    ObjectEditor &editor() { return mEditor; }
    // Auto Draft's work, when the page was given what it needs.
    PageDrafter *drafter() { return mDrafter.get(); }

signals:
    // "&Show Editor": the author asks for the sound editor.
    void showEditorClicked();

private:
    void wire(Chapter &chapter);
    // The Auto Draft row: the button, and while a draft runs its progress and Cancel.
    QLayout *draftRow(Player &player, DraftParts draft);
    void showDrafting(bool running);
    // What the last draft made and left out: two lines shown, all of it in the hint.
    void showSummary(const QString &summary);

    ObjectEditor mEditor;
    std::unique_ptr<PageDrafter> mDrafter;
    QPushButton *BtnAutoDraft;
    QProgressBar *DraftProgress;
    QPushButton *BtnCancelDraft;
    QLabel *LblDraftSummary;
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
