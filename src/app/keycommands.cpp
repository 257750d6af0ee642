#include "app/keycommands.h"

#include "app/buttonbar.h"
#include "app/lessonmenu.h"
#include "app/navigation.h"
#include "app/optionspage.h"
#include "player/player.h"
#include "player/segmentsteps.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <array>

namespace lirena {

namespace {

// The options page's sizes by their index in its list ("%100", "%75", "%50",
// "%120", "%150"), here in the order of their scale.
struct ImageSize
{
    int index;
    double scale;
};
constexpr std::array<ImageSize, 5> kSizes{{{2, 0.5}, {1, 0.75}, {0, 1.0}, {3, 1.2}, {4, 1.5}}};
constexpr int kNaturalSize = 0; // "%100"

// A section played alone pauses a little past its stop (the section watch
// sees the stop pass); until then it is still the segment heard, even where
// the next one starts at its stop.
constexpr qint64 kSectionOvershoot = 250; // ms

// Whether the focus is in a box the learner or author types into.
bool typingIn(const QWidget *focus)
{
    if (const auto *edit = qobject_cast<const QLineEdit *>(focus))
        return !edit->isReadOnly();
    if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(focus))
        return !spin->isReadOnly();
    if (const auto *text = qobject_cast<const QTextEdit *>(focus))
        return !text->isReadOnly();
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(focus))
        return !text->isReadOnly();
    if (const auto *combo = qobject_cast<const QComboBox *>(focus))
        return combo->isEditable();
    return false;
}

} // namespace

KeyCommands::KeyCommands(Parts parts, QObject *parent) : QObject(parent), p(parts)
{
}

std::optional<KeyCommands::Command> KeyCommands::commandFor(int key, Qt::KeyboardModifiers modifiers)
{
    // Keys of the number pad count as the others; Shift is part of "+" on many layouts.
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    // "[" and "]" take AltGr (or Alt and Ctrl) on many layouts, the Turkish among them.
    if (key == Qt::Key_BracketLeft)
        return Command::Slower;
    if (key == Qt::Key_BracketRight)
        return Command::Faster;
    if (held == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_Space:
            return Command::PlayPause;
        case Qt::Key_Home:
            return Command::PlayFromStart;
        case Qt::Key_Escape:
            return Command::Escape;
        case Qt::Key_Left:
            return Command::PreviousSegment;
        case Qt::Key_Right:
            return Command::NextSegment;
        case Qt::Key_R:
            return Command::RepeatSegment;
        case Qt::Key_PageDown:
            return Command::NextLesson;
        default:
            return std::nullopt;
        }
    }
    if (held == Qt::AltModifier) {
        switch (key) {
        case Qt::Key_Left:
            return Command::Back;
        case Qt::Key_Right:
            return Command::Forward;
        case Qt::Key_D:
            return Command::OpenLessons;
        case Qt::Key_K:
            return Command::OpenSubjects;
        default:
            return std::nullopt;
        }
    }
    if ((held & ~Qt::ShiftModifier) == Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return Command::Larger;
        case Qt::Key_Minus:
            return Command::Smaller;
        case Qt::Key_0:
            return held == Qt::ControlModifier ? std::optional(Command::NaturalSize) : std::nullopt;
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool KeyCommands::active() const
{
    if (mAuthorMode && p.player->interaction().mode() == PageInteraction::Design)
        return false;
    return !typingIn(QApplication::focusWidget());
}

bool KeyCommands::keyPressed(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    const std::optional<Command> command = commandFor(key, modifiers);
    if (!command || !active())
        return false;
    // On "All Objects" Alt+D is the mnemonic of "A&dd"; it goes on to the page.
    if (*command == Command::OpenLessons && p.objectsPage->isVisible())
        return false;
    const bool steps = *command == Command::PreviousSegment || *command == Command::NextSegment ||
                       *command == Command::Larger || *command == Command::Smaller ||
                       *command == Command::Slower || *command == Command::Faster;
    if (!autoRepeat || steps)
        run(*command);
    return true;
}

void KeyCommands::run(Command command)
{
    switch (command) {
    case Command::PlayPause:
        playPause();
        break;
    case Command::PlayFromStart:
        playFromStart();
        break;
    case Command::Escape:
        escape();
        break;
    case Command::PreviousSegment:
        playSegment(-1);
        break;
    case Command::NextSegment:
        playSegment(+1);
        break;
    case Command::RepeatSegment:
        playSegment(0);
        break;
    case Command::Back:
        p.lessons->navigation().btnBackClick();
        break;
    case Command::Forward:
        p.lessons->navigation().btnForwardClick();
        break;
    case Command::NextLesson:
        p.lessons->btnNextClick();
        break;
    case Command::OpenLessons:
        p.bar->openLessons();
        break;
    case Command::OpenSubjects:
        p.bar->openSubjects();
        break;
    case Command::Slower:
        p.options->stepReadingSpeed(-1);
        break;
    case Command::Faster:
        p.options->stepReadingSpeed(+1);
        break;
    case Command::Larger:
        stepImageSize(+1);
        break;
    case Command::Smaller:
        stepImageSize(-1);
        break;
    case Command::NaturalSize:
        chooseImageSize(kNaturalSize);
        break;
    }
}

// Space and Home are the bar's buttons, so they end an exercise and restore
// a tinted page as a click on them does; without a recording they do nothing.
void KeyCommands::playPause()
{
    if (p.player->playback().isPlaying())
        p.bar->pauseButton()->click();
    else
        p.bar->playButton()->click();
}

void KeyCommands::playFromStart()
{
    p.bar->stopButton()->click();
    p.bar->playButton()->click();
}

void KeyCommands::escape()
{
    p.bar->closeLists();
    Exercises &exercises = p.player->exercises();
    if (exercises.kind() == Exercises::None)
        return;
    PlaybackControl &playback = p.player->playback();
    if (playback.isPlaying())
        playback.PauseMedia();
    exercises.StopExercise();
    p.player->page().RestorePage();
}

void KeyCommands::playSegment(int step)
{
    const PlaybackControl &playback = p.player->playback();
    if (!playback.isOpen())
        return;
    const SegmentSteps segments(*p.chapter);
    qint64 at = playback.position();
    const Exercises &exercises = p.player->exercises();
    const int start = exercises.sectionStart(), stop = exercises.sectionStop();
    if (!playback.isPlaying() && stop < at && at <= stop + kSectionOvershoot && start <= stop) {
        const TVoiceObj *section = segments.heard(start);
        if (section && section->StartTime == start)
            at = start;
    }
    const TVoiceObj *voice = step > 0   ? segments.next(at)
                             : step < 0 ? segments.previous(at)
                                        : segments.heard(at);
    if (voice)
        p.player->interaction().playSegment(*voice);
}

void KeyCommands::wheelTurned(int angle)
{
    mWheelRest += angle;
    const int notches = mWheelRest / 120;
    mWheelRest %= 120;
    if (notches != 0)
        stepImageSize(notches);
}

void KeyCommands::stepImageSize(int steps)
{
    // From the scale shown, also when the page fits the screen at a scale of its own.
    const double shown = p.player->page().ImageScale();
    const double kEpsilon = 1e-6;
    const int last = int(kSizes.size()) - 1;
    int below = -1; // the largest size at or below the scale shown
    while (below < last && kSizes[below + 1].scale <= shown + kEpsilon)
        ++below;
    const bool onASize = below >= 0 && kSizes[below].scale >= shown - kEpsilon;
    const int from = steps < 0 && !onASize ? below + 1 : below;
    const ImageSize &target = kSizes[std::clamp(from + steps, 0, last)];
    // Past the smallest or the largest size nothing changes.
    if (steps > 0 ? target.scale <= shown + kEpsilon : target.scale >= shown - kEpsilon)
        return;
    chooseImageSize(target.index);
}

void KeyCommands::chooseImageSize(int index)
{
    DisplayOptions options = p.options->options();
    if (options.ImageSizeType == 1 && options.ImageSize == index)
        return;
    options.ImageSizeType = 1;
    options.ImageSize = index;
    p.options->setOptions(options);
    emit imageSizeChosen();
}

} // namespace lirena
