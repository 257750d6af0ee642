#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace lirena {

class ChapterFile;
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

    // Save: writes the chapter into the file it was read from (Ctrl+S anywhere,
    // for authors). A new chapter has no file yet and is not written.
    void btnSaveSubClick();

private:
    ChapterFile &mFile;
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
