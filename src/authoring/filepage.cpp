#include "authoring/filepage.h"

#include "lesson/chapter.h"
#include "lesson/chapterfile.h"
#include "platform/pathresolver.h"
#include "platform/userdialogs.h"
#include "player/pageinteraction.h"
#include "player/panelcontrols.h"
#include "player/tradiogroup.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace lirena {

using PanelControls::named;

FilePage::FilePage(ChapterFile &file, PageInteraction &interaction, UserDialogs &dialogs, QWidget *parent)
    : QWidget(parent), mFile(file), mDialogs(dialogs)
{
    Chapter &chapter = file.chapter();
    auto *layout = new QHBoxLayout(this);

    auto *commands = new QVBoxLayout;
    btnNewSub = named(PanelControls::commandButton(this, QStringLiteral("New")), "btnNewSub",
                      QStringLiteral("New"), QStringLiteral("Starts a new chapter"));
    btnOpenSub = named(PanelControls::commandButton(this, QStringLiteral("Open")), "btnOpenSub",
                       QStringLiteral("Open"), QStringLiteral("Opens a chapter file"));
    btnSaveSub = named(PanelControls::commandButton(this, QStringLiteral("Save"), QStringLiteral("Press Ctrl-S to save anywhere")),
                       "btnSaveSub", QStringLiteral("Save"));
    connect(btnNewSub, &QToolButton::clicked, this, &FilePage::btnNewSubClick);
    connect(btnOpenSub, &QToolButton::clicked, this, &FilePage::btnOpenSubClick);
    connect(btnSaveSub, &QToolButton::clicked, this, &FilePage::btnSaveSubClick);
    btnSaveAs = named(PanelControls::commandButton(this, QStringLiteral("Save As")), "btnSaveAs",
                      QStringLiteral("Save As"), QStringLiteral("Saves the chapter under a new file name"));
    connect(btnSaveAs, &QToolButton::clicked, this, &FilePage::btnSaveAsClick);
    for (QToolButton *button : {btnNewSub, btnOpenSub, btnSaveSub, btnSaveAs})
        commands->addWidget(button);
    commands->addStretch();
    layout->addLayout(commands);

    auto *files = new QGridLayout;
    lblFileName = named(new QLabel(QStringLiteral("New File"), this), "lblFileName", QStringLiteral("File Name"));
    lblFileName->setFrameShape(QFrame::Panel);
    lblFileName->setFrameShadow(QFrame::Sunken);
    EditGraphicName = named(new QLineEdit(this), "EditGraphicName", QStringLiteral("Graphic File"),
                            QStringLiteral("The chapter's page picture"));
    EditAudioName = named(new QLineEdit(this), "EditAudioName", QStringLiteral("Audio File"),
                          QStringLiteral("The chapter's recording"));
    for (QLineEdit *box : {EditGraphicName, EditAudioName}) {
        box->setReadOnly(true);
        box->setMaxLength(30);
    }
    files->addWidget(new QLabel(QStringLiteral("File Name"), this), 0, 0);
    files->addWidget(lblFileName, 0, 1);
    files->addWidget(new QLabel(QStringLiteral("Graphic File"), this), 1, 0);
    files->addWidget(EditGraphicName, 1, 1);
    files->addWidget(new QLabel(QStringLiteral("Audio File"), this), 2, 0);
    files->addWidget(EditAudioName, 2, 1);
    chkSectionPlay =
        named(new QCheckBox(QStringLiteral("Section Play"), this), "chkSectionPlay",
              QStringLiteral("Section Play"), QStringLiteral("A click on a word plays that word alone"));
    files->addWidget(chkSectionPlay, 3, 1);
    LblPointedVGObj = named(new QLabel(QStringLiteral("-"), this), "LblPointedVGObj", QStringLiteral("Pointed Object ID"));
    files->addWidget(new QLabel(QStringLiteral("Pointed Object ID:"), this), 4, 0);
    files->addWidget(LblPointedVGObj, 4, 1);
    files->setRowStretch(5, 1);
    layout->addLayout(files, 1);

    RGrpMode = named(new TRadioGroup(QStringLiteral("Mode"),
                                     {QStringLiteral("Design"), QStringLiteral("Play All"), QStringLiteral("Play Limited")},
                                     this),
                     "RGrpMode", QStringLiteral("Mode"));
    RGrpMode->setItemIndex(interaction.mode());
    layout->addWidget(RGrpMode);

    // The player's state, shown here and set from here.
    connect(RGrpMode, &TRadioGroup::clicked, &interaction,
            [&interaction](int index) { interaction.setMode(PageInteraction::Mode(index)); });
    connect(&interaction, &PageInteraction::modeChanged, RGrpMode,
            [this](PageInteraction::Mode mode) { RGrpMode->setItemIndex(mode); });
    connect(chkSectionPlay, &QCheckBox::toggled, &interaction, &PageInteraction::setSectionPlay);
    connect(&interaction, &PageInteraction::pointedLinkChanged, LblPointedVGObj,
            [this](int id) { LblPointedVGObj->setText(QString::number(id)); });
    // The name boxes are written only by the program; a change is a change of the chapter.
    for (QLineEdit *box : {EditGraphicName, EditAudioName})
        connect(box, &QLineEdit::textChanged, &chapter, [&chapter] { chapter.setModified(true); });
    connect(&chapter, &Chapter::cleared, this, [this] {
        EditGraphicName->clear();
        EditAudioName->clear();
        lblFileName->setText(QStringLiteral("New File"));
    });
}

namespace {

const QString kChapterFilter = QStringLiteral("Ini Files (*.ini);;All Files (*.*)");

} // namespace

bool FilePage::ConfirmSaveChanges()
{
    const auto answer = mDialogs.askYesNoCancel(QStringLiteral("Warning !"),
                                                QStringLiteral("Save changes to ") + fileNamePart(fileName()));
    if (answer == UserDialogs::Answer::Cancel)
        return false;
    // A save that was cancelled or failed keeps the changes: do not go on and lose them.
    if (answer == UserDialogs::Answer::Yes)
        return btnSaveSubClick();
    return true;
}

void FilePage::btnNewSubClick()
{
    if (mFile.chapter().Modified() && !ConfirmSaveChanges())
        return;
    mFile.chapter().ClearChapter();
}

void FilePage::btnOpenSubClick()
{
    const QString path = mDialogs.chooseFileToOpen(QStringLiteral("Open Chapter"), kChapterFilter,
                                                   dialogFolder, QStringLiteral("sbt"));
    if (path.isEmpty())
        return;
    if (mFile.chapter().Modified() && !ConfirmSaveChanges())
        return;
    // The file shown is not read again; any other is, whatever its name.
    if (QFileInfo(path) == QFileInfo(fileName()) || !mView)
        return;
    // Read even when it is named like the chapter shown (every course has a sayfa01.ini).
    mFile.ChapterFileName.clear();
    mFile.LoadChapter(path, *mView);
}

void FilePage::addSaveShortcut(QWidget &window)
{
    auto *save = new QAction(QStringLiteral("SaveSubs"), &window);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, this, [this] { btnSaveSubClick(); });
    window.addAction(save);
}

bool FilePage::btnSaveSubClick()
{
    const QString path = fileName();
    if (!QFileInfo(path).isAbsolute())
        return btnSaveAsClick();
    QString error;
    if (!mFile.SaveChapter(path, sectionPlay(), &error)) {
        mDialogs.error(error);
        return false;
    }
    return true;
}

bool FilePage::btnSaveAsClick()
{
    const QString path = mDialogs.chooseFileToSave(QStringLiteral("Save Subtitle File"), kChapterFilter);
    if (path.isEmpty())
        return false;
    QString error;
    if (!mFile.SaveChapter(path, sectionPlay(), {EditGraphicName->text(), EditAudioName->text()}, &error)) {
        mDialogs.error(error);
        return false;
    }
    // From now on Save writes the new file and the prompt names it.
    setFileName(QFileInfo(path).absoluteFilePath());
    return true;
}

QString FilePage::fileName() const
{
    return lblFileName->text();
}

void FilePage::setFileName(const QString &path)
{
    lblFileName->setText(path);
}

void FilePage::setGraphicFile(const QString &name)
{
    EditGraphicName->setText(name);
}

void FilePage::setAudioFile(const QString &name)
{
    EditAudioName->setText(name);
}

void FilePage::setSectionPlay(bool on)
{
    chkSectionPlay->setChecked(on);
}

bool FilePage::sectionPlay() const
{
    return chkSectionPlay->isChecked();
}

} // namespace lirena
