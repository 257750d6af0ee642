#include "app/lessonmenu.h"

#include "app/buttonbar.h"
#include "app/lessoncatalogue.h"
#include "app/navigation.h"
#include "app/ttreecombo.h"
#include "lesson/chapterfile.h"
#include "platform/integertext.h"
#include "platform/pathresolver.h"
#include "platform/userdialogs.h"
#include "player/player.h"

#include <QStandardItem>
#include <QToolButton>

namespace lirena {

LessonMenu::LessonMenu(Parts parts, QObject *parent) : QObject(parent), p(parts)
{
    ChapterFile &file = *p.chapterFile;
    PlaybackControl &playback = p.player->playback();
    mNavigation = std::make_unique<Navigation>(
        Navigation::Hooks{
            .chapterName = [&file] { return file.ChapterName; },
            .chapterFileName = [&file] { return file.ChapterFileName; },
            .position = [&playback] { return playback.position(); },
            .loadChapter = [this, &file](const QString &path) {
                file.LoadChapter(resolveCoursePath(dataFolder(), path), *p.view);
            },
            .seek = [&playback](qint64 position) { playback.SeekMedia(position); },
        },
        p.bar->backButton(), p.bar->forwardButton());
    connect(p.bar->backButton(), &QToolButton::clicked, mNavigation.get(), &Navigation::btnBackClick);
    connect(p.bar->forwardButton(), &QToolButton::clicked, mNavigation.get(), &Navigation::btnForwardClick);
    connect(p.bar, &ButtonBar::nextLessonClicked, this, &LessonMenu::btnNextClick);
    connect(p.bar, &ButtonBar::manualClicked, this, &LessonMenu::SpeedButton1Click);
    connect(&p.bar->lessonsTree(), &TTreeCombo::selectionChange, this, [this](QStandardItem *node) {
        GoToChapter(dataFolder() + node->data(TTreeCombo::FirstDataRole).toString());
    });
    connect(&p.bar->subjectsTree(), &TTreeCombo::selectionChange, this, [this](QStandardItem *node) {
        TComboSubjectsSelectionChange(node->data(TTreeCombo::FirstDataRole).toString(),
                                      node->data(TTreeCombo::SecondDataRole).toString());
    });
}

LessonMenu::~LessonMenu() = default;

QString LessonMenu::dataFolder() const
{
    return p.chapterFile->dataFolder();
}

void LessonMenu::GoToChapter(const QString &path)
{
    mNavigation->GoToChapter(path);
}

void LessonMenu::btnNextClick()
{
    const QString next = p.catalogue->lessonAfter(p.chapterFile->ChapterFileName);
    if (!next.isEmpty())
        GoToChapter(dataFolder() + next);
}

void LessonMenu::SpeedButton1Click()
{
    GoToChapter(resolveCoursePath(dataFolder(), QStringLiteral("help00.ini")));
}

void LessonMenu::TComboSubjectsSelectionChange(const QString &actionText, const QString &parameter)
{
    const QString action = actionText.toUpper();
    Player &player = *p.player;
    if (action == u"PLAY") {
        const auto position = parseInteger(parameter);
        if (!position) {
            player.exercises().StopExercise();
            p.dialogs->error(QStringLiteral("'%1' is not a valid integer value.").arg(parameter));
            return;
        }
        player.playFrom(*position);
    } else if (action == u"LOADCHAPTER") {
        GoToChapter(resolveCoursePath(dataFolder(), parameter));
    } else if (action == u"TEST1") {
        player.startExercise(Exercises::Test1, parameter == u"1");
    } else if (action == u"TEST2") {
        player.startExercise(Exercises::Test2, parameter == u"1");
    } else if (action == u"TEST3") {
        player.startExercise(Exercises::Test3, true);
    }
}

} // namespace lirena
