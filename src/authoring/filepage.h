#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace lirena {

class ChapterFile;
class ChapterView;
class UserDialogs;
class PageInteraction;
class TRadioGroup;

// The "File" page: the chapter file's commands, its file name and the names
// of its picture and recording, and the player's mode, "Section Play" and the
// link pointed at, which it shows and sets.
class FilePage : public QWidget
{
    Q_OBJECT

public:
    // Where the open dialog starts: the program's folder.
    QString dialogFolder;

    FilePage(ChapterFile &file, PageInteraction &interaction, UserDialogs &dialogs, QWidget *parent = nullptr);

    // Asks about unsaved changes of the chapter; false when the author cancelled
    // or a save that was asked for failed (the changes are kept).
    bool ConfirmSaveChanges();

    // The chapter file's full path, or "New File".
    QString fileName() const;
    void setFileName(const QString &path);
    // The picture and recording names as the chapter writes them. Only the
    // program writes them; a change is a change of the chapter.
    void setGraphicFile(const QString &name);
    void setAudioFile(const QString &name);
    // "Section Play" as the chapter stores it.
    void setSectionPlay(bool on);
    bool sectionPlay() const;

    // New: an empty chapter over the page shown, after the unsaved-changes prompt.
    void btnNewSubClick();
    // Open: a chapter file chosen in a dialog, after the prompt; any file but the
    // very one shown is loaded (see openRequested).
    void btnOpenSubClick();
    // Save: writes the chapter into its file (Ctrl+S anywhere, for authors); a
    // chapter without a file yet asks for one as Save As does. False when
    // nothing was written.
    bool btnSaveSubClick();
    // Save As: writes the chapter, with the page's picture and recording, into a
    // file chosen in a dialog, which the page then names. False when nothing was written.
    bool btnSaveAsClick();

    // Where an opened chapter is shown.
    void setChapterView(ChapterView *view) { mView = view; }
    // Gives the window the action "SaveSubs": Ctrl+S saves wherever the focus is.
    void addSaveShortcut(QWidget &window);

private:
    ChapterFile &mFile;
    ChapterView *mView = nullptr;
    UserDialogs &mDialogs;
    QToolButton *btnNewSub;
    QToolButton *btnOpenSub;
    QToolButton *btnSaveSub;
    QToolButton *btnSaveAs;
    QLabel *lblFileName;
    QLineEdit *EditGraphicName;
    QLineEdit *EditAudioName;
    TRadioGroup *RGrpMode;
    QCheckBox *chkSectionPlay;
    QLabel *LblPointedVGObj;
};

} // namespace lirena
